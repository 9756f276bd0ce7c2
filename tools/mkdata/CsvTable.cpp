#include "CsvTable.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vorn {

namespace {

// Splits one record; `pos` advances past its line end. Quoted cells may span lines.
std::vector<std::string> readRecord(const std::string& text, size_t& pos, int& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    while (pos < text.size()) {
        char c = text[pos++];
        if (quoted) {
            if (c == '"') {
                if (pos < text.size() && text[pos] == '"') {
                    cells.back() += '"';
                    ++pos;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n')
                    ++line;
                cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else if (c == '\n') {
            ++line;
            break;
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    return cells;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

} // namespace

CsvTable CsvTable::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": cannot open");
    std::ostringstream ss;
    ss << in.rdbuf();
    return parse(ss.str(), path);
}

CsvTable CsvTable::parse(const std::string& input, const std::string& origin) {
    CsvTable t;
    t.origin_ = origin;
    std::string text = input;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) // byte-order mark
        text.erase(0, 3);
    size_t pos = 0;
    int line = 1;
    bool first = true;
    while (pos < text.size()) {
        const int startLine = line;
        std::vector<std::string> cells = readRecord(text, pos, line);
        if (cells.size() == 1 && trim(cells[0]).empty())
            continue; // blank line
        for (std::string& c : cells)
            c = trim(c);
        if (first) {
            t.header_ = cells;
            first = false;
            continue;
        }
        if (cells.size() != t.header_.size())
            throw std::runtime_error(origin + ":" + std::to_string(startLine) + ": " +
                                     std::to_string(cells.size()) + " cells, header has " +
                                     std::to_string(t.header_.size()));
        t.rows_.push_back(std::move(cells));
        t.lines_.push_back(startLine);
    }
    if (first)
        throw std::runtime_error(origin + ": no header row");
    return t;
}

const std::string& CsvTable::cell(size_t row, const std::string& column) const {
    for (size_t i = 0; i < header_.size(); ++i)
        if (header_[i] == column)
            return rows_.at(row)[i];
    throw std::runtime_error(origin_ + ": no column " + column);
}

double CsvTable::number(size_t row, const std::string& column) const {
    const std::string& s = cell(row, column);
    char* end = nullptr;
    double d = s.empty() ? 0 : std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size())
        throw std::runtime_error(origin_ + ":" + std::to_string(lines_[row]) + ": column " +
                                 column + " is not a number: '" + s + "'");
    return d;
}

} // namespace vorn
