#include "reports/CalcReportLayout.h"

#include "calc/CalcResults.h"
#include "reports/CalcNoteLayout.h"
#include "reports/CommonSections.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vorn {

namespace {

using CS = CommonSections;

constexpr double kRowStep = 4.6; // caption rows of a group
constexpr double kBoxHeight = 5.6;
constexpr double kTableRow = 4.3;
constexpr double kTableHead = 8.0;
constexpr double kGroupGap = 3.0;
constexpr double kWarningLine = 3.3;
constexpr int kGaps = 8; // between the groups from the ventilation to the totals
constexpr double kMinGap = 0.8;

// A warning takes one line of 7.5 pt across the page, two when it is long.
int warningLines(const std::string& text) {
    return std::min(2, CalcNoteLayout::estimatedLines(text, CommonSections::kRight -
                                                                CommonSections::kLeft, 7.5));
}

// The warnings that fit into room mm; when not all do, the last line that fits says how
// many more the calculation note lists.
std::vector<std::string> fittingWarnings(const std::vector<std::string>& all, double room) {
    std::vector<std::string> out;
    double used = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const double h = warningLines(all[i]) * kWarningLine;
        const bool last = i + 1 == all.size();
        // the last one needs no line for the rest after it
        if (used + h + (last ? 0 : kWarningLine) <= room + 1e-9) {
            out.push_back(all[i]);
            used += h;
            continue;
        }
        out.push_back("… и еще предупреждений: " + std::to_string(all.size() - i) +
                      " (все они в расчетной записке)");
        break;
    }
    return out;
}

TextStyle bold8() {
    TextStyle s;
    s.bold = true;
    return s;
}

TextStyle centred(bool bold = false, bool italic = false) {
    TextStyle s;
    s.bold = bold;
    s.italic = italic;
    s.align = HAlign::Center;
    return s;
}

class CalcPage {
public:
    CalcPage(ReportPage& page, const ReportSource& src) : page_(page), src_(src) {}

    void pair(double x, double y, double cw, double vw, const char* caption,
              const std::string& field) {
        CS::addPair(page_, x, y, cw, vw, caption, src_.fieldText(field), field);
    }
    void labelPair(double x, double y, double cw, double vw, const char* caption, int label) {
        CS::addPair(page_, x, y, cw, vw, caption, src_.labelText(label), labelKey(label));
    }

    // A gain box: the caption framed, its value at the right edge, bold 10 pt, so that the
    // gains form one column down the page.
    double gainBox(double y, int box) {
        const std::string caption = box == 9 && !src_.fansCaption.empty()
                                        ? src_.fansCaption
                                        : std::string(CalcResults::boxCaption(box));
        const int label = CalcResults::boxLabel(box);
        TextStyle cap;
        cap.pointSize = 10;
        cap.bold = true;
        page_.addRect({CS::kLeft, y, kGainBoxWidth, kBoxHeight}, CS::kThinLine);
        page_.addText({CS::kLeft + 1.5, y, kGainBoxWidth - 3, kBoxHeight}, caption, cap);
        TextStyle value = cap;
        value.align = HAlign::Right;
        page_.addText({CS::kRight - kGainValueWidth, y, kGainValueWidth - 1, kBoxHeight},
                      src_.labelText(label), value, labelKey(label));
        return y + kBoxHeight;
    }

    // A ruled table: lines above the heading, under it and under the last row, and
    // vertical lines between the columns; vStart gives where each vertical begins below
    // the top (a heading spanning two columns). Returns the bottom.
    double tableFrame(double top, const double* widths, int columns, int rows,
                      const double* vStart = nullptr) {
        const double bottom = top + kTableHead + rows * kTableRow;
        page_.addLine(CS::kLeft, top, CS::kRight, top, CS::kThinLine);
        page_.addLine(CS::kLeft, top + kTableHead, CS::kRight, top + kTableHead, CS::kThinLine);
        page_.addLine(CS::kLeft, bottom, CS::kRight, bottom, CS::kThinLine);
        double x = CS::kLeft;
        for (int c = 0; c + 1 < columns; ++c) {
            x += widths[c];
            page_.addLine(x, top + (vStart ? vStart[c] : 0), x, bottom, CS::kThinLine);
        }
        return bottom;
    }

    void heading(double x, double y, double w, double h, const char* text) {
        TextStyle s = centred(true);
        s.wrap = true;
        s.maxLines = 2;
        s.middle = true;
        page_.addText({x + 0.3, y, w - 0.6, h}, text, s);
    }

    void cell(double x, double y, double w, const std::string& text, const std::string& key,
              TextStyle style = centred()) {
        page_.addText({x + 0.5, y, w - 1, kTableRow}, text, style, key);
    }

