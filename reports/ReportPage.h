#pragma once
// A laid-out report page: every text, rectangle, line and picture with its place on the
// sheet in millimetres, and the sections the page is made of. Produced by the layout
// functions without any painting, painted by ReportPainter on any paged device.
#include <string>
#include <vector>

namespace vorn {

struct RectMm {
    double x = 0; // from the left edge of the sheet
    double y = 0; // from the top edge of the sheet
    double w = 0;
    double h = 0;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
};

enum class HAlign { Left, Center, Right };

struct TextStyle {
    double pointSize = 8;
    bool bold = false;
    bool italic = false;
    HAlign align = HAlign::Left;
    // Wrapping text breaks at word boundaries and shows at most maxLines whole lines from
    // the top of its rectangle; other text stays on one line, centred vertically.
    bool wrap = false;
    int maxLines = 1;
    bool middle = false; // wrapped lines centred vertically instead of from the top
};

// Pictures the painter draws itself, in the sizes the layout gives them.
enum class Picture { Logo, ChamberPlan };

struct ReportItem {
    enum class Kind { Text, Rect, Line, Picture };
    Kind kind = Kind::Text;
    RectMm rect;      // a line runs from (x, y) to (x + w, y + h)
    std::string text; // UTF-8
    std::string key;  // the bound field or label the text comes from; empty for captions
    TextStyle style;
    double lineWidth = 0; // of a rectangle or line, in mm
    Picture picture = Picture::Logo;
};

struct ReportSection {
    std::string name;
    double top = 0; // mm from the top of the sheet
    double height = 0;
};

struct ReportPage {
    std::vector<ReportSection> sections;
    std::vector<ReportItem> items;

    void addSection(const std::string& name, double top, double height);
    // Appends a text; returns it for adjustments.
    ReportItem& addText(RectMm r, std::string text, TextStyle style, std::string key = {});
    void addRect(RectMm r, double lineWidth);
    void addLine(double x1, double y1, double x2, double y2, double lineWidth);
    void addPicture(RectMm r, Picture p);

    // The text item bound to key, or nullptr.
    const ReportItem* find(const std::string& key) const;
    const ReportSection* section(const std::string& name) const;
};

struct ReportDocument {
    static constexpr double kPageWidth = 210; // A4 portrait
    static constexpr double kPageHeight = 297;
    static constexpr double kMargin = 10;
    std::vector<ReportPage> pages;
};

} // namespace vorn
