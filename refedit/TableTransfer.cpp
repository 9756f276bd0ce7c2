#include "refedit/TableTransfer.h"

#include "data/DbfCreate.h"
#include "refedit/Csv.h"
#include "refedit/ValueCheck.h"
#include "refedit/Xlsx.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace vorn {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxCsv = 64u << 20;
// How long an import waits for the table: another import, or a row being edited.
constexpr int kImportWaitMs = 5000;

std::vector<FieldInfo> fieldsOf(const Table& table) {
    std::vector<FieldInfo> out;
    for (int i = 0; i < table.fieldCount(); ++i)
        out.push_back(table.field(i));
    return out;
}

std::string lowerExtension(const std::string& path) {
    std::string ext = fs::u8path(path).extension().u8string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// The temporary file beside path (the final rename stays on one file system). One name
// per target: an export killed before its rename leaves this one file, which the next
// export of the same file replaces, never a heap of them.
std::string temporaryBeside(const std::string& path) {
    return path + ".part";
}

void moveInto(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(fs::u8path(from), fs::u8path(to), ec);
    if (ec) {
        fs::remove(fs::u8path(from), ec);
        throw TransferError(to + ": файл не записан (" + ec.message() + ")");
    }
}

std::string at(int line, const std::string& field, const std::string& what) {
    return "строка " + std::to_string(line) + ", поле " + field + ": " + what;
}

} // namespace

FileKind fileKindOf(const std::string& path) {
    const std::string ext = lowerExtension(path);
    if (ext == ".csv")
        return FileKind::Csv;
    if (ext == ".xlsx")
        return FileKind::Xlsx;
    return FileKind::Unknown;
}

std::unique_ptr<Table> TableTransfer::open(const std::string& dataDir, const RefTableDesc& desc,
                                           bool readOnly) {
    const fs::path path = fs::u8path(dataDir) / fs::u8path(desc.file);
    std::error_code ec;
    if (desc.name == "prices" && fs::is_directory(fs::u8path(dataDir), ec) &&
        !fs::exists(path, ec) && !ec) {
        try {
            createDbf(path.u8string(), priceListLayout(), {});
        } catch (const std::exception&) {
            if (!readOnly)
                throw;
            // a folder that may only be read: the missing price list is an empty one
        }
    }
    auto t = std::make_unique<Table>(desc.name);
    t->setDatabaseName(dataDir);
    t->setTableName(desc.file);
    t->setReadOnly(readOnly);
    t->open();
    return t;
}

void TableTransfer::exportTo(Table& table, const std::string& path) {
    const FileKind kind = fileKindOf(path);
    if (kind == FileKind::Unknown)
        throw TransferError(path + ": нужен файл .csv или .xlsx");
    const std::vector<FieldInfo> fields = fieldsOf(table);
    const char mark = kind == FileKind::Csv ? ',' : '.';
    std::vector<std::string> header;
    for (const FieldInfo& f : fields)
        header.push_back(f.name);
    std::vector<std::vector<std::string>> rows;
    for (table.first(); !table.eof(); table.next()) {
        std::vector<std::string> row;
        for (const FieldInfo& f : fields)
            row.push_back(formatValue(f, table.value(f.name), mark));
        rows.push_back(std::move(row));
    }
    const std::string tmp = temporaryBeside(path);
    if (kind == FileKind::Csv) {
        std::vector<bool> numbers;
        for (const FieldInfo& f : fields)
            numbers.push_back(isNumericField(f));
        std::string text = Csv::kBom + Csv::line(header);
        for (const auto& r : rows)
            text += Csv::line(r, numbers);
        std::ofstream out(fs::u8path(tmp), std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(fs::u8path(tmp), ec);
            throw TransferError(path + ": файл не записан");
        }
    } else {
        std::vector<Xlsx::Column> columns;
        for (const FieldInfo& f : fields)
            columns.push_back({f.name, isNumericField(f) ? f.decimals : -1, f.length});
        try {
            Xlsx::write(tmp, table.objectName().empty() ? "table" : table.objectName(), columns,
                        rows);
        } catch (...) {
            std::error_code ec;
            fs::remove(fs::u8path(tmp), ec);
            throw TransferError(path + ": файл не записан");
        }
    }
    moveInto(tmp, path);
}

Sheet TableTransfer::readFile(const std::string& path) {
    const FileKind kind = fileKindOf(path);
    if (kind == FileKind::Unknown)
        throw TransferError(path + ": нужен файл .csv или .xlsx");
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(path), ec))
        throw TransferError(path + ": файла нет");
    if (kind == FileKind::Xlsx)
        return Xlsx::read(path);
    if (fs::file_size(fs::u8path(path), ec) > kMaxCsv)
        throw TransferError(path + ": файл слишком велик для справочника");
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    if (!in)
        throw TransferError(path + ": файл не читается");
    Sheet sheet = Csv::read(ss.str());
    // A line with fewer values than the header has lost some (a separator missing, a
    // line cut): refused rather than read with the missing cells empty.
    if (!sheet.empty()) {
        const SheetRow& head = sheet.front();
        for (size_t r = 1; r < sheet.size(); ++r)
            if (sheet[r].cells.size() < head.cells.size()) {
                const size_t c = sheet[r].cells.size();
                const std::string name = trimBlanks(head.cells[c].text);
                throw RefusedFile("строка " + std::to_string(sheet[r].line) + ", поле " +
                                  (name.empty() ? "№" + std::to_string(c + 1) : name) +
                                  ": значения нет, в строке " + std::to_string(c) + " из " +
                                  std::to_string(head.cells.size()) + " (строка короче заголовка)");
            }
    }
    return sheet;
}