    static std::string labelKey(int n) { return "QRLabel" + std::to_string(n); }

    static constexpr double kGainBoxWidth = 128;
    static constexpr double kGainValueWidth = 30;

    ReportPage& page_;
    const ReportSource& src_;
};

// a. Chamber and climate.
double chamberGroup(CalcPage& p, double top) {
    p.page_.addPicture({CS::kLeft + 0.5, top + 1.2, 19, 21}, Picture::ChamberPlan);
    const double y = top + 1.6;
    const double c1 = 33, c2 = 73, c3 = 138;
    p.pair(c1, y, 27, 12, "Длина камеры, м", "OB_KAMDL");
    p.pair(c1, y + kRowStep, 27, 12, "Ширина камеры, м", "OB_KAMSH");
    p.pair(c1, y + 2 * kRowStep, 27, 12, "Высота камеры, м", "OB_KAMVS");
    p.pair(c1, y + 3 * kRowStep, 27, 12, "Объем камеры, м3", "ob_kamv");
    p.pair(c2, y, 46, 18, "Температура в камере, С", "OB_TEMKAM");
    p.pair(c2, y + kRowStep, 46, 18, "Режим термообработки", "OB_TERMR");
    p.pair(c2, y + 2 * kRowStep, 46, 18, "Время работы оборудования, ч", "OB_TIMEWRK");
    p.pair(c3, y, 11, CS::kRight - c3 - 11, "Регион", "OB_RGNAIM");
    p.pair(c3, y + kRowStep, 43, CS::kRight - c3 - 43, "Температура, С", "OB_RGTMAX");
    p.pair(c3, y + 2 * kRowStep, 43, CS::kRight - c3 - 43, "Относительная влажность, %",
           "OB_RGVLAJ");
    return top + 23.5;
}

// b. Walls.
double wallsGroup(CalcPage& p, double top) {
    static const double w[7] = {17, 49, 17, 49, 17, 19, 18};
    static const char* const heads[7] = {"",
                                         "Материал стен",
                                         "Толщина, мм",
                                         "Материал изоляции",
                                         "Толщина, мм",
                                         "Темп-ра снаружи",
                                         "Теплопри- ток, кВт"};
    static const char* const rows[6] = {"Стена А", "Стена Б", "Стена В",
                                        "Стена Г", "Потолок", "Пол"};
    const double bottom = p.tableFrame(top, w, 7, 6);
    double x = CS::kLeft;
    for (int c = 0; c < 7; ++c) {
        p.heading(x, top, w[c], kTableHead, heads[c]);
        x += w[c];
    }
    for (int r = 0; r < 6; ++r) {
        const double y = top + kTableHead + r * kTableRow;
        const std::string n = std::to_string(r + 1);
        x = CS::kLeft;
        p.cell(x, y, w[0], rows[r], {}, bold8());
        const std::string fields[5] = {"ST_M" + n, "ST_MT" + n, "ST_IZ" + n, "ST_IZT" + n,
                                       "ST_TEM" + n};
        x += w[0];
        for (int c = 0; c < 5; ++c) {
            p.cell(x, y, w[c + 1], p.src_.fieldText(fields[c]), fields[c]);
            x += w[c + 1];
        }
        p.cell(x, y, w[6], p.src_.labelText(70 + r), CalcPage::labelKey(70 + r),
               centred(true, true));
    }
    return p.gainBox(bottom + 1.2, 1);
}

// c. Ventilation.
double ventilationGroup(CalcPage& p, double top) {
    p.labelPair(CS::kLeft, top, 47, 24, "Кратность вентиляции в камере", 77);
    return p.gainBox(top + kRowStep, 2);
}

// d. Door and infiltration.
double doorGroup(CalcPage& p, double top) {
    p.labelPair(CS::kLeft, top, 21, 70, "Тип двери", 79);
    p.pair(CS::kLeft, top + kRowStep, 21, 70, "Тип завесы", "IN_ZAV");
    p.pair(CS::kLeft, top + 2 * kRowStep, 21, 70, "Тип товара", "IN_TOV");
    const double c2 = 110;
    p.pair(c2, top, 32, 30, "Высота двери, м", "IN_DV");
    p.pair(c2, top + kRowStep, 32, 30, "Длина двери, м", "IN_DH");
    p.labelPair(c2, top + 2 * kRowStep, 32, 30, "Количество проходов", 97);
    return p.gainBox(top + 3 * kRowStep, 3);
}

