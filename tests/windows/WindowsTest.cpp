// Windows alone: names with Cyrillic letters reach the command line whole (main() gets its
// arguments in the ANSI code page), and the user's data folder is %APPDATA%\vorn\DATA, also
// for a user whose name is in Cyrillic.
#include "app/DataLocation.h"
#include "../data/Fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

namespace vorn::test {
namespace {
namespace fs = std::filesystem;

// runProgram's cmd.exe line in UTF-16, so that no code page stands between.
int runWide(const fs::path& program, const std::vector<fs::path>& args, const fs::path& out) {
    std::wstring cmd = L"\"\"" + program.wstring() + L"\"";
    for (const fs::path& a : args)
        cmd += L" \"" + a.wstring() + L"\"";
    cmd += L" >\"" + out.wstring() + L"\" 2>&1\"";
    return _wsystem(cmd.c_str());
}

TEST(WindowsCommandLine, CalcOpensAFileNamedInCyrillic) {
    const TempDir tmp;
    const fs::path input = fs::path(VORN_SOURCE_DIR) / "tests" / "cases" / "cooling-apples" / "input.vrn";
    const fs::path folder = tmp.path() / fs::u8path("Расчёты Иванова");
    fs::create_directories(folder);
    const fs::path named = folder / fs::u8path("камера №1.vrn");
    fs::copy_file(input, named);
    fs::copy_file(input, tmp.path() / "plain.vrn");

    const fs::path data = fs::u8path(VORN_DATA_DIR);
    ASSERT_EQ(runWide(VORN_BINARY, {"calc", named, "--data", data, "--json"}, tmp.path() / "a"), 0)
        << readFile((tmp.path() / "a").string());
    ASSERT_EQ(runWide(VORN_BINARY, {"calc", tmp.path() / "plain.vrn", "--data", data, "--json"},
                      tmp.path() / "b"),
              0);
    nlohmann::json a = nlohmann::json::parse(readFile((tmp.path() / "a").string()), nullptr, false);
    nlohmann::json b = nlohmann::json::parse(readFile((tmp.path() / "b").string()), nullptr, false);
    ASSERT_TRUE(a.is_object() && b.is_object());
    // the name came through whole, and the figures are those of the same file named plainly
    EXPECT_TRUE(fs::equivalent(fs::u8path(a["file"].get<std::string>()), named));
    a.erase("file");
    b.erase("file");
    EXPECT_EQ(a, b);
}

TEST(WindowsDataFolder, FilledUnderAppDataOfAUserNamedInCyrillic) {
    const TempDir tmp;
    const fs::path program = tmp.path() / "Vorn" / "bin";
    const fs::path installed = tmp.path() / "Vorn" / "share" / "vorn" / "DATA";
    fs::create_directories(program);
    fs::create_directories(installed);
    fs::copy_file(fs::u8path(VORN_DATA_DIR) / "vorn.dbf", installed / "vorn.dbf");
    const fs::path appData = tmp.path() / fs::u8path("Иван Петров") / "AppData" / "Roaming";

    const wchar_t* old = _wgetenv(L"APPDATA");
    const std::wstring saved = old ? old : L"";
    ASSERT_EQ(_wputenv_s(L"APPDATA", appData.wstring().c_str()), 0);
    const DataLocation loc = DataLocation::resolve(program.u8string());
    _wputenv_s(L"APPDATA", saved.c_str());

    EXPECT_EQ(loc.kind, DataLocation::Kind::User);
    EXPECT_TRUE(fs::equivalent(fs::u8path(loc.dataDir), appData / "vorn" / "DATA"));
    EXPECT_TRUE(fs::exists(appData / "vorn" / "DATA" / "vorn.dbf"));
}

} // namespace
} // namespace vorn::test
