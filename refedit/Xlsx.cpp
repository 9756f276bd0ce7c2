#include "refedit/Xlsx.h"

#ifdef VORN_WITH_XLSX

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <pugixml.hpp>
#include <xlsxwriter.h>
#include <zip.h>

namespace vorn {

bool Xlsx::available() {
    return true;
}

namespace {

// No part of a reference table's workbook comes near this; a larger one is refused rather
// than unpacked into memory.
constexpr zip_uint64_t kMaxPart = 64u << 20;
// More columns than any table has fields (a DBF holds at most 255).
constexpr int kMaxColumns = 256;

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// The part's bytes, or false when the workbook has no such part.
bool readPart(zip_t* z, const std::string& name, std::string& out) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(z, name.c_str(), 0, &st) != 0)
        return false;
    if (!(st.valid & ZIP_STAT_SIZE) || st.size > kMaxPart)
        throw TransferError("часть " + name + " книги слишком велика");
    zip_file_t* f = zip_fopen(z, name.c_str(), 0);
    if (!f)
        throw TransferError("часть " + name + " книги не читается");
    out.assign(static_cast<size_t>(st.size), '\0');
    const zip_int64_t got = zip_fread(f, out.data(), st.size);
    zip_fclose(f);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size)
        throw TransferError("часть " + name + " книги повреждена");
    return true;
}

pugi::xml_document parsePart(zip_t* z, const std::string& name, bool required) {
    pugi::xml_document doc;
    std::string bytes;
    if (!readPart(z, name, bytes)) {
        if (required)
            throw TransferError("в книге нет части " + name);
        return doc;
    }
    if (!doc.load_buffer(bytes.data(), bytes.size()))
        throw TransferError("часть " + name + " книги повреждена");
    return doc;
}

// Element names compared without their namespace prefix ("x:row" is a row).
bool named(const pugi::xml_node& n, const char* local) {
    const char* name = n.name();
    const char* colon = std::strrchr(name, ':');
    return std::strcmp(colon ? colon + 1 : name, local) == 0;
}

pugi::xml_node child(const pugi::xml_node& n, const char* local) {
    for (pugi::xml_node c : n.children())
        if (named(c, local))
            return c;
    return {};
}

// All text of a string item: its <t>, or the <t> of each rich-text run (not the phonetic
// runs).
std::string itemText(const pugi::xml_node& si) {
    std::string out;
    for (pugi::xml_node c : si.children()) {
        if (named(c, "t"))
            out += c.text().get();
        else if (named(c, "r"))
            out += child(c, "t").text().get();
    }
    return out;
}

// "xl/" + target, or the target itself when it is absolute in the package.
std::string partPath(const std::string& target) {
    if (!target.empty() && target[0] == '/')
        return target.substr(1);
    return "xl/" + target;
}

// The first sheet's part and the shared strings' part, from the workbook's relationships.
void locateParts(zip_t* z, std::string& sheet, std::string& strings) {
    sheet = "xl/worksheets/sheet1.xml";
    strings = "xl/sharedStrings.xml";
    const pugi::xml_document book = parsePart(z, "xl/workbook.xml", true);
    const pugi::xml_document rels = parsePart(z, "xl/_rels/workbook.xml.rels", false);
    std::string firstId;
    const pugi::xml_node first = child(child(book.first_child(), "sheets"), "sheet");
    for (pugi::xml_attribute a : first.attributes()) {
        const char* colon = std::strrchr(a.name(), ':');
        if (colon && std::strcmp(colon + 1, "id") == 0)
            firstId = a.value();
    }
    for (pugi::xml_node r : rels.first_child().children()) {
        if (!named(r, "Relationship"))
            continue;
        const std::string type = r.attribute("Type").value();
        if (!firstId.empty() && firstId == r.attribute("Id").value())
            sheet = partPath(r.attribute("Target").value());
        else if (type.size() >= 14 && type.compare(type.size() - 14, 14, "/sharedStrings") == 0)
            strings = partPath(r.attribute("Target").value());
    }
}

// Column number (0-based) of a cell reference such as "AB12"; -1 when it names none.
int columnOf(const char* ref) {
    int col = 0;
    bool any = false;
    for (; *ref >= 'A' && *ref <= 'Z'; ++ref) {
        col = col * 26 + (*ref - 'A' + 1);
        any = true;
        if (col > 16384)
            return 16384; // past the last column a sheet may have
    }
    return any ? col - 1 : -1;
}

} // namespace

