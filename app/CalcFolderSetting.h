#pragma once
// The folder the calculation file dialogs start in: field DIR of the single record of
// S_INIT.DBF.
#include <string>

namespace vorn {

class Table;

class CalcFolderSetting {
public:
    // DIR of the current record; empty when the table is closed or has no record.
    static std::string read(Table& taInit);
    // Writes DIR and posts by moving to the first record. Does nothing when the value is
    // already stored, so a fill from the table does not write the file again.
    // A folder the field cannot keep exactly (a character code page 866 has no byte for,
    // a typographic mark, a path longer than the field) is not stored: a path changed on
    // the way would name another folder. Answers why, in Russian; empty when stored.
    static std::string write(Table& taInit, const std::string& folder);
};

} // namespace vorn
