#pragma once
// Printing a laid-out report: the printer set for A4 sheets painted edge to edge, and the
// pages the print dialog chose.
#include "reports/ReportPage.h"

class QPrinter;

namespace vorn {

class ReportPrinting {
public:
    // A4 portrait, full page: the report draws its own margins and frame.
    static void setUp(QPrinter& printer);
    // Paints the pages of doc within the printer's chosen range. False when the printer
    // could not be started.
    static bool print(const ReportDocument& doc, QPrinter& printer);
};

} // namespace vorn
