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

// The bytes of the good table after one change.
std::function<std::string()> with(std::function<void(DbfBytes&)> change) {
    return [change] {
        DbfBytes b = good();
        change(b);
        return b.bytes();
    };
}

// The bytes of b with one little-endian 16-bit header word replaced.
std::string patched16(const DbfBytes& b, size_t at, unsigned v) {
    std::string s = b.bytes();
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
    return s;
}

struct Damaged {
    const char* name;
    std::function<std::string()> bytes;
    const char* message; // after "Файл PATH"
};

// Headers that contradict themselves. Kept apart so that the fuzz seeds can be made
// from the same list.
std::vector<Damaged> damagedHeaders() {
    return {
        {"empty file", [] { return std::string(); },
         " не является таблицей dBase: файл короче заголовка"},
        {"short header", [] { return good().bytes().substr(0, 20); },
         " не является таблицей dBase: файл короче заголовка"},
        {"dBase 7",
         [] {
             std::string s = good().bytes();
             s[0] = 0x04;
             return s;
         },
         " не является таблицей dBase: формат dBase 7 не поддерживается"},
        {"cut inside descriptors", [] { return good().bytes().substr(0, 50); },
         " повреждён: длина заголовка 97 больше длины файла 50"},
        {"header length below 33", with([](DbfBytes& b) { b.headerLengthOverride = 20; }),
         " повреждён: длина заголовка 20 меньше 33"},
        {"header length far past the end", [] { return patched16(good(), 8, 65535); },
         " повреждён: длина заголовка 65535 больше длины файла 128"},
        {"header length cuts a descriptor", with([](DbfBytes& b) { b.headerLengthOverride = 74; }),
         " повреждён: длина заголовка 74 обрезает описание поля 2"},
        {"header length leaves out the terminator",
         with([](DbfBytes& b) { b.headerLengthOverride = 65; }),
         " повреждён: список полей не закрыт байтом 0x0D в пределах длины заголовка 65"},
        {"terminator missing", with([](DbfBytes& b) { b.terminator = false; }),
         " повреждён: список полей не закрыт байтом 0x0D в пределах длины заголовка 97"},
        {"zero fields", with([](DbfBytes& b) { b.fields.clear(); }),
         " не является таблицей dBase: нет ни одного поля"},
        {"record length 0", with([](DbfBytes& b) { b.recordLengthOverride = 0; }),
         " повреждён: длина записи 0, а флаг удаления и поля занимают 10"},
        {"record length shorter than the fields",
         with([](DbfBytes& b) { b.recordLengthOverride = 5; }),
         " повреждён: длина записи 5, а флаг удаления и поля занимают 10"},
        {"record length longer than the fields", with([](DbfBytes& b) {
             b.recordLengthOverride = 12;
             b.records = {" abcd  1.5XX", " efgh  2.5YY", " ijkl  3.5ZZ"};
         }),
         " повреждён: длина записи 12, а флаг удаления и поля занимают 10"},
        {"text field of length 0", with([](DbfBytes& b) {
             b.fields[0].length = 0;
             b.recordLengthOverride = 10;
         }),
         " повреждён: текстовое поле NAME длины 0 (допустимо от 1 до 254)"},
        {"text longer than 254 in two length bytes", with([](DbfBytes& b) {
             b.fields[0] = {"NAME", 'C', 300 - 256, 1};
             b.recordLengthOverride = 1 + 300 + 5;
         }),
         " повреждён: текстовое поле NAME длиной 300 длиннее 254 знаков"},
        {"unknown type letter", with([](DbfBytes& b) { b.fields[1].type = 'Z'; }),
         " повреждён: поле N неподдерживаемого типа 'Z'"},
        {"number longer than 20", with([](DbfBytes& b) { b.fields[1].length = 21; }),
         " повреждён: числовое поле N длины 21 (допустимо от 1 до 20)"},
        {"more decimals than the length allows",
         with([](DbfBytes& b) { b.fields[1].decimals = 9; }),
         " повреждён: у числового поля N длины 5 не может быть 9 знаков после запятой"},
        {"logical of length 5", with([](DbfBytes& b) { b.fields[1].type = 'L'; }),
         " повреждён: логическое поле N длины 5 (должна быть 1)"},
        {"date of length 5", with([](DbfBytes& b) { b.fields[1].type = 'D'; }),
         " повреждён: поле даты N длины 5 (должна быть 8)"},
        {"field without a name", with([](DbfBytes& b) { b.fields[1].name = "  "; }),
         " повреждён: у поля 2 нет имени"},
    };
}

