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
    // A stored number that reads 0 prints nothing, but for the temperatures (zeroIsShown);
    // calculated fields always have a value and print 0.
    std::set<std::string> printsZero;
    if (taWork.isOpen())
        for (int i = 0; i < taWork.fieldCount(); ++i)
            if (taWork.field(i).calculated)
                printsZero.insert(foldCase(taWork.field(i).name));
    src.field = [&taWork, printsZero](const std::string& name) {
        if (!taWork.isOpen() || !taWork.hasField(name))
            return std::string();
        const Value v = taWork.value(name);
        if (v.isNumber() && v.toDouble() == 0 && !printsZero.count(foldCase(name)) &&
            !zeroIsShown(name))
            return std::string();
        return valueText(v);
    };
    src.label = [&results](int number) { return results.label(number); };
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

std::string ReportPreparation::valueText(const Value& v) {
    if (!v.isNumber())
        return v.toString();
    const double d = v.toDouble();
    if (!std::isfinite(d))
        return {};
    // Fifteen significant digits hide the binary tail of a product (3.3 * 4 * 2.5).
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", d == 0 ? 0.0 : d);
    std::string s = buf;
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

} // namespace vorn
