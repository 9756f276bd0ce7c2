#include "desktop/reports/ReportPrinting.h"

#include "desktop/reports/ReportPainter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace vorn {

void ReportPrinting::setUp(QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

bool ReportPrinting::print(const ReportDocument& doc, QPrinter& printer) {
    const int count = static_cast<int>(doc.pages.size());
    int first = 1, last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    // The report draws its own margins, whatever the print dialog left.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int n = first; n <= last; ++n) {
        if (n > first)
            printer.newPage();
        ReportPainter::paintPage(painter, doc.pages[static_cast<size_t>(n - 1)]);
    }
    painter.end();
    return true;
}

} // namespace vorn
