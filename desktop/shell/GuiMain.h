#pragma once
#include <string>
#include <vector>

namespace vorn {
// Starts the Qt application and the main window; args are what is left of the command
// line once the data-directory option is taken out (an optional calculation file).
int runGui(int argc, char** argv, const std::string& programDir, const std::string& dataDir,
           const std::vector<std::string>& args);
} // namespace vorn
