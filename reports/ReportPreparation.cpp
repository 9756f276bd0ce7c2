#include "reports/ReportPreparation.h"

#include "calc/CalcResults.h"
#include "data/CalcRecord.h"
#include "data/Table.h"
#include "reports/HeaderLines.h"
#include "selection/Selection.h"

#include <cmath>
#include <cstdio>
#include <set>

namespace vorn {

ReportSource ReportPreparation::calcReport(const Table& taWork, const CalcResults& results,
                                           const std::string& programDir,
                                           const std::string& filePath,
                                           const std::string& versionLine) {
    ReportSource src;
    src.fileLabel = filePath;
    src.versionLine = versionLine;
    src.headerLines = HeaderLines::read(programDir);
    src.field = [&taWork](const std::string& name) {
        if (!taWork.isOpen() || !taWork.hasField(name))
            return std::string();
        return recordText(name, taWork.value(name));
    };
    src.label = [&results](int number) { return results.label(number); };
    if (results.heatersInGain9)
        src.fansCaption = results.caption(9);
    return src;
}

SystemsListSource ReportPreparation::systemsList(const Table& taWork, const CalcResults& results,
                                                 const Selection& selection,
                                                 const std::string& programDir,
                                                 const std::string& filePath,
                                                 const std::string& versionLine) {
    SystemsListSource src;
    src.common = calcReport(taWork, results, programDir, filePath, versionLine);
    src.classCaption = selection.classCaption();
    src.capacityLabel = results.systemsListLabel98;
    // The list's own captions, the shown Q/T pair's among them; the air cooler's is the
    // report's, broken where the column is narrow.
    for (const CatalogueColumn& c : selection.shownColumns())
        src.columnCaptions.push_back(std::string(c.field) == "VOHL" ? "Воздухо- охладитель"
                                                                    : c.caption);
    for (const CatalogueRow& row : selection.rows())
        src.rows.push_back(Selection::listCells(row));
    return src;
}

} // namespace vorn
