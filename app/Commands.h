#pragma once
// Command-line subcommands of vorn (vorn dump, vorn calc, vorn new, vorn convert).
// Each runs without a window and returns the process exit status.
#include <iosfwd>
#include <string>
#include <vector>

namespace vorn {

struct CliContext {
    std::string programDir; // directory of the executable
    std::string dataDir;    // --data DIR, or programDir + "/DATA"
    std::ostream& out;
    std::ostream& err;
};

int dumpCommand(const CliContext& ctx, const std::vector<std::string>& args);
int calcCommand(const CliContext& ctx, const std::vector<std::string>& args);
int newCommand(const CliContext& ctx, const std::vector<std::string>& args);
int convertCommand(const CliContext& ctx, const std::vector<std::string>& args);

// Runs the subcommand named by args[0] when there is one and stores its exit status.
// Takes "--data DIR" out of args wherever it stands. Returns false when args name no
// subcommand (the window starts then); remainingArgs gets what is left.
bool runCliCommand(const std::string& programDir, std::vector<std::string> args, int& exitStatus,
                   std::vector<std::string>* remainingArgs = nullptr,
                   std::string* dataDirOut = nullptr);

// Removes "--data DIR" from args; returns DIR or an empty string.
std::string takeDataDirOption(std::vector<std::string>& args);

} // namespace vorn
