#pragma once
// The commercial offer of a project: A4 pages with the frame and the title band of the
// reports (logo, header block, title), the client with the offer's number and date, the
// chambers, the bill of materials with prices, the totals with VAT, the annual energy and
// running cost with the note on how they are estimated, and the executor. The tables run
// over as many pages as they need; their column headings repeat on every page.
#include "project/ProjectSummary.h"
#include "reports/ReportPage.h"

#include <string>
#include <vector>

namespace vorn {

struct OfferSource {
    std::vector<std::string> headerLines;
    std::string versionLine;
    ProjectSummary summary;
};

class OfferLayout {
public:
    static constexpr const char* kTitle = "Коммерческое предложение";
    static constexpr double kRowHeight = 4.6;
    static constexpr double kFooterHeight = 12;

    static ReportDocument layout(const OfferSource& src);

    // The executor named on the offer: the project's own, else the first chamber's.
    static std::string executor(const ProjectSummary& s);
    // What a chamber is called on the offer: its note, else its file's name.
    static std::string chamberName(const ChamberLine& c);
    // "05.03.2026"; empty for an unset date.
    static std::string dateText(const Date& d);
    // "№ КП-7 от 05.03.2026", either part left out when it is not set.
    static std::string offerNumber(const OfferSettings& s);
    // Money with digit grouping and two decimals: "1 234,50".
    static std::string moneyText(double v);
    static std::string wholeText(double v); // "12 345"
};

} // namespace vorn
