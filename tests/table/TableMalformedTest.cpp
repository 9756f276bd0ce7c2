// Damaged and unusual files: open fails with a clear error or reads what is sound, and the
// file is never written by opening and reading it.
#include "DbfBytes.h"
#include "data/Table.h"

#include <functional>
#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

DbfBytes good() {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 4}, {"N", 'N', 5, 1}};
    b.records = {" abcd  1.5", " efgh  2.5", " ijkl  3.5"};
    return b;
}

struct Outcome {
    bool opened = false;
    std::string error;
    std::vector<std::string> names;
    std::vector<double> numbers;
};

// Opens, walks, reads every field, locates and filters; reports what it saw.
Outcome readAll(const std::string& path) {
    Outcome o;
    Table t;
    t.setTableName(path);
    try {
        t.open();
        o.opened = true;
        for (t.first(); !t.eof(); t.next()) {
            for (int i = 0; i < t.fieldCount(); ++i)
                t.value(t.field(i).name);
            if (t.hasField("NAME"))
                o.names.push_back(t.asString("NAME"));
            if (t.hasField("N"))
                o.numbers.push_back(t.asDouble("N"));
        }
        if (t.hasField("NAME"))
            t.locate("NAME", Value("zzzz"));
        if (t.hasField("N")) {
            t.setFilter("N >= 2");
            t.setFiltered(true);
        }
        t.close();
    } catch (const DbfError& e) {
        o.error = e.what();
    }
    return o;
}

struct Case {
    const char* name;
    std::function<std::string()> bytes;
    bool opens;
    size_t records;
};

} // namespace

TEST(Malformed, OpenFailsClearlyOrReadsWhatIsSound) {
    const std::vector<Case> cases = {
        {"empty file", [] { return std::string(); }, false, 0},
        {"short header", [] { return good().bytes().substr(0, 20); }, false, 0},
        {"cut inside descriptors", [] { return good().bytes().substr(0, 50); }, false, 0},
        {"header length below 33",
         [] {
             DbfBytes b = good();
             b.headerLengthOverride = 20;
             return b.bytes();
         },
         false, 0},
        {"record length 0",
         [] {
             DbfBytes b = good();
             b.recordLengthOverride = 0;
             return b.bytes();
         },
         false, 0},
        {"record length shorter than the fields",
         [] {
             DbfBytes b = good();
             b.recordLengthOverride = 5;
             return b.bytes();
         },
         false, 0},
        {"zero fields",
         [] {
             DbfBytes b;
             b.records = {" ", " "};
             return b.bytes();
         },
         false, 0},
        {"header length cuts a descriptor",
         [] {
             DbfBytes b = good();
             b.headerLengthOverride = 32 + 32 + 10;
             return b.bytes();
         },
         false, 0},
        {"count larger than the file",
         [] {
             DbfBytes b = good();
             b.countOverride = 1000000;
             return b.bytes();
         },
         true, 3},
        {"count huge and last record cut",
         [] {
             DbfBytes b = good();
             b.countOverride = 0x7FFFFFFF;
             b.eofMark = false;
             return b.bytes().substr(0, b.bytes().size() - 3);
         },
         true, 2},
        {"count smaller than the records",
         [] {
             DbfBytes b = good();
             b.countOverride = 1;
             return b.bytes();
         },
         true, 1},
        {"no terminator, no end mark",
         [] {
             DbfBytes b = good();
             b.terminator = false;
             b.eofMark = false;
             return b.bytes();
         },
         true, 3},
        {"record padding past the fields",
         [] {
             DbfBytes b = good();
             b.recordLengthOverride = 12;
             b.records = {" abcd  1.5XX", " efgh  2.5YY", " ijkl  3.5ZZ"};
             return b.bytes();
         },
         true, 3},
        {"end mark as a deletion flag",
         [] {
             DbfBytes b = good();
             b.records[1][0] = '\x1A';
             return b.bytes();
         },
         true, 3},
        {"header longer than the file",
         [] {
             DbfBytes b = good();
             b.headerLengthOverride = 4000;
             return b.bytes().substr(0, 4000 - 100);
         },
         true, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string p = dir.file("case.dbf");
        const std::string bytes = c.bytes();
        writeFile(p, bytes);
        const Outcome o = readAll(p);
        EXPECT_EQ(o.opened, c.opens) << c.name << ": " << o.error;
        if (!c.opens) {
            EXPECT_FALSE(o.error.empty()) << c.name;
        }
        EXPECT_EQ(o.names.size(), c.records) << c.name;
        EXPECT_EQ(readFile(p), bytes) << c.name << ": the file was changed";
    }
}

TEST(Malformed, OddFieldsAndValues) {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 4}, {"N", 'N', 6, 1}, {"Z", 'C', 0}, {"X", 'X', 2}, {"L", 'L', 1}};
    b.records = {" abcd12a4.0XYq", " efgh******  ?", " ijkl  12,5ab ", " mnop-1.5e3   "};
    TempDir dir;
    const std::string p = dir.file("odd.dbf");
    writeFile(p, b.bytes());
    const Outcome o = readAll(p);
    ASSERT_TRUE(o.opened) << o.error;
    // Garbage and overflow stars read as 0; a decimal comma is accepted.
    EXPECT_EQ(o.numbers, (std::vector<double>{0, 0, 12.5, -1500}));

    Table t;
    t.setTableName(p);
    t.open();
    EXPECT_TRUE(t.value("Z").isNull());
    EXPECT_EQ(t.value("X"), Value("XY")); // unknown type: the raw text
    EXPECT_EQ(t.field(3).kind, FieldKind::Unknown);
    t.edit();
    EXPECT_THROW(t.setValue("X", Value("ab")), DbfError);
    t.cancel();
}

TEST(Malformed, DirectoryAndDuplicateNames) {
    TempDir dir;
    EXPECT_FALSE(readAll(dir.path()).opened);
    EXPECT_NE(readAll(dir.path()).error.find(dir.path()), std::string::npos);
    EXPECT_NE(readAll(dir.path()).error.find("это папка"), std::string::npos)
        << readAll(dir.path()).error;

    DbfBytes b = good();
    b.fields[1].name = "name";
    writeFile(dir.file("dup.dbf"), b.bytes());
    EXPECT_FALSE(readAll(dir.file("dup.dbf")).opened);
}

TEST(Malformed, AppendToTruncatedFileWritesAfterTheSoundRecords) {
    DbfBytes b = good();
    b.countOverride = 50;
    b.eofMark = false;
    TempDir dir;
    const std::string p = dir.file("t.dbf");
    writeFile(p, b.bytes());
    Table t;
    t.setTableName(p);
    t.open();
    t.append();
    t.setValue("NAME", Value("new"));
    t.post();
    const std::string f = readFile(p);
    EXPECT_EQ(f.size(), 32u + 64 + 1 + 4 * 10 + 1); // no hole, an end mark
    EXPECT_EQ(f[4], 4);                             // the count now matches the file
    t.first();
    EXPECT_EQ(t.recordCount(), 4);
}
