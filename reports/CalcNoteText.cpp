#include "reports/CalcNoteText.h"

#include "calc/CalcResults.h"
#include "calc/NumberFormat.h"

namespace vorn {

std::string CalcNoteText::heading(const CalcStep& step) {
    if (step.gain == CalcStep::kCapacity)
        return step.title;
    return std::to_string(step.gain) + ". " + step.title;
}

std::string CalcNoteText::number(double v, const std::string& unit) {
    std::string s = formatSix(v);
    if (!unit.empty())
        s += " " + unit;
    return s;
}

std::string CalcNoteText::inputValue(const StepInput& in) {
    if (in.isText)
        return in.text.empty() ? "—" : in.text;
    return number(in.number, in.unit);
}

std::string CalcNoteText::result(const CalcStep& step) {
    std::string s = formatMask2(step.result) + " кВт";
    if (!step.included)
        s += " (теплоприток не учитывается)";
    return s;
}

std::vector<std::string> CalcNoteText::explain(const CalcResults& results) {
    std::vector<std::string> out;
    for (const CalcStep& step : results.steps) {
        out.push_back(heading(step));
        size_t start = 0;
        while (start <= step.formula.size()) {
            const size_t end = step.formula.find('\n', start);
            out.push_back("  " + step.formula.substr(start, end - start));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        out.push_back("  Исходные данные:");
        for (const StepInput& in : step.inputs)
            out.push_back("    " + in.caption + " (" + in.name + ") = " + inputValue(in) + "  [" +
                          in.source + "]");
        if (!step.values.empty() || !step.rows.empty())
            out.push_back("  Промежуточные значения:");
        for (const StepRow& row : step.rows) {
            std::string line = "    " + row.caption + ":";
            for (size_t i = 0; i < row.values.size(); ++i)
                line += (i ? "; " : " ") + row.values[i].caption + " = " +
                        number(row.values[i].number, row.values[i].unit);
            out.push_back(line);
        }
        for (const StepValue& v : step.values)
            out.push_back("    " + v.caption + " = " + number(v.number, v.unit));
        out.push_back("  Результат: " + result(step));
        out.push_back({});
    }
    return out;
}

} // namespace vorn
