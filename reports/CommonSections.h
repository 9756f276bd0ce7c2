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
    static constexpr double kRowHeight = 4.2; // one line of 8 pt text
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

    // The required capacity: its caption in bold 12 pt at x, the value (italic, right-aligned)
    // framed in [boxX, boxX + boxWidth], and the note under both, centred between x and the
    // right edge. Returns the bottom of the note.
    static double addRequiredCapacity(ReportPage& page, double x, double y, double captionWidth,
                                      double boxX, double boxWidth, const std::string& value);

    // A caption (bold 8 pt) and its value (regular 8 pt) on one line.
    static void addPair(ReportPage& page, double x, double y, double captionWidth,
                        double valueWidth, const std::string& caption, const std::string& value,
                        const std::string& key);
};

} // namespace vorn
