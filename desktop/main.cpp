// vorn: the window, or a subcommand when the command line names one. On Windows the same
// source makes vorn.exe (the window, no console) and vorn.com (the command line in a console).
#include "app/ProgramDir.h"
#include "app/cli/Commands.h"
#include "desktop/cli/ProjectOfferCommand.h"
#include "desktop/cli/ReportCommand.h"
#include "desktop/shell/GuiMain.h"

#include <iostream>
#include <string>
#include <vector>

namespace {
// Subcommands that need Qt (they render on the offscreen platform).
const std::vector<vorn::CliRegistrar> kGuiCommands = {vorn::addReportCommand,
                                                      vorn::addSystemsCommand,
                                                      vorn::addProjectOfferCommand};
} // namespace

int main(int argc, char** argv) {
    const std::string programDir = vorn::programDirOf(argv[0]);
    vorn::platform::useUtf8Console();
    const std::vector<std::string> all = vorn::platform::arguments(argc, argv);
    const std::vector<std::string> args(all.begin() + (all.empty() ? 0 : 1), all.end());
    const vorn::CliRequest req =
        vorn::runCommandLine(programDir, args, std::cout, std::cerr, kGuiCommands);
    if (!req.startWindow)
        return req.exitStatus;
    // Qt gets the program name only: the command line is already read.
    int qtArgc = 1;
    return vorn::runGui(qtArgc, argv, programDir, req.dataDir, req.files);
}
