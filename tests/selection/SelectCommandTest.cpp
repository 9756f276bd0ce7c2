// vorn select over the bundled catalogues: the JSON object, the file left alone unless a
// system is chosen, refused choices and a locked record.
#include "../data/Fixtures.h"
#include "app/cli/Commands.h"
#include "data/Table.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace vorn::test {
namespace {
namespace fs = std::filesystem;

class SelectCommand : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("x.vrn");
        fs::copy_file(fs::path(VORN_DATA_DIR) / "vorn.dbf", path);
    }
    void setFields(const std::map<std::string, Value>& fields) {
        Table t;
        t.setTableName(path);
        t.open();
        t.edit();
        for (const auto& [name, v] : fields)
            t.setValue(name, v);
        t.post();
        t.close();
    }
    int select(const std::string& args) {
        out.str("");
        err.str("");
        CliContext ctx{"", VORN_DATA_DIR, out, err};
        std::vector<std::string> words{"select", path};
        std::istringstream in(args);
        for (std::string w; in >> w;)
            words.push_back(w);
        return runSubcommand(ctx, words);
    }
    Value fieldOf(const std::string& name) {
        Table t;
        t.setTableName(path);
        t.open();
        return t.value(name);
    }

    TempDir dir;
    std::string path;
    std::ostringstream out, err;
};

TEST_F(SelectCommand, JsonObjectAndTheFileUntouched) {
    const std::string before = readFile(path);
    ASSERT_EQ(select("--json --from 90 --to 115"), 0) << err.str();
    EXPECT_EQ(readFile(path), before);
    const auto j = nlohmann::ordered_json::parse(out.str());
    std::vector<std::string> keys;
    for (const auto& item : j.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"catalogue", "caption", "ambient", "lo", "hi",
                                              "filter", "rows"}));
    EXPECT_EQ(j["catalogue"], "kat-18.dbf");
    EXPECT_EQ(j["caption"], "-18");
    EXPECT_EQ(j["ambient"], 25);
    const long lo = j["lo"], hi = j["hi"];
    EXPECT_EQ(j["filter"], "Q25 >= " + std::to_string(lo) + " and Q25 <= " + std::to_string(hi));
    ASSERT_FALSE(j["rows"].empty());
    std::vector<std::string> rowKeys;
    for (const auto& item : j["rows"][0].items())
        rowKeys.push_back(item.key());
    EXPECT_EQ(rowKeys, (std::vector<std::string>{"SIS", "AGR", "VOHL", "Q", "T", "PPOT", "IPOT",
                                                 "NABOR", "SHKAF", "GR", "PGR"}));
    for (const auto& r : j["rows"]) {
        EXPECT_GE(r["Q"].get<long>(), lo);
        EXPECT_LE(r["Q"].get<long>(), hi);
    }
}

TEST_F(SelectCommand, ChooseRecordsTheSystemAndTheNumberOfSystems) {
    ASSERT_EQ(select("--json --systems 2"), 0) << err.str();
    const auto listed = nlohmann::json::parse(out.str())["rows"];
    ASSERT_GE(listed.size(), 2u);
    ASSERT_EQ(select("--systems 2 --choose 2"), 0) << err.str();
    EXPECT_EQ(fieldOf("KOLSYS").toDouble(), 2);
    EXPECT_EQ(fieldOf("SIS").toString(), listed[1]["SIS"]);
    EXPECT_EQ(fieldOf("OBR_AGR").toString(), listed[1]["AGR"]);
    EXPECT_EQ(fieldOf("PROIZSYS").toDouble(), listed[1]["Q"].get<double>());
    EXPECT_EQ(fieldOf("OBR_NAIM").toString(),
              listed[1]["GR"].get<std::string>() + ", " + listed[1]["PGR"].get<std::string>());
}

TEST_F(SelectCommand, RefusedChoicesWriteNothing) {
    const std::string before = readFile(path);
    const struct {
        const char* args;
        int status;
    } cases[] = {
        {"--choose 99", 2}, {"--choose 0", 2}, {"--systems x", 2}, {"--systems 12 --choose 1", 2},
        {"--from 120 --to 115 --choose 1", 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(select(c.args), c.status) << c.args;
        EXPECT_FALSE(err.str().empty()) << c.args;
        EXPECT_EQ(readFile(path), before) << c.args;
    }
    setFields({{"OB_TEMKAM", 35}});
    const std::string hot = readFile(path);
    EXPECT_EQ(select("--choose 1"), 2);
    EXPECT_EQ(readFile(path), hot);
}

TEST_F(SelectCommand, NoCatalogueIsAValidAnswer) {
    setFields({{"OB_RGTMAX", 50}});
    ASSERT_EQ(select("--json"), 0) << err.str();
    const auto j = nlohmann::json::parse(out.str());
    EXPECT_TRUE(j["ambient"].is_null());
    EXPECT_FALSE(j.contains("filter"));
    EXPECT_TRUE(j["rows"].empty());
    EXPECT_EQ(j["catalogue"], "kat-18.dbf"); // the chamber fits; the outside does not
    setFields({{"OB_RGTMAX", 25}, {"OB_TEMKAM", 35}});
    ASSERT_EQ(select("--json"), 0);
    EXPECT_TRUE(nlohmann::json::parse(out.str())["catalogue"].is_null());
    ASSERT_EQ(select(""), 0);
    EXPECT_NE(out.str().find("Нет каталога оборудования"), std::string::npos);
}

TEST_F(SelectCommand, LockedRecordFailsAndKeepsTheFile) {
    const std::string before = readFile(path);
    Table holder; // this process holds the lock; the command runs as another process
    holder.setTableName(path);
    holder.open();
    holder.edit();
    const int status =
        runProgram(VORN_BINARY, {"select", path, "--data", VORN_DATA_DIR, "--choose", "1"}, {},
                   dir.file("err"));
    holder.cancel();
    EXPECT_EQ(status, 1);
    EXPECT_NE(readFile(dir.file("err")).find("занята другим пользователем"),
              std::string::npos);
    EXPECT_EQ(readFile(path), before);
}

} // namespace
} // namespace vorn::test