// e. Products.
double productsGroup(CalcPage& p, double top) {
    static const double w[7] = {17, 58, 24, 24, 22, 22, 19};
    const double half = kTableHead / 2;
    const double vStart[6] = {0, 0, 0, 0, half, 0};
    const double bottom = p.tableFrame(top, w, 7, 2, vStart);
    double xs[7] = {CS::kLeft};
    for (int c = 1; c < 7; ++c)
        xs[c] = xs[c - 1] + w[c - 1];
    p.heading(xs[1], top, w[1], kTableHead, "Тип");
    p.heading(xs[2], top, w[2], kTableHead, "Хранимая масса, кг");
    p.heading(xs[3], top, w[3], kTableHead, "Суточный оборот, кг");
    // "Температура, С" spans its two sub-headings.
    p.heading(xs[4], top, w[4] + w[5], half, "Температура, С");
    p.page_.addLine(xs[4], top + half, xs[6], top + half, CS::kThinLine);
    p.heading(xs[4], top + half, w[4], half, "начальная");
    p.heading(xs[5], top + half, w[5], half, "конечная");
    p.heading(xs[6], top, w[6], kTableHead, "Теплопри- ток, кВт");
    struct Row {
        const char* caption;
        const char* f[5];
        int label;
    };
    static const Row rows[2] = {
        {"Продукт", {"TE_PTIP", "TE_PMAS", "TE_POBOR", "TE_PT0", "TE_PT1"}, 81},
        {"Тара", {"TE_TTIP", "TE_TMAS", "TE_TOBOR", "TE_TT0", "TE_TT1"}, 82},
    };
    for (int r = 0; r < 2; ++r) {
        const double y = top + kTableHead + r * kTableRow;
        p.cell(xs[0], y, w[0], rows[r].caption, {}, bold8());
        for (int c = 0; c < 5; ++c)
            p.cell(xs[c + 1], y, w[c + 1], p.src_.fieldText(rows[r].f[c]), rows[r].f[c]);
        p.cell(xs[6], y, w[6], p.src_.labelText(rows[r].label), CalcPage::labelKey(rows[r].label),
               centred(true, true));
    }
    const double y = p.gainBox(bottom + 1.2, 4);
    return p.gainBox(y + 1, 5);
}

// f. to i.: one or two inputs and the gain box.
double simpleGroup(CalcPage& p, double top, const char* cap1, double cw1, const char* f1,
                   const char* cap2, double cw2, const char* f2, int box) {
    p.pair(CS::kLeft, top, cw1, 24, cap1, f1);
    if (cap2)
        p.pair(110, top, cw2, CS::kRight - 110 - cw2, cap2, f2);
    return p.gainBox(top + kRowStep, box);
}

// i. Air-cooler fans, and the heaters and the defrost once they are part of gain 9.
double fansGroup(CalcPage& p, double top) {
    const bool heaters = !p.src_.fansCaption.empty();
    p.pair(CS::kLeft, top, 44, 24, "Количество вентиляторов ВО", "VO_KOLVO");
    p.pair(110, top, 50, CS::kRight - 160, "Мощность вентиляторов ВО, кВт", "VO_POW");
    if (!heaters)
        return p.gainBox(top + kRowStep, 9);
    const double y = top + kRowStep - 0.4;
    p.pair(CS::kLeft, y, 44, 24, "ТЭНы в камере, кВт", "VO_TEN");
    // one defrost line: power, defrosts a day, minutes, the share reaching the chamber
    auto value = [&p](const char* f) {
        const std::string t = p.src_.fieldText(f);
        return t.empty() ? std::string("0") : t;
    };
    const std::string defrost = value("VO_OTTPOW") + " кВт × " + value("VO_OTTKOL") + " × " +
                                value("VO_OTTMIN") + " мин × " + value("VO_OTTDOL");
    CS::addPair(p.page_, 110, y, 18, CS::kRight - 128, "Оттайка", defrost, "defrost");
    return p.gainBox(y + kRowStep, 9);
}

// j. Totals.
double totalsGroup(CalcPage& p, double top) {
    double y = p.gainBox(top, 10);
    p.pair(CS::kLeft, y + 1.2, 32, 24, "Коэффициент запаса", "OB_KZAPAS");
    y += 6.4;
    y = CS::addRequiredCapacity(p.page_, CS::kLeft, y, 110,
                                CS::kRight - CalcPage::kGainValueWidth - 2,
                                CalcPage::kGainValueWidth + 2, p.src_.labelText(98)) +
        1;
    p.page_.addLine(ReportDocument::kMargin, y,
                    ReportDocument::kPageWidth - ReportDocument::kMargin, y, CS::kThinLine);
    return y;
}

