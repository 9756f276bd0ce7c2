// The checks of the open calculation's figures: values outside what their fields accept,
// and a chosen system that no longer fits the required capacity.
#include "document/Session.h"

#include "calc/NumberFormat.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/ControlTable.h"
#include "selection/Selection.h"

#include <cmath>

namespace vorn {

bool Session::choiceFits() const {
    const Table& work = dm_.taWork;
    if (!work.isOpen())
        return true;
    const double q = work.asDouble("PROIZSYS");
    if (work.asString("OBR_NAIM").empty() && q == 0)
        return true;
    const long n = static_cast<long>(work.asDouble("KOLSYS"));
    const int systems = n < 1 ? 1 : static_cast<int>(n);
    const long watts = Selection::requiredWatts(results_.box(11));
    const long lo = Selection::bound(Selection::kLowerDefault, watts, systems);
    const long hi = Selection::bound(Selection::kUpperDefault, watts, systems);
    return q >= static_cast<double>(lo) && q <= static_cast<double>(hi);
}

std::string suspectFieldsWarning(const std::vector<std::string>& fields) {
    std::string list;
    for (const std::string& f : fields)
        list += (list.empty() ? "" : ", ") + f;
    return "В расчете есть значения вне допустимых пределов: " + list +
           ". Проверьте их: результаты расчета могут быть неверны.";
}

void Session::findSuspectFields() {
    suspectFields_.clear();
    const Table& work = dm_.taWork;
    for (const ControlSpec& spec : screenControls()) {
        if (!spec.isNumber() || !spec.field || !spec.refusesOutOfRange)
            continue;
        const Value v = work.value(spec.field);
        if (v.isNull())
            continue;
        // 0 is how a field left empty reads
        const double d = v.toDouble();
        if (!std::isfinite(d) || (d != 0 && (d < spec.lo || d > spec.hi)))
            suspectFields_.push_back(std::string(spec.field) + " = " + valueText(v));
    }
}

} // namespace vorn
