// Export and import of the reference tables: round trips, files written by other programs,
// refused files, and the command line.
#include "RefFixture.h"
#include "app/cli/Commands.h"
#include "refedit/Csv.h"
#include "refedit/TableTransfer.h"
#include "refedit/ValueCheck.h"
#include "refedit/Xlsx.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

using namespace vorn;
using namespace vorn::test;

namespace {

const char kPython[] = "/usr/bin/python3";

bool hasPythonModule(const char* module) {
    if (!std::filesystem::exists(kPython))
        return false;
    const std::string cmd = std::string(kPython) + " -c 'import " + module + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
}

void python(const std::string& script) {
    const std::string cmd = std::string(kPython) + " - <<'PYEOF'\n" + script + "\nPYEOF\n";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << script;
}

struct Cli {
    int status;
    std::string out, err;
};

Cli table(const DataCopy& d, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    CliContext ctx{"", d.data(), out, err};
    std::vector<std::string> line{"table"};
    line.insert(line.end(), args.begin(), args.end());
    const int status = runSubcommand(ctx, line);
    return {status, out.str(), err.str()};
}

std::string tablePath(const DataCopy& d, const char* name) {
    return d.data() + "/" + findRefTable(name)->file;
}

// The rows of a table as "A|B|C" lines, numbers as the grid shows them.
std::string dump(const DataCopy& d, const char* name) {
    auto t = TableTransfer::open(d.data(), *findRefTable(name));
    std::string out;
    for (t->first(); !t->eof(); t->next()) {
        for (int i = 0; i < t->fieldCount(); ++i)
            out += (i ? "|" : "") + formatValue(t->field(i), t->value(t->field(i).name), '.');
        out += "\n";
    }
    return out;
}

} // namespace

// Every table, through both formats: export then import leaves the file as it was, apart
// from the header's date.
TEST(Transfer, RoundTripLeavesEveryTableAsItWas) {
    DataCopy d;
    // a price list with rows, so that it is not an empty round trip
    writeFile(d.file("p.csv"), "ARTICLE;NAME;PRICE\nАГП-010Н;Агрегат 1;120 500,50\nНМ-1;;0\n");
    ASSERT_EQ(table(d, {"import", "prices", d.file("p.csv")}).status, 0);
    // a one-column table whose names hold commas and quotes
    writeFile(d.file("e.csv"), "NAME\nИванов, И.И.\n\"Петров \"\"ст.\"\"\"\n");
    ASSERT_EQ(table(d, {"import", "s_isp", d.file("e.csv")}).status, 0);
    EXPECT_EQ(dump(d, "s_isp"), "Иванов, И.И.\nПетров \"ст.\"\n");
    for (const RefTableDesc& desc : refTables()) {
        for (const char* ext : {".csv", ".xlsx"}) {
            SCOPED_TRACE(desc.name + ext);
            if (std::string(ext) == ".xlsx" && !Xlsx::available())
                continue;
            const std::string before = readFile(d.data() + "/" + desc.file);
            const std::string file = d.file(desc.name + ext);
            ASSERT_EQ(table(d, {"export", desc.name, "-o", file}).status, 0);
            const Cli in = table(d, {"import", desc.name, file});
            ASSERT_EQ(in.status, 0) << in.err;
            EXPECT_EQ(withoutDate(readFile(d.data() + "/" + desc.file)), withoutDate(before));
        }
    }
    const std::string csv = readFile(d.file("prices.csv"));
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(csv.find("ARTICLE;NAME;PRICE\r\n"), std::string::npos);
    EXPECT_NE(csv.find("АГП-010Н;Агрегат 1;120500,50\r\n"), std::string::npos);
}

TEST(Transfer, ReadsWhatPythonCsvWrites) {
    if (!hasPythonModule("csv"))
        GTEST_SKIP() << "python3 is not installed";
    DataCopy d;
    // "," between fields and decimal points; Windows-1251 text; a quoted field with a comma
    python("import csv\n"
           "with open('" +
           d.file("comma.csv") +
           "', 'w', newline='', encoding='utf-8') as f:\n"
           "    w = csv.writer(f)\n"
           "    w.writerow(['NAIM', 'SP'])\n"
           "    w.writerow(['Ящик, дерево', 2.5])\n"
           "    w.writerow(['Плёнка «ПЭ»', 1.9])\n"
           "with open('" +
           d.file("win.csv") +
           "', 'w', newline='', encoding='cp1251') as f:\n"
           "    w = csv.writer(f, delimiter=';')\n"
           "    w.writerow(['Тара', 'Теплоемкость, кДж/(кг·К)'])\n"
           "    w.writerow(['Ящик', '1,5'])\n");
    ASSERT_EQ(table(d, {"import", "S_TARA", d.file("comma.csv")}).status, 0);
    EXPECT_EQ(dump(d, "s_tara"), "Ящик, дерево|2.50\nПлёнка \"ПЭ\"|1.90\n");
    ASSERT_EQ(table(d, {"import", "s_tara", d.file("win.csv"), "--append"}).status, 0);
    EXPECT_EQ(dump(d, "s_tara"), "Ящик, дерево|2.50\nПлёнка \"ПЭ\"|1.90\nЯщик|1.50\n");
}

