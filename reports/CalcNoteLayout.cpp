#include "reports/CalcNoteLayout.h"

#include "calc/NumberFormat.h"
#include "reports/CalcNoteText.h"
#include "reports/CommonSections.h"
#include "reports/HeaderLines.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace vorn {

namespace {

using CS = CommonSections;

constexpr double kHeadTop = ReportDocument::kMargin;
constexpr double kHeadHeight = 16;
constexpr double kFootHeight = 8;
constexpr double kBodyTop = kHeadTop + kHeadHeight + 3;
constexpr double kBodyBottom =
    ReportDocument::kPageHeight - ReportDocument::kMargin - kFootHeight - 2;
constexpr double kLine = 4.0; // one line of 8 pt text in a table row
constexpr double kWidth = CS::kRight - CS::kLeft;

TextStyle style(double pt, bool bold = false, bool italic = false, HAlign align = HAlign::Left) {
    TextStyle s;
    s.pointSize = pt;
    s.bold = bold;
    s.italic = italic;
    s.align = align;
    return s;
}

TextStyle wrapped(TextStyle s, int lines) {
    s.wrap = lines > 1;
    s.maxLines = lines;
    s.middle = lines > 1;
    return s;
}

struct Column {
    const char* heading;
    double width;
    HAlign align;
};

// The pages as they fill: a cursor down the body of the current page.
class Flow {
public:
    Flow(ReportDocument& doc, const ReportSource& src) : doc_(doc), src_(src) { newPage(); }

    ReportPage& page() { return doc_.pages.back(); }
    double y = kBodyTop;

    // Room for h more millimetres, or a new page.
    bool ensure(double h) {
        if (y + h <= kBodyBottom)
            return false;
        newPage();
        return true;
    }

    void newPage() {
        doc_.pages.emplace_back();
        ReportPage& p = doc_.pages.back();
        CS::addFrame(p);
        p.addSection("noteHeader", kHeadTop, kHeadHeight);
        // the header lines at the left, the title and the sheet number at the right
        std::string header;
        const auto& lines = src_.headerLines;
        for (size_t i = 0; i < lines.size() && i < static_cast<size_t>(HeaderLines::kShownLines);
             ++i)
            header += (i ? "\n" : "") + lines[i];
        p.addText({CS::kLeft, kHeadTop + 1.5, 120, 13}, header,
                  wrapped(style(8, false, false, HAlign::Left), HeaderLines::kShownLines),
                  "HeaderBlock");
        p.addText({CS::kRight - 62, kHeadTop + 2, 62, 6}, CalcNoteLayout::kTitle,
                  style(13, true, false, HAlign::Right));
        // filled in once the number of sheets is known
        p.addText({CS::kRight - 62, kHeadTop + 9, 62, 4.5}, {},
                  style(9, false, false, HAlign::Right), "sheet");
        p.addLine(ReportDocument::kMargin, kHeadTop + kHeadHeight,
                  ReportDocument::kPageWidth - ReportDocument::kMargin, kHeadTop + kHeadHeight,
                  CS::kThickLine);
        const double footTop = ReportDocument::kPageHeight - ReportDocument::kMargin - kFootHeight;
        p.addSection("noteFooter", footTop, kFootHeight);
        p.addLine(ReportDocument::kMargin, footTop,
                  ReportDocument::kPageWidth - ReportDocument::kMargin, footTop, CS::kThinLine);
        p.addText({CS::kLeft, footTop + 0.8, kWidth, 3.4}, "Расчет: " + src_.fileLabel, style(7),
                  "QRLabel90");
        p.addText({CS::kLeft, footTop + 4.2, kWidth, 3.4}, src_.versionLine,
                  style(7, false, false, HAlign::Center), "QRLabel89");
        p.addSection("noteBody", kBodyTop, kBodyBottom - kBodyTop);
        y = kBodyTop;
    }

    void text(const std::string& t, TextStyle s, double h, const std::string& key = {}) {
        ensure(h);
        page().addText({CS::kLeft, y, kWidth, h}, t, s, key);
        y += h;
    }

