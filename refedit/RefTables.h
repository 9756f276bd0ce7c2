#pragma once
// The tables the user may edit, import and export: each table's name (its file name
// without extension), caption, group, file, and per field the Russian column caption with
// its unit and the rules a value must keep.
#include "data/DbfCreate.h"

#include <limits>
#include <string>
#include <vector>

namespace vorn {

struct RefColumn {
    const char* field;   // field name in the file
    const char* caption; // column caption with its unit
    // Text keys: the width of the calculation record field that stores the name (a longer
    // name would not find its own row again); 0 for no limit beyond the table field.
    int keyWidth = 0;
    bool optional = false; // an import file may leave the column out
    double min = -std::numeric_limits<double>::infinity();
    double max = std::numeric_limits<double>::infinity();
    bool minExclusive = false;             // the value must lie above min
    std::vector<std::string> choices = {}; // text: the only values allowed
};

struct RefTableDesc {
    std::string name;    // "products", "kat-18": the file name without extension
    std::string file;    // the file in the data directory
    std::string caption; // "Продукты", "Каталог -18 °С"
    std::string group;   // the heading the table stands under in the window
    std::string key;     // the field whose values are unique (ignoring case)
    std::vector<RefColumn> columns;

    // The column of a field, or null for a field this table does not describe.
    const RefColumn* column(const std::string& field) const;
};

// The fields of prices.dbf. The price list is new to the data directory: a folder made
// before it had one gets an empty one the first time the list is opened.
std::vector<DbfFieldSpec> priceListLayout();

// Every editable table, in the order the window lists them.
const std::vector<RefTableDesc>& refTables();
// The table of that name, any letter case; null when there is none.
const RefTableDesc* findRefTable(const std::string& name);

} // namespace vorn
