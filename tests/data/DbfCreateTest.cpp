#include "Fixtures.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TempDir;

namespace {
unsigned le16(const std::string& s, size_t at) {
    return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}
} // namespace

TEST(DbfCreate, NumbersAreRightAlignedWithTheFieldDecimals) {
    const DbfFieldSpec n62{"X", 'N', 6, 2};
    EXPECT_EQ(formatDbfField(n62, 3.14159), "  3.14");
    EXPECT_EQ(formatDbfField(n62, -0.001), "  0.00"); // no "-0.00"
    EXPECT_EQ(formatDbfField(n62, Value()), "      ");
    EXPECT_EQ(formatDbfField(n62, 999.99), "999.99");
    EXPECT_THROW(formatDbfField(n62, 12345.6), DbfError);
    EXPECT_THROW(formatDbfField(n62, -1000.0), DbfError);
    EXPECT_THROW(formatDbfField(n62, "3"), DbfError);
    const DbfFieldSpec n40{"T", 'N', 4, 0};
    EXPECT_EQ(formatDbfField(n40, -18), " -18");
    EXPECT_EQ(formatDbfField(n40, 2.5), "   2"); // rounds half to even, as printf
    EXPECT_THROW(formatDbfField(n40, 10000), DbfError);
}

TEST(DbfCreate, TextLogicalAndDateFields) {
    EXPECT_EQ(formatDbfField({"S", 'C', 6, 0}, "Ёж"), std::string("\xF0\xA6", 2) + "    ");
    EXPECT_THROW(formatDbfField({"S", 'C', 3, 0}, "abcd"), DbfError);
    EXPECT_THROW(formatDbfField({"S", 'C', 8, 0}, "€uro"), DbfError); // not in cp866
    EXPECT_EQ(formatDbfField({"S", 'C', 3, 0}, "a?"), "a? ");
    EXPECT_EQ(formatDbfField({"L", 'L', 1, 0}, true), "T");
    EXPECT_EQ(formatDbfField({"L", 'L', 1, 0}, false), "F");
    EXPECT_EQ(formatDbfField({"D", 'D', 8, 0}, Date{2024, 1, 31}), "20240131");
    EXPECT_EQ(formatDbfField({"D", 'D', 8, 0}, Value()), "        ");
}

TEST(DbfCreate, RejectsBadLayouts) {
    TempDir dir;
    const std::string p = dir.file("bad.dbf");
    EXPECT_THROW(createDbf(p, {}, {}), DbfError);
    EXPECT_THROW(createDbf(p, {{"NAME_TOO_LONG", 'C', 5, 0}}, {}), DbfError);
    EXPECT_THROW(createDbf(p, {{"A", 'C', 5, 0}, {"a", 'N', 5, 0}}, {}), DbfError);
    EXPECT_THROW(createDbf(p, {{"A", 'M', 10, 0}}, {}), DbfError);
    EXPECT_THROW(createDbf(p, {{"A", 'N', 4, 3}}, {}), DbfError);
    EXPECT_THROW(createDbf(p, {{"A", 'C', 5, 0}}, {{"x", "y"}}), DbfError);
    // A value that does not fit fails the whole table, and no file is left.
    EXPECT_THROW(createDbf(p, {{"A", 'N', 3, 0}}, {{1}, {1000}}), DbfError);
    EXPECT_FALSE(std::filesystem::exists(p));
}

TEST(DbfCreate, WritesADbaseThreeFileTheTableLayerReads) {
    TempDir dir;
    const std::string p = dir.file("t.dbf");
    const std::vector<DbfFieldSpec> fields = {{"NAIM", 'C', 20, 0},
                                              {"TIP", 'C', 10, 0},
                                              {"CP", 'N', 6, 2},
                                              {"OK", 'L', 1, 0},
                                              {"D", 'D', 8, 0}};
    createDbf(p, fields,
              {{"Говядина", "Мясные", 3.22, true, Date{2024, 2, 29}},
               {"Треска", Value(), Value(), false, Value()}},
              Date{2024, 1, 31});
    const std::string bytes = test::readFile(p);
    const unsigned hlen = 32 + 32 * 5 + 1, rlen = 1 + 20 + 10 + 6 + 1 + 8;
    ASSERT_EQ(bytes.size(), hlen + 2 * rlen + 1);
    EXPECT_EQ(bytes[0], 0x03);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 124);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[3], 31);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(le16(bytes, 8), hlen);
    EXPECT_EQ(le16(bytes, 10), rlen);
    EXPECT_EQ(bytes[29], 0x26);
    EXPECT_EQ(bytes[hlen - 1], 0x0D);
    EXPECT_EQ(bytes[hlen], ' ');
    EXPECT_EQ(bytes.back(), 0x1A);

    Table t;
    t.setTableName(p);
    t.open();
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.asString("NAIM"), "Говядина");
    EXPECT_EQ(t.asString("TIP"), "Мясные");
    EXPECT_DOUBLE_EQ(t.asDouble("CP"), 3.22);
    EXPECT_TRUE(t.asBool("OK"));
    EXPECT_EQ(t.value("D").toDate(), (Date{2024, 2, 29}));
    EXPECT_EQ(t.field(2).kind, FieldKind::Float);
    t.next();
    EXPECT_TRUE(t.value("TIP").isNull());
    EXPECT_EQ(t.asDouble("CP"), 0);
    EXPECT_FALSE(t.asBool("OK"));
    EXPECT_TRUE(t.value("D").isNull());
}
