// What an open table sees of changes made by another process, lookups by field name, and
// the exactness of Locate keys and of numbers written with fixed decimals.
#include "DbfBytes.h"
#include "data/Table.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace vorn;
using namespace vorn::test;

namespace {

// NAME C(8), W N(6,2), K N(4)
DbfBytes sample() {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 8}, {"W", 'N', 6, 2}, {"K", 'N', 4}};
    b.records = {" first     1.00   1", " second    2.00   2"};
    return b;
}

// Runs work on the table file in a child process; true when it finished without error.
// Windows has no fork: there another table object of this process does the work, through a
// handle of its own, which is what the file's times and size show the same way.
bool inChild(const std::string& path, const std::function<void(Table&)>& work) {
#ifdef _WIN32
    try {
        Table t;
        t.setTableName(path);
        t.open();
        work(t);
        t.close();
        return true;
    } catch (...) {
        return false;
    }
#else
    const pid_t pid = fork();
    if (pid == 0) {
        int rc = 0;
        try {
            Table t;
            t.setTableName(path);
            t.open();
            work(t);
            t.close();
        } catch (...) {
            rc = 1;
        }
        _exit(rc);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

// Dates the file's modification an hour back, as a reference table copied long ago.
void ageFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::last_write_time(fs::u8path(path), fs::file_time_type::clock::now() - std::chrono::hours(1),
                        ec);
    ASSERT_FALSE(ec) << ec.message();
}

std::string written(double v, int length, int decimals) {
    TempDir dir;
    DbfBytes b;
    b.fields = {{"X", 'N', length, decimals}};
    b.records = {" " + std::string(static_cast<size_t>(length), ' ')};
    writeFile(dir.file("n.dbf"), b.bytes());
    Table t;
    t.setTableName(dir.file("n.dbf"));
    t.open();
    t.edit();
    t.setValue("X", Value(v));
    t.post();
    t.close();
    const size_t hlen = 32 + 32 + 1;
    return readFile(dir.file("n.dbf")).substr(hlen + 1, static_cast<size_t>(length));
}

// Half away from zero on the exact binary value, worked out from 80 printed decimals.
std::string expectedFixed(double v, int decimals) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.80f", std::fabs(v));
    std::string s(buf);
    const size_t dot = s.find('.');
    std::string digits = s.substr(0, dot) + s.substr(dot + 1, static_cast<size_t>(decimals));
    if (s[dot + 1 + static_cast<size_t>(decimals)] >= '5') {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
    }
    const size_t intLen = digits.size() - static_cast<size_t>(decimals);
    std::string out = digits.substr(0, intLen);
    if (decimals > 0)
        out += "." + digits.substr(intLen);
    if (v < 0 && digits.find_first_not_of('0') != std::string::npos)
        out.insert(out.begin(), '-');
    return out;
}

} // namespace

TEST(TableRefresh, FirstSeesAnotherProcessAppendEditAndDelete) {
    for (const bool aged : {true, false}) {
        SCOPED_TRACE(aged ? "file untouched for an hour" : "file just written");
        TempDir dir;
        const std::string path = dir.file("t.dbf");
        writeFile(path, sample().bytes());
        if (aged)
            ageFile(path);
        Table t;
        t.setTableName(path);
        t.open();
        EXPECT_DOUBLE_EQ(t.asDouble("W"), 1.0);

        ASSERT_TRUE(inChild(path, [](Table& o) {
            o.append();
            o.setValue("NAME", Value("third"));
            o.setValue("W", Value(3.5));
            o.post();
        }));
        t.first();
        EXPECT_EQ(t.recordCount(), 3);
        EXPECT_DOUBLE_EQ(t.asDouble("W"), 1.0);
        ASSERT_TRUE(t.locate("NAME", Value("THIRD")));
        EXPECT_DOUBLE_EQ(t.asDouble("W"), 3.5);

        // Same size, changed in place right after the append: the times alone may not
        // tell, so the file is read again.
        ASSERT_TRUE(inChild(path, [](Table& o) {
            o.edit();
            o.setValue("W", Value(9.25));
            o.post();
        }));
        t.first();
        EXPECT_DOUBLE_EQ(t.asDouble("W"), 9.25);
        EXPECT_TRUE(t.locate("W", Value(3.5)));
        EXPECT_EQ(t.asString("NAME"), "third");

        ASSERT_TRUE(inChild(path, [](Table& o) {
            if (!o.locate("NAME", Value("second")))
                throw DbfError("second not found");
            o.deleteRecord();
        }));
        t.first();
        EXPECT_EQ(t.recordCount(), 2);
        EXPECT_FALSE(t.locate("NAME", Value("second")));
    }
}

TEST(TableRefresh, OwnWritesShowInNumbersAndLocate) {
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    writeFile(path, sample().bytes());
    ageFile(path);
    Table t, other;
    t.setTableName(path);
    other.setTableName(path);
    t.open();
    other.open();
    for (t.first(); !t.eof(); t.next())
        t.asDouble("K"); // parsed once and kept
    t.first();
    t.edit();
    t.setValue("K", Value(42));
    EXPECT_DOUBLE_EQ(t.asDouble("K"), 42); // the edit buffer, not what was kept
    t.post();
    EXPECT_DOUBLE_EQ(t.asDouble("K"), 42);
    t.next();
    EXPECT_DOUBLE_EQ(t.asDouble("K"), 2);

    // Another table of this program writes: a Locate right after must see it.
    other.first();
    other.edit();
    other.setValue("NAME", Value("renamed"));
    other.post();
    EXPECT_TRUE(t.locate("NAME", Value("Renamed")));
    EXPECT_DOUBLE_EQ(t.asDouble("K"), 42);
}

