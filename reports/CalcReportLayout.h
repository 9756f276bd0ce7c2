#pragma once
// The calculation report: one A4 page, title band, calculation section and page footer at
// fixed heights. Nothing stretches: a long text is clipped to its box by the painter.
#include "reports/ReportPage.h"
#include "reports/ReportSource.h"

namespace vorn {

class CalcReportLayout {
public:
    static constexpr double kCalcHeight = 237.1;
    static constexpr double kFooterHeight = 21.2;

    static ReportDocument layout(const ReportSource& src);
};

} // namespace vorn
