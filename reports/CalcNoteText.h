#pragma once
// The recorded steps of a recalculation as text: the headings, the inputs and values with
// their units, and `vorn calc --explain`. The calculation note and the "Расчет" view use
// the same texts.
#include "calc/CalcSteps.h"

#include <string>
#include <vector>

namespace vorn {

class CalcResults;

class CalcNoteText {
public:
    // "1. Теплоприток через стены Qстен"; the capacity without a number.
    static std::string heading(const CalcStep& step);
    // "-18 °C", "Сталь листовая", "0,3"
    static std::string inputValue(const StepInput& in);
    static std::string number(double v, const std::string& unit);
    // "0,77 кВт", with a remark when the gain's include box is cleared.
    static std::string result(const CalcStep& step);
    // Every step, then nothing else: the lines of `vorn calc --explain`.
    static std::vector<std::string> explain(const CalcResults& results);
};

} // namespace vorn