struct Sound {
    const char* name;
    std::function<std::string()> bytes;
    size_t records;
};

} // namespace

TEST(Malformed, DamagedHeadersAreRefusedAndTheFileIsUntouched) {
    TempDir dir;
    const std::string p = dir.file("case.dbf");
    for (const Damaged& c : damagedHeaders()) {
        const std::string bytes = c.bytes();
        writeFile(p, bytes);
        Table t;
        t.setTableName(p);
        std::string error;
        try {
            t.open();
        } catch (const DbfError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, "Файл " + p + c.message) << c.name;
        EXPECT_FALSE(t.isOpen()) << c.name;
        EXPECT_EQ(readFile(p), bytes) << c.name << ": the file was changed";
    }
}

TEST(Malformed, HarmlessOdditiesReadWhatIsSound) {
    const std::vector<Sound> cases = {
        {"count larger than the file", with([](DbfBytes& b) { b.countOverride = 1000000; }), 3},
        {"count huge and last record cut",
         [] {
             DbfBytes b = good();
             b.countOverride = 0x7FFFFFFF;
             b.eofMark = false;
             return b.bytes().substr(0, b.bytes().size() - 3);
         },
         2},
        {"count smaller than the records", with([](DbfBytes& b) { b.countOverride = 1; }), 1},
        {"no end mark", with([](DbfBytes& b) { b.eofMark = false; }), 3},
        {"a byte after the terminator", with([](DbfBytes& b) { b.headerLengthOverride = 98; }), 3},
        {"a 263-byte backlink after the terminator",
         with([](DbfBytes& b) { b.headerLengthOverride = 97 + 263; }), 3},
        {"stray decimals byte on a text field", with([](DbfBytes& b) { b.fields[0].decimals = 3; }),
         3},
        {"end mark as a deletion flag", with([](DbfBytes& b) { b.records[1][0] = '\x1A'; }), 3},
    };
    TempDir dir;
    for (const Sound& c : cases) {
        const std::string p = dir.file("case.dbf");
        const std::string bytes = c.bytes();
        writeFile(p, bytes);
        const Outcome o = readAll(p);
        EXPECT_TRUE(o.opened) << c.name << ": " << o.error;
        EXPECT_EQ(o.names.size(), c.records) << c.name;
        if (!o.names.empty()) {
            EXPECT_EQ(o.names[0], "abcd") << c.name;
        }
        EXPECT_EQ(readFile(p), bytes) << c.name << ": the file was changed";
    }
}

TEST(Malformed, OddValues) {
    DbfBytes b;
    b.fields = {{"NAME", 'C', 4}, {"N", 'N', 6, 1}, {"L", 'L', 1}};
    b.records = {" abcd12a4.0q", " efgh******?", " ijkl  12,5 ", " mnop-1.5e3 "};
    TempDir dir;
    const std::string p = dir.file("odd.dbf");
    writeFile(p, b.bytes());
    const Outcome o = readAll(p);
    ASSERT_TRUE(o.opened) << o.error;
    // Garbage and overflow stars read as 0; a decimal comma is accepted.
    EXPECT_EQ(o.numbers, (std::vector<double>{0, 0, 12.5, -1500}));
}

TEST(Malformed, DirectoryAndDuplicateNames) {
    TempDir dir;
    EXPECT_FALSE(readAll(dir.path().string()).opened);
    EXPECT_NE(readAll(dir.path().string()).error.find(dir.path().string()), std::string::npos);
    EXPECT_NE(readAll(dir.path().string()).error.find("это папка"), std::string::npos)
        << readAll(dir.path().string()).error;

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
