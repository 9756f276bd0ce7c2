// The user's templates brought to the layout with the heater fields: an unchanged copy of
// an earlier installation replaced by the installed template, a changed one given the
// fields with the user's values kept.
#include "app/TemplateRefresh.h"

#include "../data/Fixtures.h"
#include "AppFixture.h"
#include "data/CalcRecord.h"
#include "data/Table.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace vorn {
namespace {

namespace fs = std::filesystem;

std::string bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(TemplateRefresh, UnchangedReplacedChangedExtended) {
    const test::TempDir dir;
    const fs::path installed = dir.path() / "installed";
    const fs::path user = dir.path() / "user";
    fs::create_directories(installed);
    fs::create_directories(user);
    for (const char* name : TemplateRefresh::kTemplates)
        fs::copy_file(fs::path(VORN_DATA_DIR) / name, installed / name);
    test::writeEarlierLayout(installed / "vorn.dbf", user / "vorn.dbf");
    test::writeEarlierLayout(installed / "trec.dbf", user / "trec.dbf", "KL_NAIM", "Мой клиент");

    const auto done = TemplateRefresh::refresh(installed.string(), user.string());
    EXPECT_EQ(done.size(), 2u);
    EXPECT_EQ(bytes(user / "vorn.dbf"), bytes(installed / "vorn.dbf"));
    Table t;
    t.setTableName((user / "trec.dbf").string());
    t.open();
    t.first();
    EXPECT_TRUE(t.hasField("VO_TEN"));
    EXPECT_EQ(t.asString("KL_NAIM"), "Мой клиент");
    EXPECT_DOUBLE_EQ(t.asDouble("VO_OTTDOL"), 0.3);
    t.close();
    // a second start finds nothing to do
    EXPECT_TRUE(TemplateRefresh::refresh(installed.string(), user.string()).empty());
}

} // namespace
} // namespace vorn
