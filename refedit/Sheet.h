#pragma once
// A sheet read from a CSV or XLSX file: its non-empty rows, the header first, each with the
// line the user sees it on (the header is line 1 when the file starts with it).
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vorn {

struct SheetCell {
    SheetCell() = default;
    SheetCell(std::string t, bool isNumber) : text(std::move(t)), number(isNumber) {}

    std::string text;    // UTF-8
    bool number = false; // a spreadsheet number: text is its value with a decimal point
    // Why the value cannot be taken at all (a formula without its value, a logical, a
    // date, an error): said for the cell's row and field.
    std::string refusal;
};

struct SheetRow {
    int line = 0;
    std::vector<SheetCell> cells;
};

using Sheet = std::vector<SheetRow>;

// A file that cannot be read or written (missing, damaged, not a spreadsheet).
class TransferError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that was read but is not a table (a quote never closed, UTF-16 text): refused
// like a file with a bad value.
class RefusedFile : public TransferError {
public:
    using TransferError::TransferError;
};

} // namespace vorn
