// vorn dump: plain and JSON output, and an unreadable file.
#include "DbfBytes.h"
#include "app/cli/Commands.h"
#include "data/Table.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

using namespace vorn;
using namespace vorn::test;

TEST(DumpCommand, JsonHoldsFieldsAndVisibleRecords) {
    DbfBytes b;
    b.fields = {{"OB_KAMDL", 'N', 6, 2},
                {"OB_TERMR", 'C', 10},
                {"CH1", 'L', 1},
                {"OB_DATE", 'D', 8},
                {"KOLSYS", 'N', 3}};
    b.records = {"   6.00" + utf8ToCp866("Хранение  ") + "T" + "        " + "  2",
                 "*  1.00" + std::string(10, ' ') + "F" + "20240101" + "  1",
                 "       " + utf8ToCp866("a\"b\\c     ") + " " + "20240131" + "   "};
    TempDir dir;
    writeFile(dir.file("w.vrn"), b.bytes());
    std::ostringstream out, err;
    CliContext ctx{dir.path().string(), dir.path().string(), out, err};
    EXPECT_EQ(runSubcommand(ctx, {"dump", dir.file("w.vrn"), "--json"}), 0);
    // whole-number fields as integers, fractional ones as numbers, dates as text
    EXPECT_EQ(nlohmann::json::parse(out.str()), nlohmann::json::parse(R"({"fields": [
        {"name": "OB_KAMDL", "type": "N", "length": 6, "decimals": 2},
        {"name": "OB_TERMR", "type": "C", "length": 10, "decimals": 0},
        {"name": "CH1", "type": "L", "length": 1, "decimals": 0},
        {"name": "OB_DATE", "type": "D", "length": 8, "decimals": 0},
        {"name": "KOLSYS", "type": "N", "length": 3, "decimals": 0}], "records": [
        {"OB_KAMDL": 6.0, "OB_TERMR": "Хранение", "CH1": true, "OB_DATE": null, "KOLSYS": 2},
        {"OB_KAMDL": 0.0, "OB_TERMR": "a\"b\\c", "CH1": false, "OB_DATE": "2024-01-31",
         "KOLSYS": 0}]})"));
    EXPECT_NE(out.str().find("\"OB_KAMDL\":6.0"), std::string::npos);
    EXPECT_TRUE(err.str().empty());

    std::ostringstream plain;
    CliContext ctx2{dir.path().string(), dir.path().string(), plain, err};
    EXPECT_EQ(runSubcommand(ctx2, {"dump", dir.file("w.vrn")}), 0);
    EXPECT_NE(plain.str().find("OB_TERMR = Хранение"), std::string::npos);
    EXPECT_NE(plain.str().find("Записей: 2"), std::string::npos);
}

TEST(DumpCommand, UnreadableFileFailsWithMessage) {
    TempDir dir;
    writeFile(dir.file("bad.dbf"), "not a table");
    std::ostringstream out, err;
    CliContext ctx{dir.path().string(), dir.path().string(), out, err};
    EXPECT_EQ(runSubcommand(ctx, {"dump", dir.file("bad.dbf")}), 1);
    EXPECT_FALSE(err.str().empty());
    EXPECT_EQ(runSubcommand(ctx, {"dump", dir.file("missing.dbf"), "--json"}), 1);
    EXPECT_NE(err.str().find("missing.dbf"), std::string::npos);
    EXPECT_EQ(runSubcommand(ctx, {"dump"}), 2);
}
