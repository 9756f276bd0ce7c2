// Reading: field kinds, values as stored, navigation, Locate, filters, names, code page.
#include "DbfBytes.h"
#include "data/Table.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

std::string pad(const std::string& utf8, size_t n, bool right = false) {
    std::string s = utf8ToCp866(utf8);
    s.resize(std::min(s.size(), n));
    return right ? std::string(n - s.size(), ' ') + s : s + std::string(n - s.size(), ' ');
}

// TIP C(12), Q N(6,2), CNT N(5), OK L, DT D
DbfBytes products() {
    DbfBytes b;
    b.fields = {
        {"TIP", 'C', 12}, {"Q", 'N', 6, 2}, {"CNT", 'N', 5}, {"OK", 'L', 1}, {"DT", 'D', 8}};
    b.records = {
        " " + pad("Мясные", 12) + pad("3.50", 6, true) + pad("7", 5, true) + "T" + "20240131",
        "*" + pad("Мясные", 12) + pad("1.00", 6, true) + pad("1", 5, true) + "T" + "20240101",
        " " + pad("", 12) + pad("", 6) + pad("", 5) + " " + "00000000",
        " " + pad("Рыба ёрш", 12) + pad("12.25", 6, true) + pad("-3", 5, true) + "j" + "20241345",
        " " + pad("Milk", 12) + pad("0.10", 6, true) + pad("30", 5, true) + "y" + "        ",
    };
    return b;
}

class TableRead : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.file("products.DBF"), products().bytes());
        t.setDatabaseName(dir.path().string());
        t.setTableName("products.DBF");
        t.open();
    }
    TempDir dir;
    Table t{"taProd"};
};

std::vector<std::string> walk(Table& t, const char* field = "TIP") {
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next())
        out.push_back(t.asString(field));
    return out;
}

} // namespace

TEST(FieldKinds, FollowTypeLengthAndDecimals) {
    EXPECT_EQ(kindOf('C', 254, 0), FieldKind::Text);
    EXPECT_EQ(kindOf('N', 4, 0), FieldKind::SmallInt);
    EXPECT_EQ(kindOf('F', 5, 0), FieldKind::Int);
    EXPECT_EQ(kindOf('N', 10, 0), FieldKind::Int);
    EXPECT_EQ(kindOf('N', 11, 0), FieldKind::Float);
    EXPECT_EQ(kindOf('N', 6, 2), FieldKind::Float);
    EXPECT_EQ(kindOf('L', 1, 0), FieldKind::Logical);
    EXPECT_EQ(kindOf('D', 8, 0), FieldKind::Date);
    EXPECT_EQ(kindOf('M', 10, 0), FieldKind::Unknown);
    EXPECT_EQ(familyOf(FieldKind::SmallInt), familyOf(FieldKind::Int));
    EXPECT_NE(familyOf(FieldKind::Int), familyOf(FieldKind::Float));
}

TEST(CodePage, RoundTripsCyrillicAndFoldsCase) {
    const std::string word = "Мясные ЁЖ ёж Ўў №";
    EXPECT_EQ(cp866ToUtf8(utf8ToCp866(word)), word);
    EXPECT_EQ(utf8ToCp866("М")[0], '\x8C');
    EXPECT_EQ(utf8ToCp866("Ё"), "\xF0");
    EXPECT_EQ(utf8ToCp866("€x"), "?x");
    EXPECT_EQ(utf8ToCp866("\xFF\xD0"), "??"); // broken UTF-8 never reads past the end
    EXPECT_EQ(foldCase("МЯСНЫЕ Ёлка ABC"), "мясные ёлка abc");
    EXPECT_TRUE(equalsIgnoreCase("ЁРШ", "ёрш"));
    EXPECT_FALSE(equalsIgnoreCase("ерш", "ёрш"));
}

TEST_F(TableRead, ValuesAsStored) {
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_EQ(t.value("TIP"), Value("Мясные"));
    EXPECT_DOUBLE_EQ(t.asDouble("q"), 3.5);
    EXPECT_EQ(t.value("Cnt"), Value(7));
    EXPECT_EQ(t.value("OK"), Value(true));
    EXPECT_EQ(t.value("DT"), Value(Date{2024, 1, 31}));

    t.next(); // the deleted record is skipped
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_TRUE(t.value("TIP").isNull());
    EXPECT_EQ(t.value("Q"), Value(0.0));
    EXPECT_EQ(t.value("CNT"), Value(0.0));
    EXPECT_EQ(t.value("OK"), Value(false));
    EXPECT_TRUE(t.value("DT").isNull()); // 00000000

    t.next();
    EXPECT_EQ(t.value("TIP"), Value("Рыба ёрш"));
    EXPECT_EQ(t.value("CNT"), Value(-3));
    EXPECT_EQ(t.value("OK"), Value(true)); // J/j is true
    EXPECT_TRUE(t.value("DT").isNull());   // month 13

    t.next();
    EXPECT_TRUE(t.value("DT").isNull()); // blanks
    EXPECT_EQ(t.value("OK"), Value(true));
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 5); // stays on the last record

    try {
        t.value("NOPE");
        FAIL();
    } catch (const DbfError& e) {
        EXPECT_STREQ(e.what(), "Field 'NOPE' not found");
    }
}

