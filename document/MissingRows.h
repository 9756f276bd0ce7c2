#pragma once
// The reference rows the open calculation names but its tables do not hold: a wall's
// material or insulation, the product, the packaging. The recalculation goes on without
// them as it always has; these sentences say so, among the calculation's warnings.
#include <string>
#include <vector>

namespace vorn {

class DataModule;

// One sentence per missing name, walls first, in the order of the walls. Moves the
// cursors of the material and insulation tables (as every recalculation does); the
// product and packaging tables keep the row they stand on unless the name is found.
std::vector<std::string> missingReferenceRows(DataModule& dm);

// The sentence for a product the opening of a calculation replaced by its category's
// first (the calculation's own product no longer in the table).
std::string replacedProductWarning(const std::string& missing, const std::string& taken);

} // namespace vorn
