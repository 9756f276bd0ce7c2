#include "reports/ReportPreparation.h"

#include "calc/CalcResults.h"
#include "data/Table.h"
#include "reports/HeaderLines.h"

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
    // A blank number field reads as 0, and an input of 0 is stored blank: a stored number
    // that reads 0 is an empty field and prints nothing. Calculated fields always print.
    std::set<std::string> calculated;
    if (taWork.isOpen())
        for (int i = 0; i < taWork.fieldCount(); ++i)
            if (taWork.field(i).calculated)
                calculated.insert(foldCase(taWork.field(i).name));
    src.field = [&taWork, calculated](const std::string& name) {
        if (!taWork.isOpen() || !taWork.hasField(name))
            return std::string();
        const Value v = taWork.value(name);
        if (v.isNumber() && v.toDouble() == 0 && !calculated.count(foldCase(name)))
            return std::string();
        return valueText(v);
    };
    src.label = [&results](int number) { return results.label(number); };
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