TEST(TableNames, LookupFoldsCaseAndBlanksOfAnyName) {
    TempDir dir;
    DbfBytes b;
    b.fields = {{"OB_KAMV", 'N', 6, 2}, {utf8ToCp866("ЦЕНА"), 'N', 6}, {"X", 'C', 2}};
    b.records = {"  12.50    17ab"};
    writeFile(dir.file("t.dbf"), b.bytes());
    Table t;
    t.setTableName(dir.file("t.dbf"));
    t.addCalculatedField("A_Very_Long_Calculated_Field_Name");
    t.onCalcFields = [](Table& self) {
        self.setValue("a_very_long_calculated_field_name", Value(self.asDouble("ob_kamv") * 2));
    };
    t.open();
    EXPECT_DOUBLE_EQ(t.asDouble("OB_KAMV"), 12.5);
    EXPECT_DOUBLE_EQ(t.asDouble(" ob_KamV "), 12.5);
    EXPECT_DOUBLE_EQ(t.asDouble("цена"), 17);
    EXPECT_DOUBLE_EQ(t.asDouble("Цена"), 17);
    EXPECT_DOUBLE_EQ(t.asDouble("A_VERY_LONG_CALCULATED_FIELD_NAME"), 25);
    EXPECT_TRUE(t.hasField("x"));
    EXPECT_FALSE(t.hasField("OB_KAM"));
    EXPECT_FALSE(t.hasField("OB_KAMVX"));
    EXPECT_FALSE(t.hasField(""));
    EXPECT_THROW(t.value("ЦЕН"), DbfError);
}

TEST(TableLocate, KeysThatCannotBeOnDiskFindNothing) {
    TempDir dir;
    DbfBytes b;
    b.fields = {{"NAME", 'C', 10}};
    b.records = {" " + utf8ToCp866("Ёлка") + "      ", " " + std::string("A?") + "        ",
                 " " + utf8ToCp866("°C") + "        "};
    writeFile(dir.file("t.dbf"), b.bytes());
    Table t;
    t.setTableName(dir.file("t.dbf"));
    t.open();
    EXPECT_TRUE(t.locate("NAME", Value("ёЛКА")));
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_TRUE(t.locate("NAME", Value("°c"))); // a two-byte character outside Cyrillic
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_FALSE(t.locate("NAME", Value("A€")));            // no cp866 byte: not "A?"
    EXPECT_FALSE(t.locate("NAME", Value("A\xC1\xBF")));     // over-long '?'
    EXPECT_FALSE(t.locate("NAME", Value("A\xE0\x80\xBF"))); // over-long '?'
    EXPECT_FALSE(t.locate("NAME", Value("A\xFF")));         // not UTF-8
    EXPECT_FALSE(t.locate("NAME", Value("A\xD0")));         // cut short
    EXPECT_TRUE(t.locate("NAME", Value("a?")));
    EXPECT_EQ(t.recNo(), 2);
}

TEST(TableWriteNumbers, FixedDecimalsRoundHalfAwayOnTheExactValue) {
    EXPECT_EQ(written(2.675, 8, 2), "    2.67"); // 2.67499999...
    EXPECT_EQ(written(1.005, 8, 2), "    1.00");
    EXPECT_EQ(written(1.125, 8, 2), "    1.13"); // exact tie
    EXPECT_EQ(written(-1.125, 8, 2), "   -1.13");
    EXPECT_EQ(written(2.5, 4, 0), "   3");
    EXPECT_EQ(written(-0.5, 4, 0), "  -1");
    EXPECT_EQ(written(-0.004, 8, 2), "    0.00");
    EXPECT_EQ(written(-0.0, 8, 2), "    0.00");
    EXPECT_EQ(written(1e-300, 8, 2), "    0.00");
    EXPECT_EQ(written(99.995, 8, 2), "  100.00");                 // 99.99500000000000454...
    EXPECT_EQ(written(0.000244140625, 14, 11), " 0.00024414063"); // 2^-12: a tie at 11

    // Random values of every magnitude against the long-hand rounding.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mant(-1, 1);
    std::uniform_int_distribution<int> exp10(-6, 9), dec(0, 6);
    TempDir dir;
    DbfBytes b;
    b.fields = {{"X", 'N', 20, 6}};
    for (int d = 0; d <= 6; ++d)
        b.fields.push_back({"D" + std::to_string(d), 'N', 20, d});
    b.fields.erase(b.fields.begin());
    b.records = {" " + std::string(20 * 7, ' ')};
    writeFile(dir.file("r.dbf"), b.bytes());
    Table t;
    t.setTableName(dir.file("r.dbf"));
    t.open();
    t.edit();
    for (int i = 0; i < 3000; ++i) {
        const int d = dec(rng);
        double v = mant(rng) * std::pow(10.0, exp10(rng));
        if (i % 3 == 0) // ties and near ties
            v = std::round(v * std::pow(10.0, d + 1)) / std::pow(10.0, d + 1);
        const std::string field = "D" + std::to_string(d);
        t.setValue(field, Value(v));
        const std::string want = expectedFixed(v, d);
        EXPECT_EQ(t.asDouble(field), std::strtod(want.c_str(), nullptr)) << v << " to " << d;
    }
    t.cancel();
}
