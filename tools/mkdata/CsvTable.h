#pragma once
// A small reader for the reference CSV files: UTF-8, a header row, comma separator,
// double-quoted cells may hold commas and doubled quotes.
#include <string>
#include <vector>

namespace vorn {

class CsvTable {
public:
    // Throws std::runtime_error naming the file and line on a read or shape error.
    static CsvTable load(const std::string& path);
    static CsvTable parse(const std::string& text, const std::string& origin);

    const std::string& origin() const { return origin_; }
    const std::vector<std::string>& header() const { return header_; }
    size_t rowCount() const { return rows_.size(); }
    // Cell by row and column name; throws when the column is missing.
    const std::string& cell(size_t row, const std::string& column) const;
    // Cell as a number; throws naming the file, row and column when it is not one.
    double number(size_t row, const std::string& column) const;
    int lineOf(size_t row) const { return lines_[row]; }

private:
    std::string origin_;
    std::vector<std::string> header_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<int> lines_;
};

} // namespace vorn
