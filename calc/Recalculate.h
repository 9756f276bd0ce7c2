#pragma once
// Recalculate: the nine heat gains of a calculation record, their sum and the required
// refrigerating capacity, into the result boxes, Label3 and the report labels. A function
// of its inputs: it reads the record and positions the reference tables, and writes
// nothing; what the run asks to be stored comes back with the results.
#include "calc/CalcResults.h"

#include <array>
#include <optional>

namespace vorn {

class DataModule;

// CheckBox1..CheckBox9: gain n counts only while includeBoxes[n-1] is set.
using IncludeBoxes = std::array<bool, 9>;

struct Recalculation {
    // The boxes and labels after the run. A step that cannot be evaluated stops the run:
    // results.error holds its message, the boxes set before it have their new values and
    // the later ones keep those of `previous`.
    CalcResults results;
    // VN_KR as the record must hold it when the ventilation rate is automatic (already
    // rounded to the field's decimals); empty when the rate is the user's own.
    std::optional<double> ventilationRate;
    // Box 11 shows another value than in `previous` (CurrencyEdit11Change).
    bool capacityChanged = false;
};

// Runs the gains in their fixed order over the record taWork of dm, the include boxes and
// the current rows of the reference tables. With taWork closed nothing changes.
Recalculation recalculate(DataModule& dm, const IncludeBoxes& include,
                          const CalcResults& previous);

} // namespace vorn
