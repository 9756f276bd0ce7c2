#pragma once
// Writes a new dBase III table (version 0x03, code page 866) from a field list and rows.
// The program never creates tables itself: this builds the bundled DATA at build time and
// the fixture tables of the tests.
#include "data/Table.h"
#include "data/Value.h"

#include <string>
#include <vector>

namespace vorn {

struct DbfFieldSpec {
    std::string name; // at most 10 ASCII characters
    char type = 'C';  // C, N, L or D
    int length = 0;
    int decimals = 0;
};

using DbfRow = std::vector<Value>; // one value per field, in field order

// Creates (or replaces) the file. Throws DbfError for a bad field list, a row of the wrong
// size, a text longer than its field, a number that does not fit its width, or a value of
// the wrong type. headerDate defaults to today. Nothing is left on disk after a failure.
void createDbf(const std::string& path, const std::vector<DbfFieldSpec>& fields,
               const std::vector<DbfRow>& rows, Date headerDate = {});

// The field's bytes for one value, exactly spec.length long (code page 866 for text).
std::string formatDbfField(const DbfFieldSpec& spec, const Value& v);

} // namespace vorn
