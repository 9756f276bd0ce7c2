// What the commands write: never over their own calculation, a folder or a file that is
// not a regular file; nothing left behind when they fail; no temporary copy left.
#include "FilesFixture.h"

#include <sys/stat.h>

namespace vorn::test {
namespace {

namespace fs = std::filesystem;

using Outputs = FilesFixture;

TEST_F(Outputs, ReportsRefuseTheirOwnCalculationAFolderAndAnythingButARegularFile) {
    fs::create_symlink(calc, path("link.pdf"));
    fs::create_hard_link(calc, path("hard.pdf"));
    fs::create_directory(path("folder.pdf"));
    ASSERT_EQ(::mkfifo(path("fifo.pdf").c_str(), 0644), 0);
    struct Case {
        std::string out;
        const char* message;
    };
    const Case cases[] = {
        {calc, "это сам файл расчета"},
        {path("link.pdf"), "это сам файл расчета"},
        {path("hard.pdf"), "это сам файл расчета"},
        {path("folder.pdf"), "это папка"},
        {path("fifo.pdf"), "не обычный файл"},
        {"/dev/null", "не обычный файл"},
    };
    const std::string before = readFile(calc);
    for (const char* command : {"report", "systems"}) {
        for (const Case& c : cases) {
            EXPECT_EQ(vorn(std::string(command) + " '" + calc + "' -o '" + c.out + "'"), 1)
                << command << " -o " << c.out;
            EXPECT_NE(err.find(c.message), std::string::npos) << err;
            EXPECT_NE(err.find(c.out), std::string::npos) << "names the output: " << err;
        }
    }
    // Nor is a FIFO ever read as a table: the read would wait for a writer forever.
    for (const char* command : {"calc", "dump", "convert", "set"}) {
        EXPECT_EQ(vorn(std::string(command) + " '" + path("fifo.pdf") + "'" +
                           (std::string(command) == "set" ? " OB_KAMVS=3" : ""),
                       "timeout 20"),
                  1)
            << command;
        EXPECT_NE(err.find("не обычный файл"), std::string::npos) << command << ": " << err;
    }
    EXPECT_EQ(readFile(calc), before);
    EXPECT_TRUE(fs::is_symlink(path("link.pdf")));
    EXPECT_TRUE(fs::is_fifo(path("fifo.pdf")));
    EXPECT_TRUE(fs::is_empty(path("folder.pdf")));
    // A regular file is replaced as asked, and no temporary copy is left by any of them.
    EXPECT_EQ(vorn("report '" + calc + "' -o '" + path("r.pdf") + "'"), 0) << err;
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(Outputs, NewRefusesAFolderAndLeavesNothingWhenItFails) {
    fs::create_directory(path("x.vrn"));
    EXPECT_EQ(vorn("new --force '" + path("x.vrn") + "'"), 1);
    EXPECT_NE(err.find("это папка"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_empty(path("x.vrn")));

    // A template that is no calculation: the new file is not left behind.
    const fs::path data = dir / "DATA";
    fs::copy(VORN_DATA_DIR, data, fs::copy_options::recursive);
    writeFile((data / "vorn.dbf").string(), readFile((data / "vorn.dbf").string()).substr(0, 600));
    dataDir = data.string();
    EXPECT_EQ(vorn("new '" + path("y.vrn") + "'"), 1);
    EXPECT_FALSE(fs::exists(path("y.vrn")));
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".part"), std::string::npos) << e.path();
    EXPECT_EQ(leftovers(), 0);
}

} // namespace
} // namespace vorn::test
