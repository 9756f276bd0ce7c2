#pragma once
// The preparation step of both reports, run at the start of every generation: footer
// texts, header lines and the bound values of the open calculation record.
#include "reports/ReportSource.h"

#include <string>

namespace vorn {

class CalcResults;
class Selection;
class Table;
class Value;

class ReportPreparation {
public:
    // taWork and results must outlive the source (its field and label readers refer to
    // them). Nothing is recalculated: the labels and gain 9's caption are those of the last
    // run. A stored number field holding 0 is an empty field and prints nothing, except a
    // temperature.
    static ReportSource calcReport(const Table& taWork, const CalcResults& results,
                                   const std::string& programDir, const std::string& filePath,
                                   const std::string& versionLine);

    // The systems list: the same record, header and footer, and the rows, class caption
    // and Q/T columns of the last selection run.
    static SystemsListSource systemsList(const Table& taWork, const CalcResults& results,
                                         const Selection& selection, const std::string& programDir,
                                         const std::string& filePath,
                                         const std::string& versionLine);
};

} // namespace vorn
