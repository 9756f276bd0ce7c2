// The command line through the real binary: help, version, usage errors and the window
// never started by a mistyped word.
#include "../data/Fixtures.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

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
    const vorn::test::TempDir dir;
    std::vector<std::string> words;
    std::istringstream in(args);
    for (std::string w; in >> w;)
        words.push_back(w);
#ifdef _WIN32
    const std::string program = VORN_BINARY;
#else
    const std::string program = "env";
    words.insert(words.begin(),
                 {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", VORN_BINARY});
#endif
    const int status = vorn::test::runProgram(program, words, dir.file("out"), dir.file("err"));
    return {status, slurp(dir.path() / "out"), slurp(dir.path() / "err")};
}

struct Case {
    const char* args;
    int status;
    const char* out; // a part of standard output ("" for none expected)
    const char* err; // a part of standard error
};

// Help speaks Russian throughout: the placeholders as the manual page names them.
TEST(CommandLine, HelpHasNoLatinPlaceholders) {
    const char* const commands[] = {"calc",        "set",         "select",        "new",
                                    "convert",     "dump",        "table export",  "table import",
                                    "project add", "project new", "project remove"};
    std::vector<std::string> helps = {"--help"};
    for (const char* c : commands)
        helps.push_back(std::string(c) + " --help");
    for (const std::string& args : helps) {
        const Outcome r = vorn(args);
        for (const char* latin : {"FILE", "DIR", "COMMAND", "NAME", "VALUE", "INDEX", "TEXT"})
            EXPECT_EQ(r.out.find(latin), std::string::npos) << args << ": " << latin;
    }
}

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
        {"calc", 2, "", "не задан обязательный аргумент ФАЙЛ"},
        {"set --help", 0, "ФАЙЛ ИМЯ=ЗНАЧЕНИЕ", ""},
        {"calc x.vrn --bogus", 2, "", "неизвестный параметр или лишний аргумент: --bogus"},
        {"dump a b", 2, "", "лишний аргумент"},
        {"--data", 2, "", "параметру --data не хватает значения"},
        {"calc missing.vrn", 1, "", "файл не найден"},
        {"", 1, "", "нет дисплея:"},
    };
    for (const Case& c : cases) {
#ifdef _WIN32
        if (!*c.args)
            continue; // the Windows build has no window to start yet
#endif
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
