// The command line through the real binary: help, version, usage errors and the window
// never started by a mistyped word.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs vorn with no display at all, so that a started window would show as exit 1.
Outcome vorn(const std::string& args) {
    const fs::path dir = fs::temp_directory_path() / ("vorn-cli-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                            std::string(VORN_BINARY) + "' " + args + " >'" +
                            (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
    const int raw = std::system(cmd.c_str());
    Outcome r{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), slurp(dir / "out"),
              slurp(dir / "err")};
    fs::remove_all(dir);
    return r;
}

struct Case {
    const char* args;
    int status;
    const char* out; // a part of standard output ("" for none expected)
    const char* err; // a part of standard error
};

TEST(CommandLine, HelpVersionAndUsageErrors) {
    const Case cases[] = {
        {"--help", 0, "Использование: vorn", ""},
        {"-h", 0, "Команды:", ""},
        {"help", 0, "calc", ""},
        {"help calc", 0, "Использование: vorn calc", ""},
        {"calc --help", 0, "--json", ""},
        {"new --help", 0, "--force", ""},
        {"--version", 0, "Vorn версия 2.05", ""},
        {"help frobnicate", 2, "", "нет такой команды: frobnicate"},
        {"frobnicate", 2, "", "нет такой команды или файла: frobnicate"},
        {"calc", 2, "", "не задан обязательный аргумент FILE"},
        {"calc x.vrn --bogus", 2, "", "неизвестный параметр или лишний аргумент: --bogus"},
        {"dump a b", 2, "", "лишний аргумент"},
        {"--data", 2, "", "параметру --data не хватает значения"},
        {"calc missing.vrn", 1, "", "файл не найден"},
        {"", 1, "", "нет дисплея:"},
    };
    for (const Case& c : cases) {
        const Outcome r = vorn(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        if (c.status == 2) {
            EXPECT_TRUE(r.out.empty()) << c.args;
            EXPECT_NE(r.err.find("vorn --help"), std::string::npos) << c.args;
        }
        if (*c.out)
            EXPECT_TRUE(r.err.empty()) << c.args << "\n" << r.err;
    }
}

} // namespace
