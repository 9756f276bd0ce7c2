#include "app/FileCopy.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace fs = std::filesystem;
using vorn::copyFile;
using vorn::FileCopyError;

namespace {
class FileCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vorn_copy_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        src = dir / "src.vrn";
        std::ofstream(src, std::ios::binary) << std::string("\x03\x00" "abc\xff", 6);
        fs::last_write_time(src, fs::last_write_time(src) - std::chrono::hours(48));
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string bytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir, src;
};
} // namespace

TEST_F(FileCopyTest, CopiesBytesAndModificationTimeIntoNewFolders) {
    const fs::path dst = dir / "a" / "b" / "copy.vrn";
    EXPECT_EQ(copyFile(src.string(), dst.string()), dst.string());
    EXPECT_EQ(bytes(dst), bytes(src));
    EXPECT_EQ(fs::last_write_time(dst), fs::last_write_time(src));

    // A folder as target receives the file under the source's name; an existing file is
    // replaced.
    std::ofstream(dir / "a" / "src.vrn") << "older and longer contents";
    EXPECT_EQ(copyFile(src.string(), (dir / "a").string()), (dir / "a" / "src.vrn").string());
    EXPECT_EQ(bytes(dir / "a" / "src.vrn"), bytes(src));
}

TEST_F(FileCopyTest, FailuresNameTheFile) {
    const std::string missing = (dir / "none.vrn").string();
    try {
        copyFile(missing, (dir / "x.vrn").string());
        FAIL();
    } catch (const FileCopyError& e) {
        EXPECT_EQ(std::string(e.what()), "Не удаётся открыть файл " + missing + ": файл не найден");
    }
    EXPECT_FALSE(fs::exists(dir / "x.vrn"));

    // A regular file in the way of the target's folder: the target cannot be created.
    const std::string blocked = (src / "x.vrn").string();
    try {
        copyFile(src.string(), blocked);
        FAIL();
    } catch (const FileCopyError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Не удаётся создать файл " + blocked + ": ", 0), 0u)
            << e.what();
    }
}

TEST_F(FileCopyTest, AFailedCopyLeavesTheTargetAsItWasAndNothingBesideIt) {
    // A FIFO is never written into (the copy would wait for a reader) nor replaced.
    const fs::path fifo = dir / "fifo.vrn";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_THROW(copyFile(src.string(), fifo.string()), FileCopyError);
    EXPECT_TRUE(fs::is_fifo(fifo));
    // A source that is a folder fails before the target is touched.
    const fs::path target = dir / "kept.vrn";
    std::ofstream(target) << "kept";
    EXPECT_THROW(copyFile(dir.string(), target.string()), FileCopyError);
    EXPECT_EQ(bytes(target), "kept");
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".part"), std::string::npos) << e.path();
}

TEST_F(FileCopyTest, CopyOntoItselfKeepsTheFile) {
    const std::string before = bytes(src);
    copyFile(src.string(), (dir / "." / "src.vrn").string());
    EXPECT_EQ(bytes(src), before);
}
