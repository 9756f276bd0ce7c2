#pragma once
// The command line of vorn: the window (`vorn [FILE]`) or a subcommand (`vorn calc FILE`,
// ...). Each subcommand adds itself with its options to one CLI11 parser; after parsing,
// the chosen subcommand's runner does the work and returns the process exit status:
// 0 done, 1 failure, 2 usage error, 3 a recalculation stopped at an undefined step.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vorn {

struct CliContext {
    std::string programDir; // directory of the executable
    std::string dataDir;    // --data DIR, or the folder DataLocation finds
    std::ostream& out;
    std::ostream& err;
};

// Exit statuses shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 3;

using CliRunner = std::function<int(const CliContext&)>;
// Adds one subcommand with its options to root; the subcommand's callback stores in run
// the runner to call once the whole line is parsed.
using CliRegistrar = void (*)(CLI::App& root, CliRunner& run);

// The subcommands of the core, each in its own file.
void addDumpCommand(CLI::App& root, CliRunner& run);
void addCalcCommand(CLI::App& root, CliRunner& run);
void addSetCommand(CLI::App& root, CliRunner& run);
void addNewCommand(CLI::App& root, CliRunner& run);
void addConvertCommand(CLI::App& root, CliRunner& run);
void addSelectCommand(CLI::App& root, CliRunner& run);

// What the command line asks for.
struct CliRequest {
    bool startWindow = false;       // no subcommand: start the window
    int exitStatus = kExitOk;       // otherwise: the status to exit with
    std::string dataDir;            // resolved data directory
    std::vector<std::string> files; // window: the calculation to open at start (0 or 1)
};

// Parses args (without the program name). Help, version and usage errors are printed to
// out / err and give an exit status; a subcommand runs at once. extra adds subcommands
// that live outside the core (the reports, which need Qt).
CliRequest runCommandLine(const std::string& programDir, const std::vector<std::string>& args,
                          std::ostream& out, std::ostream& err,
                          const std::vector<CliRegistrar>& extra = {});

// The same for one subcommand line in a given context (ctx.dataDir unless --data is given);
// returns the exit status. Used by the tests, which run subcommands in-process.
int runSubcommand(const CliContext& ctx, const std::vector<std::string>& args,
                  const std::vector<CliRegistrar>& extra = {});

} // namespace vorn
