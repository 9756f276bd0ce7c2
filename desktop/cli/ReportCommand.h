#pragma once
// vorn report and vorn systems: the two reports written as PDF files from the command
// line, without a display, the calculation file left byte-identical.
#include "app/cli/Commands.h"
#include "app/cli/SelectCommand.h"

#include <optional>
#include <string>

namespace vorn {

struct ReportOptions {
    std::string file; // the calculation
    std::string out;  // the PDF to write
    bool note = false; // the calculation note instead of the one-page report
};

struct SystemsOptions {
    std::string file;
    std::string out;
    SelectionParameters params; // --systems for this list only
};

int reportCommand(const CliContext& ctx, const ReportOptions& options);
int systemsCommand(const CliContext& ctx, const SystemsOptions& options);
void addReportCommand(CLI::App& root, CliRunner& run);
void addSystemsCommand(CLI::App& root, CliRunner& run);

} // namespace vorn
