// Where the data live (a temporary HOME and XDG_DATA_HOME, never the developer's own) and
// the recent-files list.
#include "app/DataLocation.h"

#include "app/RecentFiles.h"
#include "reports/HeaderLines.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>

namespace vorn::test {
namespace {
namespace fs = std::filesystem;

void write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// An environment variable set for the test's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        set(name, value);
    }
    ~ScopedEnv() { set(name_, old_); }

private:
    static void set(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
        ::_putenv_s(name, value ? value->c_str() : "");
#else
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
#endif
    }

    const char* name_;
    std::optional<std::string> old_;
};

// Points the user's folder at base/.local/share/vorn: through HOME, or APPDATA on Windows.
struct UserFolderAt {
#ifdef _WIN32
    explicit UserFolderAt(const fs::path& base)
        : appData("APPDATA", (base / ".local" / "share").string()) {}
    ScopedEnv appData;
#else
    explicit UserFolderAt(const fs::path& base)
        : home("HOME", base.string()), xdg("XDG_DATA_HOME", std::nullopt) {}
    ScopedEnv home, xdg;
#endif
};

std::string normal(const std::string& p) {
    return fs::absolute(fs::u8path(p)).lexically_normal().u8string();
}

class DataLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("vorn_loc_" + std::to_string(std::random_device{}()));
        // an unpacked package: usr/bin/vorn and usr/share/vorn/DATA
        program = root / "usr" / "bin";
        installed = root / "usr" / "share" / "vorn" / "DATA";
        write(installed / "s_mater.DBF", "installed materials");
        write(installed / "vorn.dbf", "installed template");
        fs::create_directories(program);
        home = root / "home";
        fs::create_directories(home);
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root, program, installed, home;
};

#ifndef _WIN32
TEST_F(DataLocationTest, UserFolderFollowsXdgDataHomeElseHome) {
    ScopedEnv h("HOME", home.string());
    {
        ScopedEnv x("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(DataLocation::userFolder(), (home / ".local/share/vorn").string());
    }
    {
        ScopedEnv x("XDG_DATA_HOME", (root / "xdg").string());
        EXPECT_EQ(DataLocation::userFolder(), (root / "xdg/vorn").string());
    }
    {
        ScopedEnv x("XDG_DATA_HOME", "relative/ignored");
        EXPECT_EQ(DataLocation::userFolder(), (home / ".local/share/vorn").string());
    }
}
#endif

TEST_F(DataLocationTest, GivenFolderThenBesideTheProgramThenTheUsersCopy) {
    UserFolderAt user(home);
    const fs::path userData = home / ".local" / "share" / "vorn" / "DATA";

    DataLocation given = DataLocation::resolve(program.string(), "/elsewhere/DATA");
    EXPECT_EQ(given.kind, DataLocation::Kind::Given);
    EXPECT_EQ(given.dataDir, "/elsewhere/DATA");
    EXPECT_FALSE(fs::exists(userData)) << "--data must not fill the user's folder";

    // first start of an installed copy: the user's folder is filled from ../share/vorn/DATA
    DataLocation first = DataLocation::resolve(program.string());
    EXPECT_EQ(first.kind, DataLocation::Kind::User);
    EXPECT_EQ(fs::u8path(first.dataDir), userData);
    EXPECT_EQ(first.copied.size(), 2u);
    EXPECT_EQ(read(userData / "vorn.dbf"), "installed template");

    // the user edits a table; a later version brings a new table and a changed one
    write(userData / "s_mater.DBF", "edited by the user");
    write(installed / "s_mater.DBF", "newer materials");
    write(installed / "prices.dbf", "new table");
    DataLocation later = DataLocation::resolve(program.string());
    EXPECT_EQ(later.copied, std::vector<std::string>{"prices.dbf"});
    EXPECT_EQ(read(userData / "s_mater.DBF"), "edited by the user");
    EXPECT_EQ(read(userData / "prices.dbf"), "new table");

    // DATA beside the program (the source tree, a portable copy) comes before the user's
    fs::create_directories(program / "DATA");
    DataLocation portable = DataLocation::resolve(program.string());
    EXPECT_EQ(portable.kind, DataLocation::Kind::BesideProgram);
    EXPECT_EQ(fs::u8path(portable.dataDir), program / "DATA");
}

TEST_F(DataLocationTest, UnwritableHomeUsesTheInstalledTablesInPlace) {
    // a home that is a file cannot hold the user's folder
    write(root / "not-a-folder", "");
    UserFolderAt user(root / "not-a-folder");
    DataLocation loc = DataLocation::resolve(program.string());
    EXPECT_EQ(loc.kind, DataLocation::Kind::Installed);
    EXPECT_EQ(fs::path(loc.dataDir), installed.lexically_normal());
}

TEST(HeaderLinesFolder, TitleRepLiesBesideTheDataFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/vorn/DATA", "/opt/vorn"},
        {"/opt/vorn/DATA/", "/opt/vorn"},
        {"/home/u/.local/share/vorn/DATA", "/home/u/.local/share/vorn"},
        {"DATA", "."},
    };
    for (const auto& [data, folder] : cases)
        EXPECT_EQ(HeaderLines::folderFor(data), folder) << data;
}

TEST(RecentFilesTest, NewestFirstOnceEachAtMostEight) {
    std::vector<std::string> list;
    for (int i = 1; i <= 10; ++i)
        list = RecentFiles::add(list, "/c/" + std::to_string(i) + ".vrn");
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front(), normal("/c/10.vrn"));
    EXPECT_EQ(list.back(), normal("/c/3.vrn"));
    // opened again, by another spelling of the same path: moved to the top, not doubled
    list = RecentFiles::add(list, "/c/./5.vrn");
    EXPECT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front(), normal("/c/5.vrn"));
    EXPECT_EQ(std::count(list.begin(), list.end(), normal("/c/5.vrn")), 1);
}

TEST(RecentFilesTest, FilesThatNoLongerExistAreLeftOut) {
    const fs::path dir =
        fs::temp_directory_path() / ("vorn_recent_" + std::to_string(std::random_device{}()));
    write(dir / "kept.vrn", "x");
    write(dir / "gone.vrn", "x");
    fs::create_directories(dir / "folder.vrn");
    std::vector<std::string> list;
    for (const char* name : {"kept.vrn", "gone.vrn", "folder.vrn"})
        list = RecentFiles::add(list, (dir / name).string());
    fs::remove(dir / "gone.vrn");
    EXPECT_EQ(RecentFiles::existing(list),
              std::vector<std::string>{normal((dir / "kept.vrn").string())});
    fs::remove_all(dir);
}

} // namespace
} // namespace vorn::test
