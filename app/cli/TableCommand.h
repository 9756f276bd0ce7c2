#pragma once
// vorn table list|export|import: the reference tables and catalogues from a script.
#include "app/cli/Commands.h"

namespace vorn {

void addTableCommand(CLI::App& root, CliRunner& run);

} // namespace vorn