Sheet Xlsx::read(const std::string& path) {
    int err = 0;
    Zip z(zip_open(path.c_str(), ZIP_RDONLY, &err));
    if (!z) {
        std::string why = "книга не читается (ошибка архива " + std::to_string(err) + ")";
        if (err == ZIP_ER_NOZIP || err == ZIP_ER_INCONS)
            why = "это не книга Excel (XLSX)";
        else if (err == ZIP_ER_NOENT || err == ZIP_ER_OPEN || err == ZIP_ER_READ)
            why = "файл не открывается для чтения";
        throw TransferError(path + ": " + why);
    }
    std::string sheetPart, stringsPart;
    locateParts(z.get(), sheetPart, stringsPart);

    std::vector<std::string> shared;
    const pugi::xml_document sst = parsePart(z.get(), stringsPart, false);
    for (pugi::xml_node si : sst.first_child().children())
        if (named(si, "si"))
            shared.push_back(itemText(si));

    const pugi::xml_document doc = parsePart(z.get(), sheetPart, true);
    Sheet sheet;
    int lastLine = 0;
    for (pugi::xml_node row : child(doc.first_child(), "sheetData").children()) {
        if (!named(row, "row"))
            continue;
        SheetRow out;
        out.line = row.attribute("r").as_int(lastLine + 1);
        lastLine = out.line;
        bool blank = true;
        int next = 0; // column of a cell that does not name its own
        for (pugi::xml_node c : row.children()) {
            if (!named(c, "c"))
                continue;
            int col = columnOf(c.attribute("r").value());
            if (col < 0)
                col = next;
            next = col + 1;
            SheetCell cell;
            const std::string type = c.attribute("t").value();
            const std::string v = child(c, "v").text().get();
            if (type == "s") {
                const auto i = static_cast<size_t>(child(c, "v").text().as_uint(~0u));
                if (i >= shared.size())
                    throw RefusedFile("строка " + std::to_string(out.line) +
                                      ": ссылка на строку, которой нет в книге");
                cell.text = shared[i];
            } else if (type == "inlineStr") {
                cell.text = itemText(child(c, "is"));
            } else if (type.empty() || type == "n") {
                cell.text = v;
                cell.number = !v.empty();
            } else if (type == "str") {
                cell.text = v; // a formula's text result
            } else if (type == "b") {
                cell.refusal = "логическое значение (ИСТИНА/ЛОЖЬ), а нужен текст или число";
            } else if (type == "d") {
                cell.refusal = "дата, а нужен текст или число";
            } else {
                cell.refusal = "ошибка в ячейке (" + v + ")";
            }
            // A formula the writer did not compute: its value is not in the file.
            if (v.empty() && type != "inlineStr" && child(c, "f"))
                cell.refusal =
                    "формула без вычисленного значения: откройте и сохраните файл в Excel";
            if (!cell.refusal.empty())
                cell.text = "?";
            // Empty cells (formatted but blank, often far to the right) take no room.
            if (cell.text.empty())
                continue;
            if (col >= kMaxColumns)
                throw RefusedFile("строка " + std::to_string(out.line) + ": значение в столбце " +
                                  std::to_string(col + 1) + ", а в таблице не больше " +
                                  std::to_string(kMaxColumns) + " столбцов");
            if (static_cast<size_t>(col) >= out.cells.size())
                out.cells.resize(static_cast<size_t>(col) + 1);
            out.cells[static_cast<size_t>(col)] = std::move(cell);
            blank = false;
        }
        if (!blank)
            sheet.push_back(std::move(out));
    }
    return sheet;
}

namespace {
// The workbook writer's failure in the user's words (its own texts are English).
std::string xlsxWriteError(lxw_error e) {
    switch (e) {
    case LXW_ERROR_CREATING_XLSX_FILE:
        return "файл не создается: нет доступа к папке или файл занят";
    case LXW_ERROR_CREATING_TMPFILE:
        return "не создается временный файл";
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return "не хватает памяти";
    case LXW_ERROR_ZIP_FILE_OPERATION:
        return "ошибка записи на диск";
    default:
        return "ошибка записи книги, код " + std::to_string(static_cast<int>(e));
    }
}
} // namespace

void Xlsx::write(const std::string& path, const std::string& sheetName,
                 const std::vector<Column>& columns,
                 const std::vector<std::vector<std::string>>& rows) {
    lxw_workbook* book = workbook_new(path.c_str());
    if (!book)
        throw TransferError(path + ": книга не создается");
    lxw_worksheet* ws = workbook_add_worksheet(book, sheetName.c_str());
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    std::vector<lxw_format*> formats;
    for (size_t c = 0; c < columns.size(); ++c) {
        const Column& col = columns[c];
        lxw_format* f = nullptr;
        if (col.decimals >= 0) {
            f = workbook_add_format(book);
            const std::string mask =
                col.decimals == 0 ? "0"
                                  : "0." + std::string(static_cast<size_t>(col.decimals), '0');
            format_set_num_format(f, mask.c_str());
        }
        formats.push_back(f);
        if (ws) {
            worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), col.header.c_str(), bold);
            worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 std::max(8, std::min(col.width, 60)) + 1, nullptr);
        }
    }
    if (ws) {
        worksheet_freeze_panes(ws, 1, 0);
        for (size_t r = 0; r < rows.size(); ++r) {
            const auto row = static_cast<lxw_row_t>(r + 1);
            for (size_t c = 0; c < rows[r].size() && c < columns.size(); ++c) {
                const std::string& v = rows[r][c];
                if (v.empty())
                    continue;
                const auto col = static_cast<lxw_col_t>(c);
                double d = 0;
                const auto res = std::from_chars(v.data(), v.data() + v.size(), d);
                if (columns[c].decimals >= 0 && res.ec == std::errc() &&
                    res.ptr == v.data() + v.size())
                    worksheet_write_number(ws, row, col, d, formats[c]);
                else
                    worksheet_write_string(ws, row, col, v.c_str(), nullptr);
            }
        }
    }
    const lxw_error e = workbook_close(book);
    if (!ws || e != LXW_NO_ERROR)
        throw TransferError(path + ": книга не записана (" + xlsxWriteError(e) + ")");
}

} // namespace vorn
#else

namespace vorn {

namespace {
const char* const kNoXlsx = "эта сборка не читает и не пишет XLSX: сохраните таблицу как CSV";
}

bool Xlsx::available() {
    return false;
}

Sheet Xlsx::read(const std::string&) {
    throw TransferError(kNoXlsx);
}

void Xlsx::write(const std::string&, const std::string&, const std::vector<Column>&,
                 const std::vector<std::vector<std::string>>&) {
    throw TransferError(kNoXlsx);
}

} // namespace vorn

#endif
