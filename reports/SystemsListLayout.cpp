#include "reports/SystemsListLayout.h"

#include "reports/CommonSections.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vorn {

namespace {

using CS = CommonSections;

constexpr double kRowStep = 4.6;

const double kListTop = CS::kTop + CS::kTitleHeight + SystemsListLayout::kColumnHeaderHeight;
const double kListBottom = CS::kBottom - SystemsListLayout::kFooterHeight;

double tableWidth() {
    double w = 0;
    for (double c : SystemsListLayout::kColumnWidths)
        w += c;
    return w;
}

// The table is centred between the margins.
double tableLeft() {
    return (ReportDocument::kPageWidth - tableWidth()) / 2;
}

const HAlign kAlign[SystemsListLayout::kColumns] = {HAlign::Right,  HAlign::Right,  HAlign::Right,
                                                    HAlign::Center, HAlign::Center, HAlign::Center,
                                                    HAlign::Center, HAlign::Right,  HAlign::Right};

void summary(ReportPage& page, const SystemsListSource& src, double top) {
    page.addSection("summary", top, SystemsListLayout::kSummaryHeight);
    const ReportSource& c = src.common;
    const double y = top + 1.5;
    struct Pair {
        const char* caption;
        const char* field;
    };
    static const Pair left[4] = {{"Объем камеры, м3", "ob_kamv"},
                                 {"Температура в камере, С", "OB_TEMKAM"},
                                 {"Режим термообработки", "OB_TERMR"},
                                 {"Количество систем", "KOLSYS"}};
    for (int i = 0; i < 4; ++i)
        CS::addPair(page, CS::kLeft, y + i * kRowStep, 37, 24, left[i].caption,
                    c.fieldText(left[i].field), left[i].field);
    const double x = 78;
    CS::addPair(page, x, y, 44, CS::kRight - x - 44, "Продукт", c.fieldText("TE_PTIP"), "TE_PTIP");
    CS::addPair(page, x, y + kRowStep, 44, CS::kRight - x - 44, "Температура окруж. среды, С",
                c.fieldText("OB_RGTMAX"), "OB_RGTMAX");

    CS::addRequiredCapacity(page, x, y + 2 * kRowStep + 0.6, 94, x + 95, CS::kRight - x - 95,
                            src.capacityLabel);
    page.addLine(ReportDocument::kMargin, top + SystemsListLayout::kSummaryHeight,
                 ReportDocument::kPageWidth - ReportDocument::kMargin,
                 top + SystemsListLayout::kSummaryHeight, CS::kThickLine);
}

void columnHeader(ReportPage& page, const SystemsListSource& src) {
    const double top = CS::kTop + CS::kTitleHeight;
    const double h = SystemsListLayout::kColumnHeaderHeight;
    page.addSection("columnHeader", top, h);
    page.addLine(ReportDocument::kMargin, top, ReportDocument::kPageWidth - ReportDocument::kMargin,
                 top, CS::kThinLine);
    page.addLine(ReportDocument::kMargin, top + h,
                 ReportDocument::kPageWidth - ReportDocument::kMargin, top + h, CS::kThinLine);
    TextStyle heading;
    heading.pointSize = 16;
    heading.bold = true;
    heading.align = HAlign::Center;
    page.addText({CS::kLeft, top + 0.5, CS::kRight - CS::kLeft, 6.6},
                 "Холодильные системы для " + src.classCaption + " °С в охлаждаемом объеме",
                 heading, "QRLabel14");
    TextStyle cap;
    cap.bold = true;
    cap.align = HAlign::Center;
    cap.wrap = true;
    // Two lines as a rule; a caption of three short words in a narrow column gets a third.
    cap.maxLines = 3;
    cap.middle = true;
    double x = tableLeft();
    for (int c = 0; c < SystemsListLayout::kColumns; ++c) {
        const double w = SystemsListLayout::kColumnWidths[c];
        const std::string text =
            c < static_cast<int>(src.columnCaptions.size()) ? src.columnCaptions[c] : "";
        page.addText({x + 0.2, top + 7.2, w - 0.4, h - 7.3}, text, cap,
                     "Caption" + std::to_string(c));
        x += w;
    }
}

void listRow(ReportPage& page, const std::vector<std::string>& cells, double y) {
    double x = tableLeft();
    for (int c = 0; c < SystemsListLayout::kColumns; ++c) {
        const double w = SystemsListLayout::kColumnWidths[c];
        TextStyle s;
        s.align = kAlign[c];
        page.addText({x + 0.5, y, w - 1, SystemsListLayout::kRowHeight},
                     c < static_cast<int>(cells.size()) ? cells[c] : "", s,
                     "Column" + std::to_string(c));
        x += w;
    }
}

ReportPage& newPage(ReportDocument& doc, const SystemsListSource& src) {
    doc.pages.emplace_back();
    ReportPage& page = doc.pages.back();
    CS::addFrame(page);
    CS::addTitleBand(page, src.common, "pageHeader");
    return page;
}

} // namespace

const double SystemsListLayout::kColumnWidths[kColumns] = {17.2, 38.4, 21.4, 15.1, 10.8,
                                                           13.0, 17.2, 13.0, 21.4};

int SystemsListLayout::rowsPerPage() {
    return static_cast<int>(std::floor((kListBottom - kListTop) / kRowHeight + 1e-9));
}

ReportDocument SystemsListLayout::layout(const SystemsListSource& src) {
    ReportDocument doc;
    {
        ReportPage& first = newPage(doc, src);
        summary(first, src, kListBottom - kSummaryHeight);
        CS::addFooter(first, src.common, kFooterHeight, true);
    }
    // The list pages: at least one, so that the column header shows also with no rows.
    const size_t perPage = static_cast<size_t>(rowsPerPage());
    size_t next = 0;
    do {
        ReportPage& page = newPage(doc, src);
        columnHeader(page, src);
        const size_t count = std::min(perPage, src.rows.size() - next);
        page.addSection("list", kListTop, count * kRowHeight);
        for (size_t i = 0; i < count; ++i)
            listRow(page, src.rows[next + i], kListTop + i * kRowHeight);
        next += count;
        CS::addFooter(page, src.common, kFooterHeight, true);
    } while (next < src.rows.size());
    return doc;
}

} // namespace vorn
