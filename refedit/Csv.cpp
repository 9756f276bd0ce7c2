#include "refedit/Csv.h"

#include "data/CodePage.h"

namespace vorn {

const char* const Csv::kBom = "\xEF\xBB\xBF";

namespace {

// Upper half of Windows-1251 as Unicode code points (0x98 is unassigned).
constexpr char16_t k1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457};

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

bool Csv::isUtf8(const std::string& bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const int extra = b < 0x80                ? 0
                          : (b & 0xE0) == 0xC0 ? 1
                          : (b & 0xF0) == 0xE0 ? 2
                          : (b & 0xF8) == 0xF0 ? 3
                                               : -1;
        if (extra < 0 || (extra == 1 && b < 0xC2) || i + static_cast<size_t>(extra) >= bytes.size())
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

std::string Csv::fromCp1251(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c >= 0xC0)
            CodePage::appendCodePoint(out, c == 0xFF ? 0x044F : 0x0410 + (c - 0xC0));
        else
            CodePage::appendCodePoint(out, k1251[c - 0x80]);
    }
    return out;
}

Sheet Csv::read(const std::string& bytes) {
    std::string text;
    if (bytes.compare(0, 3, kBom) == 0)
        text = bytes.substr(3);
    else if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                   (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        throw RefusedFile("файл в кодировке UTF-16: сохраните его как CSV в UTF-8");
    else if (isUtf8(bytes))
        text = bytes;
    else
        text = fromCp1251(bytes);

    const char sep = separatorOf(text);
    Sheet sheet;
    SheetRow row;
    std::string cell;
    int line = 1;      // line of the row being read
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
