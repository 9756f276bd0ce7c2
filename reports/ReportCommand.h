#pragma once
// vorn report and vorn systems: the two reports written as PDF files from the command
// line, without a display, the calculation file left byte-identical.
#include "app/Commands.h"

#include <string>

namespace vorn {

struct ReportOptions {
    std::string file; // the calculation
    std::string out;  // the PDF to write
};

int reportCommand(const CliContext& ctx, const ReportOptions& options);
void addReportCommand(CLI::App& root, CliRunner& run);

} // namespace vorn