TEST(Transfer, ReadsWhatOpenpyxlWrites) {
    if (!Xlsx::available() || !hasPythonModule("openpyxl"))
        GTEST_SKIP() << "python3-openpyxl is not installed";
    DataCopy d;
    // numbers, shared strings, an inline string, an article typed as a number, a gap row,
    // columns in another order and named by their captions
    python("import openpyxl\n"
           "wb = openpyxl.Workbook()\n"
           "ws = wb.active\n"
           "ws.append(['Цена, руб.', 'Артикул', 'Наименование'])\n"
           "ws.append([1250.5, 'ВО-011-7', 'Воздухоохладитель'])\n"
           "ws.append([99, 100234, None])\n"
           "ws.append([])\n"
           "ws.append([0.1 + 0.2, 'ШУ-1ф-6А', 'Шкаф управления'])\n"
           "wb.save('" +
           d.file("prices.xlsx") + "')\n");
    const Cli r = table(d, {"import", "prices", d.file("prices.xlsx")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dump(d, "prices"),
              "ВО-011-7|Воздухоохладитель|1250.50\n100234||99.00\nШУ-1ф-6А|Шкаф управления|0.30\n");
}

// A workbook as other writers make it: inline strings, prefixed element names, cells
// without references, no shared strings at all.
TEST(Transfer, ReadsInlineStrings) {
    if (!Xlsx::available() || !hasPythonModule("zipfile"))
        GTEST_SKIP() << "no XLSX in this build, or no python3";
    DataCopy d;
    python(
        "import zipfile\n"
        "ns = 'xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" '\\\n"
        "     'xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"'\n"
        "def s(t): return '<x:c t=\"inlineStr\"><x:is><x:t>' + t + '</x:t></x:is></x:c>'\n"
        "with zipfile.ZipFile('" +
        d.file("inline.xlsx") +
        "', 'w') as z:\n"
        "    z.writestr('xl/workbook.xml', '<x:workbook ' + ns + '><x:sheets>'\n"
        "        '<x:sheet name=\"A\" sheetId=\"1\" r:id=\"rId7\"/></x:sheets></x:workbook>')\n"
        "    z.writestr('xl/_rels/workbook.xml.rels', '<Relationships xmlns=\"http://schemas.'\n"
        "        'openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId7\" '\n"
        "        'Type=\"x/worksheet\" Target=\"/xl/worksheets/data.xml\"/></Relationships>')\n"
        "    z.writestr('xl/worksheets/data.xml', '<x:worksheet ' + ns + '><x:sheetData>'\n"
        "        '<x:row>' + s('NAIM') + s('SP') + '</x:row>'\n"
        "        '<x:row>' + s('Мешок') + '<x:c><x:v>1.25</x:v></x:c></x:row>'\n"
        "        '</x:sheetData></x:worksheet>')\n");
    const Cli r = table(d, {"import", "s_tara", d.file("inline.xlsx")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dump(d, "s_tara"), "Мешок|1.25\n");
    // values a workbook holds that are no text or number: refused naming row and field
    python("import zipfile\n"
           "ns = 'xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"'\n"
           "with zipfile.ZipFile('" +
           d.file("formula.xlsx") +
           "', 'w') as z:\n"
           "    z.writestr('xl/workbook.xml', '<workbook ' + ns + '><sheets>'\n"
           "        '<sheet name=\"A\" sheetId=\"1\"/></sheets></workbook>')\n"
           "    z.writestr('xl/worksheets/sheet1.xml', '<worksheet ' + ns + '><sheetData>'\n"
           "        '<row><c t=\"inlineStr\"><is><t>NAIM</t></is></c><c "
           "t=\"inlineStr\"><is><t>SP</t>'\n"
           "        '</is></c></row><row><c t=\"b\"><v>1</v></c><c><f>A1*2</f></c></row>'\n"
           "        '</sheetData></worksheet>')\n");
    const Cli f = table(d, {"import", "s_tara", d.file("formula.xlsx")});
    EXPECT_EQ(f.status, 2);
    EXPECT_NE(f.err.find("строка 2, поле NAIM: логическое значение"), std::string::npos) << f.err;
    EXPECT_NE(f.err.find("строка 2, поле SP: формула без вычисленного значения: откройте и "
                         "сохраните файл в Excel"),
              std::string::npos)
        << f.err;
    writeFile(d.file("junk.xlsx"), "not a workbook");
    EXPECT_EQ(table(d, {"import", "s_tara", d.file("junk.xlsx")}).status, 1);
}

// One bad value refuses the whole file: the table keeps every byte, and each fault is
// named by its line and column.
TEST(Transfer, BadFileRefusedWhole) {
    struct Case {
        const char* table;
        const char* csv;
        const char* message;
    };
    const Case cases[] = {
        {"s_mater", "M_NAIM;M_KTP\nКирпич;0,8\nБетон;abc\n",
         "строка 3, поле M_KTP: «abc» — не число"},
        {"s_mater", "M_NAIM;M_KTP\nКирпич;0\n",
         "строка 2, поле M_KTP: значение должно быть больше 0"},
        {"s_mater", "M_NAIM;M_KTP\nКирпич;123456789\n", "не помещается в поле"},
        {"s_mater", "M_NAIM;M_KTP\nКирпич;0,5\nкирпич;0,6\n",
         "строка 3, поле M_NAIM: «кирпич» уже есть в строке 2"},
        {"s_mater", "M_NAIM;M_KTP\nОчень длинное название стены;0,5\n",
         "строка 2, поле M_NAIM: текст длиннее 20 знаков"},
        {"s_mater", "M_NAIM;M_KTP\n;0,5\n", "строка 2, поле M_NAIM: имя не задано"},
        {"s_mater", "M_NAIM;M_KTP;COLOR\nКирпич;0,5;red\n",
         "строка 1, поле COLOR: такого столбца в таблице нет"},
        {"s_mater", "M_NAIM\nКирпич\n", "строка 1, поле M_KTP: нет обязательного столбца"},
        {"s_mater", "M_NAIM;M_KTP\n\"Кирпич ☺\";0,5\n", "Знак \"☺\""},
        {"s_region", "REG_NAIM;REG_TEM;REG_VLAJ\nДругой;26,5;50\n",
         "поле REG_TEM: нужно целое число"},
        {"s_region", "REG_NAIM;REG_TEM;REG_VLAJ\nДругой;26;150\n",
         "поле REG_VLAJ: значение должно быть не больше 100"},
        {"products", "NAIM;TIP;TZAM;CP1;CP2;LSKR;Q1;Q2;Q3\nСыр;Сыры;-1;1;1;1;0;0;0\n",
         "строка 2, поле TIP: допустимые значения: Мясные"},
        {"s_isp", "NAME\n\"Иванов\n", "кавычка не закрыта"},
        {"s_isp", "", "файл пуст"},
        {"s_isp", "NAME\n", "строка 2: в файле нет ни одной строки данных"},
        {"s_mater", "M_NAIM;M_KTP\nКирпич;0,8\nБетон\n", "строка 3, поле M_KTP: значения нет"},
        {"s_mater", "M_NAIM;M_KTP\nКирпич;-2,2345\n",
         "строка 2, поле M_KTP: в числе -2,2345 больше знаков после запятой"},
        {"prices", "ARTICLE;NAME;PRICE\nА-1;x;1\nа-1;y;2\n",
         "строка 3, поле ARTICLE: «а-1» уже есть в строке 2"},
        {"kat12", nullptr, "строка 2, поле SIS: имя длиннее 6 знаков"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv ? c.csv : c.table);
        DataCopy d;
        if (c.csv) {
            writeFile(d.file("bad.csv"), c.csv);
        } else {
            // the table's own export with the first row's key one character longer
            ASSERT_EQ(table(d, {"export", c.table, "-o", d.file("bad.csv")}).status, 0);
            std::string csv = readFile(d.file("bad.csv"));
            csv.insert(csv.find(';', csv.find('\n')), "B");
            writeFile(d.file("bad.csv"), csv);
        }
        const std::string before = readFile(tablePath(d, c.table));
        const Cli r = table(d, {"import", c.table, d.file("bad.csv")});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(readFile(tablePath(d, c.table)), before);
    }
}

TEST(Transfer, CommandLine) {
    DataCopy d;
    const Cli list = table(d, {"list", "--json"});
    ASSERT_EQ(list.status, 0);
    const auto j = nlohmann::json::parse(list.out);
    ASSERT_EQ(j.size(), refTables().size());
    EXPECT_EQ(j[3]["name"], "products");
    EXPECT_EQ(j[3]["caption"], "Продукты");
    EXPECT_EQ(j.back()["file"], "prices.dbf");
    EXPECT_EQ(j.back()["rows"], 0);
    // a data folder from before the price list gets an empty one
    std::filesystem::remove(tablePath(d, "prices"));
    EXPECT_EQ(table(d, {"list"}).status, 0);
    EXPECT_EQ(dump(d, "prices"), "");

    writeFile(d.file("m.csv"), "Материал;Теплопроводность, Вт/(м·К)\nКирпич;0,81\n");
    const std::string before = readFile(tablePath(d, "s_mater"));
    const Cli dry = table(d, {"import", "s_mater", d.file("m.csv"), "--dry-run"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_NE(dry.out.find("проверено строк: 1"), std::string::npos);
    EXPECT_EQ(readFile(tablePath(d, "s_mater")), before);

    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {{"export", "nosuch", "-o", d.file("x.csv")}, 2, "нет такой таблицы"},
        {{"export", "products", "-o", d.file("x.txt")}, 2, "нужен файл .csv или .xlsx"},
        {{"export", "products", "-o", d.file("no/such/dir/x.csv")}, 1, "не записан"},
        {{"import", "products", d.file("missing.csv")}, 1, "файла нет"},
        {{"import", "products"}, 2, ""},
        {{"list", "--data", d.file("nodata")}, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const Cli r = table(d, c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(d.file("x.txt")));

    // the part an export killed before its rename left is taken over, not added to
    writeFile(d.file("s.csv.part"), "half");
    ASSERT_EQ(table(d, {"export", "s_tara", "-o", d.file("s.csv")}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(d.file("s.csv.part")));
    EXPECT_NE(readFile(d.file("s.csv")).find("NAIM"), std::string::npos);
}

// The checks one typed value passes.
TEST(Transfer, ValueChecks) {
    const FieldInfo n83{"M_KTP", 'N', 8, 3, FieldKind::Float};
    const FieldInfo n50{"Q25", 'N', 5, 0, FieldKind::Int};
    const FieldInfo c10{"NAME", 'C', 10, 0, FieldKind::Text};
    const struct {
        const FieldInfo* field;
        const char* text;
        const char* stored; // formatted with '.', or the error's beginning
        bool ok;
    } cases[] = {
        {&n83, "0,02561", "в числе 0,02561 больше знаков после запятой", false},
        {&n83, "-2,2500", "-2.250", true},
        {&n83, " 1 234,5 ", "1234.500", true},
        {&n83, "1,234.5", "«1,234.5» — не число", false},
        {&n83, "", "", true},
        {&n50, "12345", "12345", true},
        {&n50, "123456", "число 123456 не помещается", false},
        {&n50, "2,5", "нужно целое число", false},
        {&n50, "1e3", "1000", true},
        {&c10, "«Ёлка» – 2", "\"Ёлка\" - 2", true},
        {&c10, "abcdefghijk", "текст длиннее 10", false},
        {&c10, "€", "Знак \"€\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CellCheck r = checkCell(*c.field, nullptr, {c.text, false});
        EXPECT_EQ(r.ok(), c.ok) << r.error;
        if (c.ok) {
            EXPECT_EQ(formatValue(*c.field, r.value, '.'), c.stored);
        } else {
            EXPECT_EQ(r.error.rfind(c.stored, 0), 0u) << r.error;
        }
    }
}

// How CSV text is split: separators, quotes, line ends, blank lines and their numbers,
// the code page.
TEST(Transfer, CsvReading) {
    const struct {
        std::string bytes;
        const char* rows; // "line:cell|cell" per row
    } cases[] = {
        {"\xEF\xBB\xBF"
         "A;B\r\n1,5;\"x;y\"\r\n",
         "1:A|B 2:1,5|x;y"},
        {"A,B\n1.5,\"x,\"\"y\"\"\"\n", "1:A|B 2:1.5|x,\"y\""},
        {"A\tB\n1\t2\n", "1:A|B 2:1|2"},
        {"A;B\n\n;\n3;4", "1:A|B 4:3|4"},
        {"A;B\n\"two\nlines\";5\n6;7\n", "1:A|B 2:two\nlines|5 3:6|7"},
        {"\xCD\xE0\xE8\xEC;B\n\xDF\xF9\xE8\xEA;1\n", "1:Наим|B 2:Ящик|1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::string got;
        for (const SheetRow& r : Csv::read(c.bytes)) {
            got += (got.empty() ? "" : " ") + std::to_string(r.line) + ":";
            for (size_t i = 0; i < r.cells.size(); ++i)
                got += (i ? "|" : "") + r.cells[i].text;
        }
        EXPECT_EQ(got, c.rows);
    }
    EXPECT_THROW(Csv::read("\xFF\xFEN\0A\0"), RefusedFile);
}
