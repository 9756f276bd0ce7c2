#pragma once
// Recalculate: the nine heat gains of the open calculation, their sum and the required
// refrigerating capacity, into the result boxes, Label3 and the report labels.
#include <functional>

namespace vorn {

class CalcResults;
class DataModule;
class ScreenState;

// Runs the gains in their fixed order, reading the record taWork, the include boxes of
// the screen and the current rows of the reference tables. Writes VN_KR back when the
// ventilation rate is automatic. capacityChanged runs in the middle of the run, right
// after box 11 took a value different from the one it showed (CurrencyEdit11Change).
// Does nothing when taWork is closed. A step that cannot be evaluated throws CalcError;
// what the earlier steps set stays set, the later boxes and labels keep their old values.
void recalculate(DataModule& dm, const ScreenState& screen, CalcResults& results,
                 const std::function<void()>& capacityChanged = {});

} // namespace vorn
