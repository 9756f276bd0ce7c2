#pragma once
// vorn project new|add|remove|show|offer: a project of several chambers from the command
// line. The offer's PDF needs Qt, so `offer` is added to `project` by the GUI build's
// registrar, after the core's.
#include "app/cli/Commands.h"
#include "project/ProjectSummary.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace vorn {

// The options every reading command shares: the project and the overrides for one run.
struct ProjectRunOptions {
    std::string project;
    std::optional<double> tariff;
    std::optional<double> vat;
    SummaryOverrides overrides() const { return {tariff, vat}; }
};

// The help of a subcommand of `project` grouped like the other commands'.
void tidyProjectHelp(CLI::App* sub);
// Adds --tariff and --vat to a subcommand.
void addOverrideOptions(CLI::App* sub, ProjectRunOptions& opt);
// Loads and works out the project; a failure is told on ctx.err and gives its exit status.
int evaluateProject(const CliContext& ctx, const ProjectRunOptions& opt, ProjectSummary& out);

// {"chambers": [...], "totals": {...}, "materials": [...], "warnings": [...]}
nlohmann::ordered_json projectJson(const ProjectSummary& summary);

void addProjectCommand(CLI::App& root, CliRunner& run); // new, add, remove, show

} // namespace vorn
