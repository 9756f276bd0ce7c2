#include "refedit/Csv.h"

#include "data/CodePage.h"
#include "reports/HeaderLines.h"

namespace vorn {

const char* const Csv::kBom = "\xEF\xBB\xBF";

namespace {

char separatorOf(const std::string& text) {
    // counted on the first line, outside quotes
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted)
            semicolons += c == ';', commas += c == ',', tabs += c == '\t';
    }
    // one column: ";" as Russian spreadsheets write it, so that a comma stays in its text
    if (semicolons >= commas && semicolons >= tabs)
        return ';';
    if (tabs > commas)
        return '\t';
    return ',';
}

} // namespace

Sheet Csv::read(const std::string& bytes) {
    std::string text;
    if (bytes.compare(0, 3, kBom) == 0)
        text = bytes.substr(3);
    else if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                   (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        throw RefusedFile("файл в кодировке UTF-16: сохраните его как CSV в UTF-8");
    else if (HeaderLines::isValidUtf8(bytes))
        text = bytes;
    else
        text = CodePage::toUtf8(bytes, TextCodePage::Cp1251);

    const char sep = separatorOf(text);
    Sheet sheet;
    SheetRow row;
    std::string cell;
    int line = 1; // line of the row being read
    bool quoted = false, wasQuoted = false;
    auto endCell = [&] {
        row.cells.push_back({cell, false});
        cell.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endCell();
        bool blank = true;
        for (const SheetCell& c : row.cells)
            blank = blank && c.text.empty();
        if (!blank) {
            row.line = line;
            sheet.push_back(std::move(row));
        }
        row = SheetRow();
        ++line;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"' && cell.empty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == sep) {
            endCell();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endRow();
        } else {
            cell += c;
        }
    }
    if (quoted)
        throw RefusedFile("строка " + std::to_string(line) + ": кавычка не закрыта до конца файла");
    if (!cell.empty() || !row.cells.empty())
        endRow();
    return sheet;
}

std::string Csv::line(const std::vector<std::string>& cells, const std::vector<bool>& numbers) {
    std::string out;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i)
            out += ';';
        const std::string& c = cells[i];
        const bool number = i < numbers.size() && numbers[i];
        const bool quote = c.find_first_of(number ? ";\"\r\n" : ";,\"\r\n") != std::string::npos ||
                           (!c.empty() && (c.front() == ' ' || c.back() == ' '));
        if (!quote) {
            out += c;
            continue;
        }
        out += '"';
        for (char ch : c) {
            if (ch == '"')
                out += '"';
            out += ch;
        }
        out += '"';
    }
    out += "\r\n";
    return out;
}

} // namespace vorn