ImportResult TableTransfer::import(Table& table, const RefTableDesc& desc, const Sheet& sheet,
                                   const ImportOptions& options) {
    ImportResult result;
    const std::vector<FieldInfo> fields = fieldsOf(table);
    if (sheet.empty()) {
        result.errors.push_back("строка 1: файл пуст, нет строки заголовка");
        return result;
    }
    if (sheet.size() == 1) {
        result.errors.push_back("строка " + std::to_string(sheet.front().line + 1) +
                                ": в файле нет ни одной строки данных (очистить таблицу можно "
                                "в окне «Справочники»)");
        return result;
    }
    // The table is locked before it is read: the keys below, the rows written over and
    // the write itself all see one table, and no other writer comes between.
    struct Unlock {
        Table& t;
        ~Unlock() { t.unlockTable(); }
    } unlock{table};
    if (!options.dryRun)
        table.lockTable(kImportWaitMs);

    // The header: field names or captions, any order, each once.
    const SheetRow& head = sheet.front();
    std::vector<int> fieldOfColumn(head.cells.size(), -1);
    std::vector<std::string> nameOfColumn(head.cells.size());
    std::vector<bool> present(fields.size(), false);
    for (size_t c = 0; c < head.cells.size(); ++c) {
        const std::string h = trimBlanks(head.cells[c].text);
        if (h.empty())
            continue;
        nameOfColumn[c] = h;
        int found = -1;
        for (size_t f = 0; f < fields.size() && found < 0; ++f) {
            const RefColumn* col = desc.column(fields[f].name);
            if (equalsIgnoreCase(h, fields[f].name) || (col && equalsIgnoreCase(h, col->caption)))
                found = static_cast<int>(f);
        }
        if (found < 0) {
            result.errors.push_back(at(head.line, h, "такого столбца в таблице нет"));
        } else if (present[static_cast<size_t>(found)]) {
            result.errors.push_back(at(head.line, h, "столбец повторяется"));
        } else {
            present[static_cast<size_t>(found)] = true;
            fieldOfColumn[c] = found;
        }
    }
    for (size_t f = 0; f < fields.size(); ++f) {
        const RefColumn* col = desc.column(fields[f].name);
        const bool isKey = equalsIgnoreCase(fields[f].name, desc.key);
        if (!present[f] && (isKey || (col && !col->optional)))
            result.errors.push_back(at(head.line, fields[f].name,
                                       std::string("нет обязательного столбца") +
                                           (col ? std::string(" («") + col->caption + "»)" : "")));
    }
    if (!result.errors.empty())
        return result;

    // The keys already in the table count when rows are added to it.
    int keyField = -1;
    for (size_t f = 0; f < fields.size(); ++f)
        if (equalsIgnoreCase(fields[f].name, desc.key))
            keyField = static_cast<int>(f);
    std::map<std::string, int> keys; // key -> line (0: a row of the table)
    if (options.append && keyField >= 0)
        for (table.first(); !table.eof(); table.next())
            keys.emplace(keyText(fields[static_cast<size_t>(keyField)],
                                 table.value(fields[static_cast<size_t>(keyField)].name)),
                         0);

    std::vector<std::vector<Value>> rows;
    for (size_t r = 1; r < sheet.size(); ++r) {
        const SheetRow& row = sheet[r];
        std::vector<Value> values(fields.size());
        for (size_t c = 0; c < row.cells.size(); ++c) {
            const SheetCell& cell = row.cells[c];
            if (c >= fieldOfColumn.size() || fieldOfColumn[c] < 0) {
                if (!cell.text.empty())
                    result.errors.push_back("строка " + std::to_string(row.line) + ", столбец " +
                                            std::to_string(c + 1) + ": у столбца нет заголовка");
                continue;
            }
            const auto f = static_cast<size_t>(fieldOfColumn[c]);
            const CellCheck check = checkCell(fields[f], desc.column(fields[f].name), cell,
                                              static_cast<int>(f) == keyField);
            if (!check.ok()) {
                result.errors.push_back(at(row.line, nameOfColumn[c], check.error));
                continue;
            }
            values[f] = check.value;
            if (static_cast<int>(f) == keyField) {
                const auto [it, fresh] = keys.emplace(keyText(fields[f], check.value), row.line);
                if (!fresh)
                    result.errors.push_back(
                        at(row.line, nameOfColumn[c],
                           "«" + check.value.toString() + "» уже есть " +
                               (it->second == 0 ? std::string("в таблице")
                                                : "в строке " + std::to_string(it->second))));
            }
        }
        // a row whose key cell is left out entirely (a short CSV line)
        if (keyField >= 0 && values[static_cast<size_t>(keyField)].isNull()) {
            bool reported = false;
            for (size_t c = 0; c < row.cells.size() && c < fieldOfColumn.size(); ++c)
                reported = reported || fieldOfColumn[c] == keyField;
            if (!reported)
                result.errors.push_back(at(row.line, desc.key, "значение не задано"));
        }
        rows.push_back(std::move(values));
    }
    result.rows = static_cast<int>(rows.size());
    if (!result.errors.empty() || options.dryRun)
        return result;

    // In one write: a crash or a second user leaves the old table or the new one.
    table.writeRows(rows, options.append);
    table.unlockTable();
    table.first();
    result.written = true;
    return result;
}

} // namespace vorn
