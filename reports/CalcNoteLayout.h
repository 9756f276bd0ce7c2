#pragma once
// "Расчетная записка": the recorded steps of the last recalculation on as many A4 pages as
// they take. Each page has the header lines, the title and "Лист N из M" at the top and
// the file and version at the bottom; the tables of inputs and values break between rows,
// their heading repeated on the next page.
#include "calc/CalcSteps.h"
#include "reports/ReportPage.h"
#include "reports/ReportSource.h"

#include <vector>

namespace vorn {

class CalcNoteLayout {
public:
    static constexpr const char* kTitle = "Расчетная записка";

    // src: the header lines, the footer texts, the record (for the summary) and the
    // warnings; steps: the last run's, in run order.
    static ReportDocument layout(const ReportSource& src, const std::vector<CalcStep>& steps);

    // The lines a text of pointSize takes in a box widthMm wide, estimated from its length
    // (the layout has no fonts); at least 1.
    static int estimatedLines(const std::string& text, double widthMm, double pointSize);
};

} // namespace vorn
