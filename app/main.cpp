// vorn: the window, or a subcommand when the first argument names one.
#include "app/Commands.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#ifdef VORN_WITH_GUI
#include "app/GuiMain.h"
#endif

namespace {
std::string programDirOf(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}
} // namespace

int main(int argc, char** argv) {
    const std::string programDir = programDirOf(argv[0]);
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = 0;
    std::vector<std::string> rest;
    std::string dataDir;
    if (vorn::runCliCommand(programDir, args, status, &rest, &dataDir))
        return status;
#ifdef VORN_WITH_GUI
    return vorn::runGui(argc, argv, programDir, dataDir, rest);
#else
    std::cerr << "vorn: собран без окна; доступны команды dump, calc, new, convert\n";
    return 2;
#endif
}
