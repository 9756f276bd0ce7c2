#pragma once
// The checks a value of a reference table passes before it is written, whether typed into
// the grid or read from a file: a number that parses and fits its field, a whole number
// where the field holds no decimals, a text that code page 866 holds and that fits, a
// value within its column's range or choices. The messages are the user's.
#include "data/Table.h"
#include "data/Value.h"
#include "refedit/RefTables.h"
#include "refedit/Sheet.h"

#include <string>

namespace vorn {

// The text as code page 866 stores it: typographic quotes, dashes and the like replaced
// by their plain forms. False when a character cannot be stored; refusal then says which.
bool fitCodePage866(const std::string& utf8, std::string& fitted, std::string* refusal = nullptr);

// A decimal number as people type and spreadsheets write it: "12", "-3,5", "0.025",
// "1 234,50" (blanks and no-break spaces between digits), "1E-3". Nothing else.
bool parseDecimal(const std::string& text, double& out);

struct CellCheck {
    Value value; // what to store: text, number, or null for an empty cell
    std::string error;
    bool ok() const { return error.empty(); }
};

// Checks one value for field (as the file describes it) under column's rules (null: no
// rules beyond the field's own). A key may not be empty; its uniqueness is the caller's.
CellCheck checkCell(const FieldInfo& field, const RefColumn* column, const SheetCell& cell,
                    bool key = false);

// A stored value as text: numbers with the field's decimals and the given decimal mark,
// empty for null.
std::string formatValue(const FieldInfo& field, const Value& v, char decimalMark);

// The key two rows of a table are compared by: folded text, or the number as stored.
std::string keyText(const FieldInfo& field, const Value& v);

bool isNumericField(const FieldInfo& field);

// The text without blanks and tabs at either end.
std::string trimBlanks(const std::string& s);

} // namespace vorn
