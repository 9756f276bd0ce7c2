#pragma once
// vorn project offer: the commercial offer as PDF or XLSX (the window's build only, since
// the PDF is painted through Qt).
#include "app/cli/ProjectCommand.h"

namespace vorn {

void addProjectOfferCommand(CLI::App& root, CliRunner& run);

} // namespace vorn
