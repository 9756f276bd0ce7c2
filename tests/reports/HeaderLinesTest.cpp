#include "reports/HeaderLines.h"

#include "reports/CommonSections.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace vorn {
namespace {

namespace fs = std::filesystem;

class HeaderLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vorn_header_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const std::string& bytes) {
        std::ofstream(dir / HeaderLines::kFileName, std::ios::binary) << bytes;
    }
    // The text the header block of a page prints.
    std::string block() {
        ReportPage page;
        CommonSections::addHeaderBlock(page, HeaderLines::read(dir.string()));
        return page.find("HeaderBlock")->text;
    }
    fs::path dir;
};

TEST_F(HeaderLinesTest, BlockShowsTheFileOrTheBuiltInLines) {
    const auto& builtIn = HeaderLines::builtIn();
    ASSERT_EQ(builtIn.size(), 3u);
    const std::string builtInBlock = builtIn[0] + "\n" + builtIn[1] + "\n" + builtIn[2];
    EXPECT_EQ(block(), builtInBlock) << "no file";

    struct Case {
        const char* name;
        std::string bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"one line", "ООО Север\n", "ООО Север"},
        {"five lines, three shown", "1\n2\n3\n4\n5\n", "1\n2\n3"},
        {"empty file", "", ""},
        {"CR LF, no final line end", "а\r\nб", "а\nб"},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBFТелефон", "Телефон"},
        {"Windows-1251", "\xD2\xE5\xEB\xE5\xF4\xEE\xED \xB9 \xA8\xEB\xEA\xE0", "Телефон № Ёлка"},
        {"invalid UTF-8 is 1251", "\xC0\xC1\xC2 \x97 ok", "АБВ — ok"},
    };
    for (const Case& c : cases) {
        write(c.bytes);
        EXPECT_EQ(block(), c.shown) << c.name;
    }

    // Read anew at every generation; a folder of that name cannot be read as a file.
    fs::remove(dir / HeaderLines::kFileName);
    fs::create_directory(dir / HeaderLines::kFileName);
    EXPECT_EQ(block(), builtInBlock) << "unreadable";
}

TEST(HeaderLinesDecode, RejectsMalformedUtf8) {
    const std::pair<std::string, bool> cases[] = {
        {"plain ascii", true},       {"Ёлка", true},
        {"\xE2\x82\xAC", true},      {"\xC0\x80", false},
        {"\xED\xA0\x80", false},     {"\xD0", false},
        {"\xF4\x90\x80\x80", false}, {"\xF0\x9F\x98\x80", true},
    };
    for (const auto& [bytes, valid] : cases)
        EXPECT_EQ(HeaderLines::isValidUtf8(bytes), valid) << bytes;
}

} // namespace
} // namespace vorn
