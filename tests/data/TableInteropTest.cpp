// Files we write read back the same in standard dBase tools, and files those tools write
// read correctly here. Skipped where the tools are not installed.
#include "DbfBytes.h"
#include "data/Table.h"

#include <array>
#include <gtest/gtest.h>

using namespace vorn;
using namespace vorn::test;

namespace {

const char kPython[] = "/usr/bin/python3";

std::string run(const std::string& cmd, int* status = nullptr) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        out.append(buf.data(), n);
    const int rc = pclose(p);
    if (status)
        *status = rc;
    return out;
}

bool hasPythonModule(const char* module) {
    if (access(kPython, X_OK) != 0)
        return false;
    int rc = -1;
    run(std::string(kPython) + " -c 'import " + module + "' 2>/dev/null", &rc);
    return rc == 0;
}

std::string python(const std::string& script) {
    return run(std::string(kPython) + " - <<'PYEOF'\n" + script + "\nPYEOF\n");
}

} // namespace

TEST(Interop, DbfreadReadsWhatWeWrite) {
    if (!hasPythonModule("dbfread"))
        GTEST_SKIP() << "python3-dbfread is not installed";
    DbfBytes b;
    b.fields = {
        {"NAME", 'C', 10}, {"QTY", 'N', 8, 2}, {"CNT", 'N', 5}, {"OK", 'L', 1}, {"DT", 'D', 8}};
    b.records = {" " + utf8ToCp866("Мясные    ") + "    1.50   10T20240131",
                 " " + utf8ToCp866("Рыба      ") + "    2.00   20F        ",
                 " " + utf8ToCp866("Молоко    ") + "    3.00   30T20230101"};
    TempDir dir;
    const std::string p = dir.file("t.dbf");
    writeFile(p, b.bytes());
    {
        Table t;
        t.setTableName(p);
        t.open();
        t.edit();
        t.setValue("NAME", Value("Ёлки"));
        t.setValue("QTY", Value(-12.345));
        t.post();
        t.next();
        t.deleteRecord();
        t.append();
        t.setValue("NAME", Value("Хранение"));
        t.setValue("CNT", Value(7));
        t.setValue("OK", Value(true));
        t.setValue("DT", Value(Date{2025, 12, 31}));
        t.post();
        t.close();
    }
    const std::string out =
        python("from dbfread import DBF\n"
               "t = DBF('" +
               p +
               "', encoding='cp866', char_decode_errors='strict')\n"
               "for r in t: print(r['NAME'], r['QTY'], r['CNT'], r['OK'], r['DT'])\n"
               "print('deleted', [r['NAME'] for r in t.deleted])\n"
               "import os; print(os.path.getsize('" +
               p + "') == t.header.headerlen + 4 * t.header.recordlen + 1, len(t))");
    EXPECT_EQ(out, "Ёлки -12.35 10 True 2024-01-31\n"
                   "Молоко 3.0 30 True 2023-01-01\n"
                   "Хранение None 7 True 2025-12-31\n"
                   "deleted ['Рыба']\n"
                   "True 3\n");
}

TEST(Interop, WeReadWhatPythonDbfWrites) {
    if (!hasPythonModule("dbf"))
        GTEST_SKIP() << "python3-dbf is not installed";
    TempDir dir;
    const std::string p = dir.file("py.dbf");
    python("import dbf, datetime\n"
           "t = dbf.Table('" +
           p +
           "', 'NAME C(20); QTY N(8,2); CNT N(5,0); OK L; DT D', "
           "dbf_type='db3', codepage='cp866')\n"
           "t.open(dbf.READ_WRITE)\n"
           "t.append(('Мясные Ёж', 12.5, 42, True, datetime.date(2024, 2, 29)))\n"
           "t.append(('Рыба', -0.25, -7, False, None))\n"
           "t.append(('gone', 1, 1, True, None))\n"
           "t.append(('', None, None, None, None))\n"
           "dbf.delete(t[2])\n"
           "t.close()\n");
    Table t;
    t.setTableName(p);
    ASSERT_NO_THROW(t.open());
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.value("NAME"), Value("Мясные Ёж"));
    EXPECT_EQ(t.value("QTY"), Value(12.5));
    EXPECT_EQ(t.value("CNT"), Value(42));
    EXPECT_EQ(t.field(2).kind, FieldKind::Int);
    EXPECT_EQ(t.value("OK"), Value(true));
    EXPECT_EQ(t.value("DT"), Value(Date{2024, 2, 29}));
    t.next();
    EXPECT_EQ(t.value("QTY"), Value(-0.25));
    EXPECT_EQ(t.value("CNT"), Value(-7));
    EXPECT_EQ(t.value("OK"), Value(false));
    EXPECT_TRUE(t.value("DT").isNull());
    t.next();
    EXPECT_TRUE(t.value("NAME").isNull());
    EXPECT_EQ(t.value("QTY"), Value(0.0));
    EXPECT_EQ(t.value("OK"), Value(false)); // '?' is not true
    EXPECT_TRUE(t.locate("NAME", Value("МЯСНЫЕ ЁЖ")));
}