    // A table: the heading row, then the rows; a row that does not fit goes to the next
    // page under the heading repeated. Each row is as tall as its longest cell wraps.
    void table(const std::vector<Column>& cols, const std::vector<std::vector<std::string>>& rows,
               const std::string& keyPrefix, int boldColumn = -1) {
        auto rowHeight = [&cols](const std::vector<std::string>& cells, double pt) {
            int lines = 1;
            for (size_t c = 0; c < cols.size() && c < cells.size(); ++c)
                lines = std::max(lines,
                                 CalcNoteLayout::estimatedLines(cells[c], cols[c].width - 1.2, pt));
            return std::min(lines, 3) * kLine + 0.6;
        };
        std::vector<std::string> heads;
        for (const Column& c : cols)
            heads.push_back(c.heading);
        const double headHeight = rowHeight(heads, 8);
        auto drawRow = [&](const std::vector<std::string>& cells, double h, bool heading,
                           const std::string& key) {
            double x = CS::kLeft;
            ReportPage& p = page();
            p.addLine(CS::kLeft, y + h, CS::kRight, y + h, CS::kThinLine);
            for (size_t c = 0; c < cols.size(); ++c) {
                const std::string& t = c < cells.size() ? cells[c] : std::string();
                const int lines =
                    std::min(3, CalcNoteLayout::estimatedLines(t, cols[c].width - 1.2, 8));
                TextStyle s = wrapped(style(8, heading || static_cast<int>(c) == boldColumn, false,
                                            heading ? HAlign::Center : cols[c].align),
                                      lines);
                p.addText({x + 0.6, y + 0.3, cols[c].width - 1.2, h - 0.6}, t, s,
                          key.empty() ? std::string() : key + "/" + std::to_string(c));
                if (c + 1 < cols.size())
                    p.addLine(x + cols[c].width, y, x + cols[c].width, y + h, CS::kThinLine);
                x += cols[c].width;
            }
            y += h;
        };
        auto heading = [&] {
            page().addLine(CS::kLeft, y, CS::kRight, y, CS::kThinLine);
            drawRow(heads, headHeight, true, {});
        };
        // the heading never stands alone at the foot of a page
        ensure(headHeight + (rows.empty() ? 0 : rowHeight(rows.front(), 8)));
        heading();
        for (size_t r = 0; r < rows.size(); ++r) {
            const double h = rowHeight(rows[r], 8);
            if (ensure(h))
                heading();
            drawRow(rows[r], h, false, keyPrefix + std::to_string(r));
        }
        y += 1.5;
    }

private:
    ReportDocument& doc_;
    const ReportSource& src_;
};

void formulaLines(Flow& f, const std::string& formula, const std::string& key) {
    size_t start = 0;
    int n = 0;
    while (start <= formula.size()) {
        const size_t end = formula.find('\n', start);
        const std::string line = formula.substr(start, end - start);
        const int lines = CalcNoteLayout::estimatedLines(line, kWidth - 6, 9);
        f.ensure(lines * 4.4);
        f.page().addText({CS::kLeft + 4, f.y, kWidth - 6, lines * 4.4}, line,
                         wrapped(style(9, false, true), lines), key + std::to_string(n++));
        f.y += lines * 4.4;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    f.y += 1;
}

// A table's title, kept on the page with the table's heading and first row.
void subtitle(Flow& f, const char* text) {
    f.ensure(4.6 + 4 * kLine + 1.2);
    f.text(text, style(8.5, true), 4.6);
}

void stepSection(Flow& f, const CalcStep& step, size_t index) {
    const std::string key = "step" + std::to_string(index);
    // the heading, the formula and the start of the first table stay together
    double formula = 0;
    size_t start = 0;
    while (start <= step.formula.size()) {
        const size_t end = step.formula.find('\n', start);
        formula +=
            CalcNoteLayout::estimatedLines(step.formula.substr(start, end - start), kWidth - 6, 9) *
            4.4;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    f.ensure(7.5 + formula + 1 + 4.6 + 3 * kLine + 1.8);
    f.y += 1.5;
    f.text(CalcNoteText::heading(step), style(10.5, true), 6, key + "/heading");
    formulaLines(f, step.formula, key + "/formula");

    if (!step.inputs.empty()) {
        subtitle(f, "Исходные данные");
        static const std::vector<Column> cols = {{"Величина", 70, HAlign::Left},
                                                 {"Поле", 24, HAlign::Left},
                                                 {"Значение", 38, HAlign::Right},
                                                 {"Источник", kWidth - 132, HAlign::Left}};
        std::vector<std::vector<std::string>> rows;
        for (const StepInput& in : step.inputs)
            rows.push_back({in.caption, in.name, CalcNoteText::inputValue(in), in.source});
        f.table(cols, rows, key + "/input");
    }
    if (!step.rows.empty()) {
        subtitle(f, "Поверхности");
        std::vector<Column> cols = {{"Поверхность", 26, HAlign::Left}};
        std::vector<std::string> headings;
        const double w = (kWidth - 26) / static_cast<double>(step.rows.front().values.size());
        for (const StepValue& v : step.rows.front().values)
            headings.push_back(v.caption + ", " + v.unit);
        for (const std::string& h : headings)
            cols.push_back({h.c_str(), w, HAlign::Right});
        std::vector<std::vector<std::string>> rows;
        for (const StepRow& r : step.rows) {
            std::vector<std::string> cells = {r.caption};
            for (const StepValue& v : r.values)
                cells.push_back(CalcNoteText::number(v.number, {}));
            rows.push_back(std::move(cells));
        }
        f.table(cols, rows, key + "/row");
    }
    if (!step.values.empty()) {
        subtitle(f, "Промежуточные значения");
        static const std::vector<Column> cols = {{"Величина", 110, HAlign::Left},
                                                 {"Значение", kWidth - 110, HAlign::Right}};
        std::vector<std::vector<std::string>> rows;
        for (const StepValue& v : step.values)
            rows.push_back({v.caption, CalcNoteText::number(v.number, v.unit)});
        f.table(cols, rows, key + "/value");
    }
    f.ensure(6);
    TextStyle result = style(10, true, false, HAlign::Right);
    f.page().addRect({CS::kLeft, f.y, kWidth, 6}, CS::kThinLine);
    f.page().addText({CS::kLeft + 1.5, f.y, 120, 6}, "Результат", style(10, true));
    f.page().addText({CS::kLeft + 60, f.y, kWidth - 61.5, 6}, CalcNoteText::result(step), result,
                     key + "/result");
    f.y += 8;
}

} // namespace

int CalcNoteLayout::estimatedLines(const std::string& text, double widthMm, double pointSize) {
    size_t chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++chars;
    // an average letter of Arial is a little over half its size; 1 pt = 0.3528 mm
    const double perChar = pointSize * 0.3528 * 0.56;
    const double fit = std::max(1.0, std::floor(widthMm / perChar));
    return std::max(1, static_cast<int>(std::ceil(static_cast<double>(chars) / fit)));
}

ReportDocument CalcNoteLayout::layout(const ReportSource& src, const std::vector<CalcStep>& steps) {
    ReportDocument doc;
    Flow f(doc, src);

    // What the calculation is: the chamber and the regime, then the gains at a glance.
    f.text(CS::kTitle, style(12, true, false, HAlign::Center), 6.5);
    const std::string chamber =
        "Камера " + src.fieldText("OB_KAMDL") + " × " + src.fieldText("OB_KAMSH") + " × " +
        src.fieldText("OB_KAMVS") + " м, " + src.fieldText("OB_TERMR") + ", температура в камере " +
        src.fieldText("OB_TEMKAM") + " °C; регион " + src.fieldText("OB_RGNAIM");
    f.text(chamber, wrapped(style(9), 2), estimatedLines(chamber, kWidth, 9) > 1 ? 8.4 : 4.6,
           "chamber");
    f.y += 1;
    {
        static const std::vector<Column> cols = {{"Теплоприток", 150, HAlign::Left},
                                                 {"кВт", kWidth - 150, HAlign::Right}};
        std::vector<std::vector<std::string>> rows;
        double sum = 0;
        bool haveSum = false;
        for (const CalcStep& s : steps)
            if (s.gain == CalcStep::kCapacity) {
                sum = s.valueOf("sum_kw");
                haveSum = true;
            }
        for (const CalcStep& s : steps) {
            rows.push_back({CalcNoteText::heading(s) + (s.included ? "" : " (не учитывается)"),
                            formatMask2(s.result)});
            if (s.gain == 9 && haveSum)
                rows.push_back({"Суммарный теплоприток", formatMask2(sum)});
        }
        f.table(cols, rows, "summary/");
    }
    for (size_t i = 0; i < src.warnings.size(); ++i) {
        const int lines = std::min(3, estimatedLines(src.warnings[i], kWidth, 8.5));
        TextStyle s = wrapped(style(8.5, true, true), lines);
        f.text(src.warnings[i], s, lines * 4.2, "warning" + std::to_string(i));
    }
    for (size_t i = 0; i < steps.size(); ++i)
        stepSection(f, steps[i], i);

    const size_t count = doc.pages.size();
    for (size_t n = 0; n < count; ++n)
        for (ReportItem& item : doc.pages[n].items)
            if (item.key == "sheet")
                item.text = "Лист " + std::to_string(n + 1) + " из " + std::to_string(count);
    return doc;
}

} // namespace vorn
