#include "reports/CommonSections.h"

#include "calc/CalcResults.h"
#include "reports/HeaderLines.h"

namespace vorn {

namespace {} // namespace

void CommonSections::addFrame(ReportPage& page) {
    const double m = ReportDocument::kMargin;
    page.addRect({m, m, ReportDocument::kPageWidth - 2 * m, ReportDocument::kPageHeight - 2 * m},
                 kThickLine);
}

void CommonSections::addHeaderBlock(ReportPage& page, const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size() && i < static_cast<size_t>(HeaderLines::kShownLines); ++i) {
        if (i)
            text += '\n';
        text += lines[i];
    }
    TextStyle style;
    style.pointSize = 9;
    style.align = HAlign::Center;
    style.wrap = true;
    style.maxLines = HeaderLines::kShownLines;
    page.addText({53.4, 11.1, 145.3, 11.9}, text, style, "HeaderBlock");
}

void CommonSections::addTitleBand(ReportPage& page, const ReportSource& src,
                                  const std::string& sectionName) {
    const double top = kTop;
    page.addSection(sectionName, top, kTitleHeight);
    // The 125 x 48 pixel logo drawn at its own size, centred in its 42 x 17 mm area.
    const double logoW = 125 * 25.4 / 96, logoH = 48 * 25.4 / 96;
    const RectMm area{ReportDocument::kMargin + 0.8, top + 0.6, 42, 17};
    page.addPicture({area.x + (area.w - logoW) / 2, area.y + (area.h - logoH) / 2, logoW, logoH},
                    Picture::Logo);
    addHeaderBlock(page, src.headerLines);
    TextStyle title;
    title.pointSize = 14;
    title.bold = true;
    title.align = HAlign::Center;
    page.addText({53.4, 23.0, 145.3, 5.3}, kTitle, title);
    page.addLine(ReportDocument::kMargin, top + kTitleHeight,
                 ReportDocument::kPageWidth - ReportDocument::kMargin, top + kTitleHeight,
                 kThickLine);
}

double CommonSections::addFooter(ReportPage& page, const ReportSource& src, double height,
                                 bool lineAbove) {
    const double top = kBottom - height;
    page.addSection("pageFooter", top, height);
    if (lineAbove)
        page.addLine(ReportDocument::kMargin, top,
                     ReportDocument::kPageWidth - ReportDocument::kMargin, top, kThinLine);
    const double gap = (height - 21.2) / 4; // the list's footer is a little taller
    double y = top + 1.2 + gap;
    addPair(page, kLeft, y, 12, 96, "Клиент", src.fieldText("KL_NAIM"), "KL_NAIM");
    addPair(page, 122, y, 21, kRight - 143, "Исполнитель", src.fieldText("OB_ISP"), "OB_ISP");
    y += 4.8 + gap;
    addPair(page, kLeft, y, 20, kRight - kLeft - 20, "Примечание", src.fieldText("KL_PRIM"),
            "KL_PRIM");
    y += 4.8 + gap;
    TextStyle caption;
    caption.bold = true;
    page.addText({kLeft, y, 10, kRowHeight}, "Отчет", caption);
    TextStyle right;
    right.align = HAlign::Right;
    page.addText({kLeft + 10, y, kRight - kLeft - 10, kRowHeight}, src.fileLabel, right,
                 "QRLabel90");
    TextStyle version;
    version.pointSize = 7;
    version.align = HAlign::Center;
    page.addText({kLeft, kBottom - 4.2, kRight - kLeft, 3.4}, src.versionLine, version,
                 "QRLabel89");
    return top;
}

double CommonSections::addRequiredCapacity(ReportPage& page, double x, double y,
                                           double captionWidth, double boxX, double boxWidth,
                                           const std::string& value) {
    TextStyle cap;
    cap.pointSize = 12;
    cap.bold = true;
    page.addText({x, y, captionWidth, 6.4}, CalcResults::boxCaption(11), cap);
    TextStyle shown = cap;
    shown.italic = true;
    shown.align = HAlign::Right;
    const RectMm box{boxX, y, boxWidth, 6.4};
    page.addRect(box, kThinLine);
    page.addText({box.x + 1, y, box.w - 2, box.h}, value, shown, "QRLabel98");
    TextStyle note;
    note.align = HAlign::Center;
    page.addText({x, y + 6.8, kRight - x, kRowHeight},
                 "( с учетом коэф-та запаса и времени работы оборудования )", note);
    return y + 6.8 + kRowHeight;
}

void CommonSections::addPair(ReportPage& page, double x, double y, double captionWidth,
                             double valueWidth, const std::string& caption,
                             const std::string& value, const std::string& key) {
    TextStyle cap;
    cap.bold = true;
    page.addText({x, y, captionWidth, kRowHeight}, caption, cap);
    page.addText({x + captionWidth + 1, y, valueWidth - 1, kRowHeight}, value, TextStyle{}, key);
}

} // namespace vorn
