// vorn without a window: the command line alone (the build without Qt, and vorn.com on
// Windows). The window's build has its own entry, desktop/main.cpp.
#include "app/ProgramDir.h"
#include "app/cli/Commands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::string programDir = vorn::programDirOf(argv[0]);
    vorn::platform::useUtf8Console();
    const std::vector<std::string> all = vorn::platform::arguments(argc, argv);
    const std::vector<std::string> args(all.begin() + (all.empty() ? 0 : 1), all.end());
    const vorn::CliRequest req = vorn::runCommandLine(programDir, args, std::cout, std::cerr, {});
    if (!req.startWindow)
        return req.exitStatus;
    std::cerr << "vorn: собран без окна; доступны только команды (vorn --help)\n";
    return 1;
}