// k. Chosen equipment: each value centred in a box.
double equipmentGroup(CalcPage& p, double top) {
    auto boxed = [&p](double x, double y, double cw, double vw, const char* caption,
                      const char* field, double h = 5.0, bool wrap = false) {
        TextStyle cap = bold8();
        p.page_.addText({x, y, cw, h}, caption, cap);
        p.page_.addRect({x + cw, y, vw, h}, CS::kThinLine);
        TextStyle value = centred();
        value.wrap = wrap;
        value.maxLines = wrap ? 2 : 1;
        const double inset = wrap ? (h - 7.2) / 2 : 0;
        p.page_.addText({x + cw + 0.8, y + inset, vw - 1.6, h - 2 * inset}, p.src_.fieldText(field),
                        value, field);
    };
    const double full = CS::kRight - CS::kLeft;
    // A remark that the choice no longer fits takes a line of its own: the rows close up.
    const bool remark = !p.src_.warnings.empty();
    const double nameHeight = remark ? 7.6 : 8.4;
    boxed(CS::kLeft, top, 38, full - 38, "Выбранное оборудование", "OBR_NAIM", nameHeight, true);
    double y = top + nameHeight + (remark ? 0.6 : 1.2);
    boxed(CS::kLeft, y, 15, 22, "Система", "SIS");
    boxed(CS::kLeft + 39, y, 33, 38, "Агрегат (конденсатор)", "OBR_AGR");
    boxed(CS::kLeft + 112, y, 7, 30, "ВО", "OBR_VO");
    boxed(CS::kLeft + 151, y, 10, full - 161, "Шкаф", "OBR_SHKAF");
    y += remark ? 5.6 : 6.2;
    boxed(CS::kLeft, y, 28, 32, "Набор монтажника", "OBR_KMONT");
    boxed(CS::kLeft + 63, y, 50, 22, "Производительность системы, Вт", "PROIZSYS");
    boxed(CS::kLeft + 138, y, 29, full - 167, "Количество систем", "KOLSYS");
    y += 5;
    // the warnings, a line each, in what the page has left
    TextStyle style = bold8();
    style.italic = true;
    style.pointSize = 7.5;
    for (size_t i = 0; i < p.src_.warnings.size(); ++i) {
        const int lines = warningLines(p.src_.warnings[i]);
        TextStyle s = style;
        s.wrap = lines > 1;
        s.maxLines = lines;
        p.page_.addText({CS::kLeft, y + 0.1, full, lines * kWarningLine - 0.1},
                        p.src_.warnings[i], s, "warning" + std::to_string(i));
        y += lines * kWarningLine;
    }
    return y;
}

} // namespace

ReportDocument CalcReportLayout::layout(const ReportSource& src) {
    ReportDocument doc;
    doc.pages.emplace_back();
    ReportPage& page = doc.pages.back();
    CS::addFrame(page);
    CS::addTitleBand(page, src, "title");

    const double top = CS::kTop + CS::kTitleHeight;
    page.addSection("calculation", top, kCalcHeight);
    // The page never grows: the heaters' row, and the warnings beyond the line the closed-up
    // equipment rows leave, are taken from the gaps between the groups.
    double extra = src.fansCaption.empty() ? 0 : kRowStep - 0.4;
    ReportSource fitted = src;
    fitted.warnings = fittingWarnings(src.warnings, kGaps * (kGroupGap - kMinGap) + kWarningLine -
                                                        extra);
    for (const std::string& w : fitted.warnings)
        extra += warningLines(w) * kWarningLine;
    // with a warning the equipment rows close up and leave one line of their own
    const double spare = fitted.warnings.empty() ? 0.0 : kWarningLine;
    const double gap = kGroupGap - std::max(0.0, extra - spare) / kGaps;
    CalcPage p(page, fitted);
    double y = chamberGroup(p, top);
    y = wallsGroup(p, y + 1.0);
    y = ventilationGroup(p, y + gap);
    y = doorGroup(p, y + gap);
    y = productsGroup(p, y + gap);
    y = simpleGroup(p, y + gap, "Время работы освещения, час/сут", 50, "OS_TIME",
                    "Мощность освещения, Вт/м2", 42, "OS_POW", 6);
    y = simpleGroup(p, y + gap, "Число рабочих в камере, чел.", 44, "PER_KOL", nullptr, 0,
                    nullptr, 7);
    y = simpleGroup(p, y + gap, "Полная мощность подъемно-транспортных средств, кВт", 83,
                    "TRS_POW", nullptr, 0, nullptr, 8);
    y = fansGroup(p, y + gap);
    y = totalsGroup(p, y + gap);
    equipmentGroup(p, y + (fitted.warnings.empty() ? 1.6 : 0.8));
    page.addLine(ReportDocument::kMargin, top + kCalcHeight,
                 ReportDocument::kPageWidth - ReportDocument::kMargin, top + kCalcHeight,
                 CS::kThickLine);

    CS::addFooter(page, src, kFooterHeight, false);
    return doc;
}

} // namespace vorn
