#pragma once
// What both reports print alike: the frame along the margins, the title band with the
// logo, the header block and the title, and the page footer.
#include "reports/ReportPage.h"
#include "reports/ReportSource.h"

#include <string>

namespace vorn {

class CommonSections {
public:
    static constexpr double kThickLine = 0.5; // "line width 2"
    static constexpr double kThinLine = 0.2;
    static constexpr double kTitleHeight = 18.5;
    static constexpr const char* kTitle = "Расчет теплового баланса холодильной камеры";

    // Left and right edges of the printed area inside the frame.
    static constexpr double kLeft = ReportDocument::kMargin + 2;
    static constexpr double kRight = ReportDocument::kPageWidth - ReportDocument::kMargin - 2;
    static constexpr double kTop = ReportDocument::kMargin;
    static constexpr double kBottom = ReportDocument::kPageHeight - ReportDocument::kMargin;

    static void addFrame(ReportPage& page);
    // The title band at the top margin: logo, header block, title and the thick line
    // under it, as section sectionName.
    static void addTitleBand(ReportPage& page, const ReportSource& src,
                             const std::string& sectionName);
    // The header block: the first three lines, centred, wrapping inside its fixed box.
    static void addHeaderBlock(ReportPage& page, const std::vector<std::string>& lines);
    // The page footer, aligned to the bottom margin. Returns its top.
    static double addFooter(ReportPage& page, const ReportSource& src, double height,
                            bool lineAbove);

    // A caption (bold 8 pt) and its value (regular 8 pt) on one line.
    static void addPair(ReportPage& page, double x, double y, double captionWidth,
                        double valueWidth, const std::string& caption, const std::string& value,
                        const std::string& key);
};

} // namespace vorn