TEST_F(TableRead, NavigationAndCountSkipDeleted) {
    EXPECT_EQ(walk(t).size(), 4u);
    EXPECT_EQ(t.recordCount(), 4);
    t.last();
    EXPECT_EQ(t.recNo(), 5);
    t.prior();
    t.prior();
    t.prior();
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_FALSE(t.bof());
    t.prior();
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_TRUE(t.hasField("dt"));
    EXPECT_FALSE(t.hasField("XX"));
    ASSERT_EQ(t.fieldCount(), 5);
    EXPECT_EQ(t.field(1).name, "Q");
    EXPECT_EQ(t.field(1).kind, FieldKind::Float);
    EXPECT_EQ(t.field(2).kind, FieldKind::Int);
}

TEST_F(TableRead, LocateIsCaseInsensitiveWholeValueAndSkipsDeleted) {
    t.last();
    EXPECT_TRUE(t.locate("TIP", Value("мясные")));
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_TRUE(t.locate("tip", Value("РЫБА ЁРШ  ")));
    EXPECT_EQ(t.recNo(), 4);
    EXPECT_FALSE(t.locate("TIP", Value("Мяс"))); // not a prefix match
    EXPECT_EQ(t.recNo(), 4);                     // cursor stays
    EXPECT_TRUE(t.locate("TIP", Value("milk")));
    EXPECT_TRUE(t.locate("Q", Value(12.25)));
    EXPECT_EQ(t.recNo(), 4);
    EXPECT_TRUE(t.locate("CNT", Value("30")));
    EXPECT_EQ(t.recNo(), 5);
    EXPECT_FALSE(t.locate("CNT", Value(1))); // only in the deleted record
    EXPECT_TRUE(t.locate("TIP", Value()));   // the blank record
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_FALSE(t.locate("TIP", Value("€")));
}

TEST_F(TableRead, FilterSelectsAndMovesToFirstVisible) {
    t.setFilter("TIP='Мясные'");
    t.last();
    t.setFiltered(true);
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_EQ(walk(t), std::vector<std::string>{"Мясные"});
    EXPECT_EQ(t.recordCount(), 1);

    t.setFilter("TIP='мясные'"); // text is case-sensitive
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recordCount(), 0);

    t.setFilter("CNT >= 0 and CNT <= 10 and Q >= 1");
    EXPECT_EQ(walk(t), std::vector<std::string>{"Мясные"});
    t.setFilter("CNT <= 7");
    EXPECT_EQ(walk(t).size(), 3u);
    EXPECT_FALSE(t.locate("TIP", Value("Milk"))); // Locate sees the filter too
    t.setFiltered(false);
    EXPECT_EQ(walk(t).size(), 4u);
    EXPECT_TRUE(t.locate("TIP", Value("Milk")));
}

TEST_F(TableRead, FilterOutsideTheSubsetIsRefused) {
    const char* bad[] = {
        "TIP <> 'x'", "TIP = 'x' AND CNT = 1", "CNT = 1.5", "TIP = 'open", "CNT = 1 or CNT = 2",
        "= 3",        "CNT = 1 and",           "TIP = 1",   "CNT = 'x'",   "NOPE = 1"};
    t.setFiltered(true);
    for (const char* e : bad) {
        EXPECT_THROW(t.setFilter(e), DbfError) << e;
        EXPECT_EQ(walk(t).size(), 4u) << e; // the old filter (none) still holds
    }
    EXPECT_NO_THROW(t.setFilter("TIP = 'it''s'"));
    EXPECT_TRUE(t.eof());
}

TEST(TableOpen, MissingFileAndCaseInsensitiveName) {
    TempDir dir;
    Table t;
    t.setTableName(dir.file("none.dbf"));
    try {
        t.open();
        FAIL();
    } catch (const DbfError& e) {
        EXPECT_NE(std::string(e.what()).find("none.dbf"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("файл не найден"), std::string::npos);
    }
    EXPECT_FALSE(t.isOpen());
    EXPECT_THROW(t.first(), DbfError);
    try {
        t.value("X");
        FAIL();
    } catch (const DbfError& e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
    }

    writeFile(dir.file("S_REGION.DBF"), products().bytes());
    Table u;
    u.setDatabaseName(dir.path().string());
    u.setTableName("s_region.dbf");
    ASSERT_NO_THROW(u.open());
    EXPECT_EQ(u.recordCount(), 4);
    EXPECT_THROW(u.setTableName("x.dbf"), DbfError);
}

TEST(TableOpen, DeclaredFieldsBindByNameAndFamily) {
    TempDir dir;
    writeFile(dir.file("t.dbf"), products().bytes());
    const auto openWith = [&](std::vector<FieldDecl> decl) {
        Table t;
        t.setTableName(dir.file("t.dbf"));
        t.setDeclaredFields(std::move(decl));
        t.open();
        return t.fieldCount();
    };
    // CNT is N(5,0): a small whole number binds to it; undeclared fields are allowed.
    EXPECT_EQ(openWith({{"tip", FieldKind::Text}, {"CNT", FieldKind::SmallInt}}), 2);
    try {
        openWith({{"TIP", FieldKind::Text}, {"OB_KAMV", FieldKind::Float}});
        FAIL();
    } catch (const DbfError& e) {
        EXPECT_STREQ(e.what(), "Field 'OB_KAMV' not found");
    }
    try {
        openWith({{"Q", FieldKind::Int}});
        FAIL();
    } catch (const DbfError& e) {
        EXPECT_STREQ(e.what(), "Type mismatch for field 'Q', expecting: Integer actual: Float");
    }
}
