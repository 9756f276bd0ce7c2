// Subcommands not built yet. Each moves to its own file when it is written.
#include "app/Commands.h"

#include <ostream>

namespace vorn {
namespace {
int notYet(const CliContext& ctx, const char* name) {
    ctx.err << "vorn " << name << ": команда ещё не реализована\n";
    return 2;
}
} // namespace
int dumpCommand(const CliContext& ctx, const std::vector<std::string>&) { return notYet(ctx, "dump"); }
} // namespace vorn
