#pragma once
// The nine equipment catalogues and the group table, derived from the equipment CSV files
// of refdata/ (classes, sizes, capacity and power curves, groups). equipment_notes.md
// there says how each column is derived.
#include "data/DbfCreate.h"

#include <string>
#include <vector>

namespace vorn {

struct CatalogueFile {
    std::string file;
    std::vector<DbfRow> rows;
};

struct CatalogueSet {
    std::vector<DbfRow> groups; // grups.dbf
    std::vector<CatalogueFile> catalogues;
};

// Throws std::runtime_error naming the file and row for bad data, and for a derived row
// that breaks the catalogue's rules (capacity not falling with the outside temperature,
// a temperature difference outside 5 … 10 K at +25 °C).
CatalogueSet buildCatalogues(const std::string& refdataDir);

} // namespace vorn
