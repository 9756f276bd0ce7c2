// Writing: formats on disk, refused writes, the state machine, append / delete keeping the
// file standard, calculated fields, hooks and observers.
#include "DbfBytes.h"
#include "data/Table.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

// NAME C(8), W N(6,2), K N(4), OK L, DT D, EXTRA C(3)
DbfBytes sample() {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 8}, {"W", 'N', 6, 2}, {"K", 'N', 4},
                {"OK", 'L', 1},   {"DT", 'D', 8},   {"EXTRA", 'C', 3}};
    b.records = {" first     1.00   1T20240131abc", " second    2.00   2F        xyz"};
    return b;
}

class TableWrite : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("t.dbf");
        writeFile(path, sample().bytes());
        t.setTableName(path);
        t.open();
    }
    // Bytes of field [off, off+len) of record i (0-based) as on disk.
    std::string disk(int i, size_t off, size_t len) {
        const DbfBytes b = sample();
        const size_t hlen = 32 + 32 * b.fields.size() + 1;
        return readFile(path).substr(hlen + static_cast<size_t>(i * b.recordLength()) + off, len);
    }
    TempDir dir;
    std::string path;
    Table t;
};

std::string expectError(const std::function<void()>& f) {
    try {
        f();
    } catch (const DbfError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST_F(TableWrite, StateErrors) {
    EXPECT_EQ(expectError([&] { t.setValue("NAME", Value("x")); }),
              "Dataset not in edit or insert mode");
    Table ro;
    ro.setTableName(path);
    ro.setReadOnly(true);
    ro.open();
    EXPECT_EQ(expectError([&] { ro.edit(); }), "Cannot modify a read-only dataset");
    EXPECT_EQ(expectError([&] { ro.append(); }), "Cannot modify a read-only dataset");
    t.close();
    EXPECT_EQ(expectError([&] { t.edit(); }), "Cannot perform this operation on a closed dataset");
}

TEST_F(TableWrite, NumbersRightAlignedRoundedOrRefused) {
    t.edit();
    t.setValue("W", Value(3.14159));
    t.setValue("K", Value(12.7)); // whole-number field: rounded to its 0 decimals
    t.post();
    EXPECT_EQ(disk(0, 9, 6), "  3.14");
    EXPECT_EQ(disk(0, 15, 4), "  13");

    t.edit();
    EXPECT_THROW(t.setValue("W", Value(12345.6)), DbfError);
    EXPECT_THROW(t.setValue("K", Value(-1000)), DbfError);
    EXPECT_THROW(t.setValue("W", Value(std::nan(""))), DbfError);
    EXPECT_DOUBLE_EQ(t.asDouble("W"), 3.14); // old content kept
    t.setValue("W", Value(0.125));           // half away from zero
    EXPECT_EQ(t.value("W"), Value(0.13));
    t.setValue("W", Value(-0.001)); // no "-0.00"
    t.post();
    EXPECT_EQ(disk(0, 9, 6), "  0.00");
    t.edit();
    EXPECT_THROW(t.setValue("W", Value(999.999)), DbfError); // 1000.00 is seven characters
    EXPECT_DOUBLE_EQ(t.asDouble("W"), 0);
    t.setValue("W", Value());
    t.post();
    EXPECT_EQ(disk(0, 9, 6), "      ");
    EXPECT_EQ(t.value("W"), Value(0.0));
}

TEST_F(TableWrite, TextLogicalDateFormats) {
    t.edit();
    t.setValue("NAME", Value("Хранение долго")); // cut to 8
    t.setValue("OK", Value(false));
    t.setValue("DT", Value(Date{2025, 2, 28}));
    t.post();
    EXPECT_EQ(disk(0, 1, 8), utf8ToCp866("Хранение"));
    EXPECT_EQ(disk(0, 19, 1), "F");
    EXPECT_EQ(disk(0, 20, 8), "20250228");
    EXPECT_EQ(disk(0, 28, 3), "abc"); // an undeclared neighbour is untouched
    t.edit();
    t.setValue("NAME", Value());
    t.setValue("OK", Value(true));
    t.setValue("DT", Value());
    EXPECT_THROW(t.setValue("DT", Value("2025-02-30")), DbfError);
    t.post();
    EXPECT_EQ(disk(0, 1, 8), std::string(8, ' '));
    EXPECT_EQ(disk(0, 19, 9), "T        ");
}

TEST_F(TableWrite, CursorMovePostsCloseDiscards) {
    t.edit();
    t.setValue("NAME", Value("posted"));
    EXPECT_TRUE(t.modified());
    t.first();
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(disk(0, 1, 8), "posted  ");

    t.edit();
    t.setValue("NAME", Value("lost"));
    t.close();
    EXPECT_EQ(disk(0, 1, 8), "posted  ");

    t.open();
    const std::string before = readFile(path);
    t.edit();
    t.next(); // unchanged edit: cancelled, nothing written
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(readFile(path), before);
}

TEST_F(TableWrite, AppendAndDeleteKeepTheFileStandard) {
    t.append();
    EXPECT_EQ(t.state(), Table::State::Insert);
    t.setValue("NAME", Value("third"));
    t.setValue("W", Value(3));
    t.post();
    EXPECT_EQ(t.recNo(), 3);
    std::string f = readFile(path);
    const size_t hlen = 32 + 32 * 6 + 1, rlen = 31;
    EXPECT_EQ(f.size(), hlen + 3 * rlen + 1);
    EXPECT_EQ(f[4], 3);           // header count
    EXPECT_EQ(f[hlen - 1], '\r'); // terminator
    EXPECT_EQ(f.back(), '\x1A');  // end-of-file mark
    EXPECT_EQ(f.substr(hlen + 2 * rlen, 9), " third   ");
    EXPECT_EQ(f.substr(hlen + 2 * rlen + 28, 3), "   "); // blank, not garbage

    t.append(); // an unchanged insert is cancelled by a move
    t.first();
    EXPECT_EQ(readFile(path).size(), f.size());

    t.locate("NAME", Value("second"));
    t.deleteRecord();
    EXPECT_EQ(t.asString("NAME"), "third"); // moved to the neighbour
    f = readFile(path);
    EXPECT_EQ(f[hlen + rlen], '*');
    EXPECT_EQ(f.size(), hlen + 3 * rlen + 1);
    EXPECT_EQ(t.recordCount(), 2);
    t.deleteRecord();
    EXPECT_EQ(t.asString("NAME"), "first");
    t.deleteRecord();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recordCount(), 0);
}

TEST_F(TableWrite, FirstSeesRecordsAppendedElsewhere) {
    Table other;
    other.setTableName(path);
    other.open();
    other.append();
    other.setValue("NAME", Value("new"));
    other.post();
    // Without first() the open table's cursor keeps working on what it had read.
    t.first();
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_TRUE(t.locate("NAME", Value("NEW")));
    other.deleteRecord();
    t.first();
    EXPECT_EQ(t.recordCount(), 2);
}

TEST_F(TableWrite, FilterChangeEndsTheEdit) {
    t.edit();
    t.setValue("NAME", Value("x"));
    t.setFilter("K >= 2");
    t.setFiltered(true);
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(disk(0, 1, 8), "x       ");
    EXPECT_EQ(t.asString("NAME"), "second");
}

TEST(TableHooks, CalculatedFieldsHooksAndObservers) {
    TempDir dir;
    writeFile(dir.file("t.dbf"), sample().bytes());
    Table t;
    t.setTableName(dir.file("t.dbf"));
    t.setDeclaredFields({{"NAME", FieldKind::Text}, {"W", FieldKind::Float}});
    t.addCalculatedField("W2");
    int calcRuns = 0, notices = 0, opened = 0, closing = 0;
    t.onCalcFields = [&](Table& tb) {
        ++calcRuns;
        tb.setValue("W2", Value(tb.asDouble("W") * 2));
    };
    t.afterOpen = [&](Table&) { ++opened; };
    t.beforeClose = [&](Table& tb) {
        ++closing;
        EXPECT_TRUE(tb.isOpen());
    };
    t.addObserver([&] { ++notices; });
    t.open();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(t.value("w2"), Value(2.0));
    EXPECT_EQ(t.fieldCount(), 3);
    EXPECT_TRUE(t.field(2).calculated);
    EXPECT_EQ(expectError([&] { t.value("K"); }), "Field 'K' not found"); // undeclared
    EXPECT_THROW(t.setValue("W2", Value(1)), DbfError);                   // only inside the hook

    const int before = notices;
    t.next();
    EXPECT_EQ(t.value("W2"), Value(4.0));
    EXPECT_GT(notices, before);
    t.edit();
    const int runs = calcRuns;
    t.setValue("W", Value(5));
    EXPECT_GT(calcRuns, runs);
    EXPECT_EQ(t.value("W2"), Value(10.0));
    EXPECT_TRUE(t.locate("W2", Value(2.0)));
    EXPECT_EQ(t.recNo(), 1);
    t.close();
    EXPECT_EQ(closing, 1);
    EXPECT_EQ(readFile(dir.file("t.dbf")).substr(225 + 31 + 9, 6), "  5.00");

    t.afterOpen = [](Table&) { throw DbfError("hook failed"); };
    EXPECT_THROW(t.open(), DbfError);
    EXPECT_TRUE(t.isOpen()); // the table stays open
}
