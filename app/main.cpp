// vorn: the window, or a subcommand when the command line names one.
#include "app/cli/Commands.h"
#include "data/platform/PlatformFile.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#ifdef VORN_WITH_GUI
#include "app/GuiMain.h"
#include "app/cli/ProjectCommand.h"
#include "app/cli/ReportCommand.h"
#endif

namespace {
std::string programDirOf(const char* argv0) {
    std::filesystem::path exe = std::filesystem::u8path(vorn::platform::programPath());
    if (exe.empty()) {
        std::error_code ec;
        exe = std::filesystem::absolute(argv0, ec);
    }
    return exe.parent_path().u8string();
}

// Subcommands that need Qt (they render on the offscreen platform).
#ifdef VORN_WITH_GUI
const std::vector<vorn::CliRegistrar> kGuiCommands = {vorn::addReportCommand,
                                                      vorn::addSystemsCommand,
                                                      vorn::addProjectOfferCommand};
#else
const std::vector<vorn::CliRegistrar> kGuiCommands = {};
#endif
} // namespace

int main(int argc, char** argv) {
    const std::string programDir = programDirOf(argv[0]);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vorn::CliRequest req =
        vorn::runCommandLine(programDir, args, std::cout, std::cerr, kGuiCommands);
    if (!req.startWindow)
        return req.exitStatus;
#ifdef VORN_WITH_GUI
    // Qt gets the program name only: the command line is already read.
    int qtArgc = 1;
    return vorn::runGui(qtArgc, argv, programDir, req.dataDir, req.files);
#else
    std::cerr << "vorn: собран без окна; доступны только команды (vorn --help)\n";
    return 1;
#endif
}
