#pragma once
// The systems list: page 1 carries the page header, the summary (aligned to the bottom,
// above the footer) and the footer; the column header and the rows begin on page 2 and run
// over as many pages as they need.
#include "reports/CommonSections.h"
#include "reports/ReportPage.h"
#include "reports/ReportSource.h"

namespace vorn {

class SystemsListLayout {
public:
    static constexpr double kSummaryHeight = 26.7;
    static constexpr double kColumnHeaderHeight = 16.9;
    static constexpr double kRowHeight = CommonSections::kRowHeight;
    static constexpr double kFooterHeight = 23.3;
    static constexpr int kColumns = 9;
    // Widths of the nine columns, mm, left to right.
    static const double kColumnWidths[kColumns];

    // Rows that fit on one page after the first.
    static int rowsPerPage();

    static ReportDocument layout(const SystemsListSource& src);
};

} // namespace vorn
