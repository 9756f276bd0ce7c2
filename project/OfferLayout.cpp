#include "project/OfferLayout.h"

#include "calc/NumberFormat.h"
#include "reports/CommonSections.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace vorn {

namespace {

using CS = CommonSections;

struct Column {
    const char* caption;
    double width;
    HAlign align;
};

const Column kChamberColumns[] = {
    {"№", 7, HAlign::Center},      {"Камера", 45, HAlign::Left},
    {"t, °С", 11, HAlign::Right},  {"Режим", 20, HAlign::Left},
    {"V, м3", 14, HAlign::Right},  {"Qx, кВт", 16, HAlign::Right},
    {"Система", 22, HAlign::Left}, {"Систем", 12, HAlign::Right},
    {"Кол-во", 12, HAlign::Right}, {"Энергия, кВт·ч/год", 27, HAlign::Right},
};
const Column kMaterialColumns[] = {
    {"№", 7, HAlign::Center},           {"Артикул", 27, HAlign::Left},
    {"Наименование", 82, HAlign::Left}, {"Кол-во", 12, HAlign::Right},
    {"Цена", 27, HAlign::Right},        {"Сумма", 31, HAlign::Right},
};

// The pages, with a cursor running down the current one.
class Writer {
public:
    explicit Writer(const OfferSource& src) : src_(src) {}

    ReportDocument doc;
    double y = 0;

    ReportPage& page() { return doc.pages.back(); }

    void newPage() {
        doc.pages.emplace_back();
        ReportPage& p = page();
        CS::addFrame(p);
        titleBand(p);
        footer(p);
        y = CS::kTop + CS::kTitleHeight + 2;
    }
    double bottom() const { return CS::kBottom - OfferLayout::kFooterHeight; }
    // Room for h more millimetres, on a new page if need be; true when a page began.
    bool room(double h) {
        if (doc.pages.empty() || y + h > bottom()) {
            newPage();
            return true;
        }
        return false;
    }

    void heading(const std::string& text, const std::string& key) {
        room(7 + 2 * OfferLayout::kRowHeight);
        TextStyle s;
        s.pointSize = 11;
        s.bold = true;
        page().addText({CS::kLeft, y, CS::kRight - CS::kLeft, 6}, text, s, key);
        y += 7;
    }

    template <size_t N> void columnHeads(const Column (&cols)[N]) {
        TextStyle s;
        s.bold = true;
        s.wrap = true;
        s.maxLines = 2;
        s.middle = true;
        const double h = 2 * CS::kRowHeight;
        double x = CS::kLeft;
        page().addLine(CS::kLeft, y, CS::kRight, y, CS::kThinLine);
        for (const Column& c : cols) {
            s.align = c.align;
            page().addText({x + 0.5, y, c.width - 1, h}, c.caption, s);
            x += c.width;
        }
        y += h;
        page().addLine(CS::kLeft, y, CS::kRight, y, CS::kThinLine);
        y += 0.5;
    }

    // One table row; starts a new page with the column heads when it does not fit.
    template <size_t N>
    void row(const Column (&cols)[N], const std::vector<std::string>& cells,
             const std::string& keyPrefix, bool bold = false) {
        if (room(OfferLayout::kRowHeight))
            columnHeads(cols);
        double x = CS::kLeft;
        for (size_t i = 0; i < N; ++i) {
            TextStyle s;
            s.align = cols[i].align;
            s.bold = bold;
            const std::string text = i < cells.size() ? cells[i] : "";
            page().addText({x + 0.5, y, cols[i].width - 1, OfferLayout::kRowHeight}, text, s,
                           keyPrefix + "." + std::to_string(i));
            x += cols[i].width;
        }
        y += OfferLayout::kRowHeight;
    }

    // A caption and its value right-aligned at the right edge.
    void total(const std::string& caption, const std::string& value, const std::string& key,
               bool bold = false) {
        room(OfferLayout::kRowHeight);
        TextStyle c;
        c.bold = bold;
        c.align = HAlign::Right;
        page().addText({CS::kLeft, y, 130, OfferLayout::kRowHeight}, caption, c);
        TextStyle v = c;
        page().addText({CS::kLeft + 130, y, CS::kRight - CS::kLeft - 130, OfferLayout::kRowHeight},
                       value, v, key);
        y += OfferLayout::kRowHeight;
    }

    void note(const std::string& text, const std::string& key, int lines) {
        const double h = lines * CS::kRowHeight;
        room(h);
        TextStyle s;
        s.italic = true;
        s.wrap = true;
        s.maxLines = lines;
        page().addText({CS::kLeft, y, CS::kRight - CS::kLeft, h}, text, s, key);
        y += h;
    }

private:
    void titleBand(ReportPage& p) {
        const double top = CS::kTop;
        p.addSection("pageHeader", top, CS::kTitleHeight);
        const double logoW = 125 * 25.4 / 96, logoH = 48 * 25.4 / 96;
        const RectMm area{ReportDocument::kMargin + 0.8, top + 0.6, 42, 17};
        p.addPicture({area.x + (area.w - logoW) / 2, area.y + (area.h - logoH) / 2, logoW, logoH},
                     Picture::Logo);
        CS::addHeaderBlock(p, src_.headerLines);
        TextStyle title;
        title.pointSize = 14;
        title.bold = true;
        title.align = HAlign::Center;
        p.addText({53.4, 23.0, 145.3, 5.3}, OfferLayout::kTitle, title, "Title");
        p.addLine(ReportDocument::kMargin, top + CS::kTitleHeight,
                  ReportDocument::kPageWidth - ReportDocument::kMargin, top + CS::kTitleHeight,
                  CS::kThickLine);
    }

    void footer(ReportPage& p) {
        const double top = CS::kBottom - OfferLayout::kFooterHeight;
        p.addSection("pageFooter", top, OfferLayout::kFooterHeight);
        p.addLine(ReportDocument::kMargin, top,
                  ReportDocument::kPageWidth - ReportDocument::kMargin, top, CS::kThinLine);
        CS::addPair(p, CS::kLeft, top + 1.2, 21, 100, "Исполнитель",
                    OfferLayout::executor(src_.summary), "Executor");
        TextStyle right;
        right.align = HAlign::Right;
        p.addText({122, top + 1.2, CS::kRight - 122, CS::kRowHeight},
                  "Лист " + std::to_string(doc.pages.size()), right, "PageNumber");
        TextStyle version;
        version.pointSize = 7;
        version.align = HAlign::Center;
        p.addText({CS::kLeft, CS::kBottom - 4.2, CS::kRight - CS::kLeft, 3.4}, src_.versionLine,
                  version, "Version");
    }

    const OfferSource& src_;
};

std::string temperatureText(double t) {
    return formatMask0(t);
}

} // namespace

std::string OfferLayout::executor(const ProjectSummary& s) {
    if (!s.settings.executor.empty())
        return s.settings.executor;
    for (const ChamberLine& c : s.chambers)
        if (c.counted() && !c.figures.executor.empty())
            return c.figures.executor;
    return {};
}

std::string OfferLayout::chamberName(const ChamberLine& c) {
    if (!c.entry.note.empty())
        return c.entry.note;
    return std::filesystem::u8path(c.entry.file).filename().u8string();
}

std::string OfferLayout::dateText(const Date& d) {
    if (!d.year)
        return {};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
    return buf;
}

std::string OfferLayout::offerNumber(const OfferSettings& s) {
    std::string text = s.number.empty() ? std::string() : "№ " + s.number;
    if (s.date.year)
        text += (text.empty() ? "от " : " от ") + dateText(s.date);
    return text;
}

std::string OfferLayout::moneyText(double v) {
    return formatGrouped2(v);
}

std::string OfferLayout::wholeText(double v) {
    std::string s = formatGrouped2(std::round(v));
    return s.substr(0, s.rfind(','));
}

ReportDocument OfferLayout::layout(const OfferSource& src) {
    const ProjectSummary& s = src.summary;
    const OfferSettings& set = s.settings;
    const std::string& cur = set.currency;
    Writer w(src);
    w.newPage();

    CS::addPair(w.page(), CS::kLeft, w.y, 14, 170, "Клиент", set.client, "Client");
    w.y += OfferLayout::kRowHeight;
    const std::string number = offerNumber(set);
    CS::addPair(w.page(), CS::kLeft, w.y, 30, 154, "Предложение", number, "Number");
    w.y += OfferLayout::kRowHeight + 3;

    w.heading("Камеры", "ChambersHeading");
    w.columnHeads(kChamberColumns);
    int n = 0;
    for (const ChamberLine& c : s.chambers) {
        ++n;
        const ChamberFigures& f = c.figures;
        const std::string key = "Chamber" + std::to_string(n);
        if (!c.counted()) {
            w.row(kChamberColumns,
                  {std::to_string(n), chamberName(c), "", "не учтена: " + c.flag, "", "", "", "",
                   std::to_string(c.entry.qty), ""},
                  key);
            continue;
        }
        w.row(kChamberColumns,
              {std::to_string(n), chamberName(c), temperatureText(f.temperature), f.regime,
               formatMask2(f.volume), formatMask2(f.requiredKw),
               f.system.empty() ? "не выбрана" : f.system, std::to_string(f.systems),
               std::to_string(c.entry.qty), c.energyKwh ? wholeText(*c.energyKwh) : "нет"},
              key);
    }
    w.row(kChamberColumns,
          {"", "Итого", "", "", "", formatMask2(s.totals.requiredKw), "", "", "",
           wholeText(s.totals.energyKwh)},
          "ChamberTotals", true);
    w.y += 3;

    w.heading("Оборудование", "MaterialsHeading");
    w.columnHeads(kMaterialColumns);
    n = 0;
    for (const MaterialLine& m : s.materials) {
        ++n;
        w.row(kMaterialColumns,
              {std::to_string(n), m.article, m.name, std::to_string(m.qty),
               m.price ? moneyText(*m.price) : ProjectSummaries::kNoPrice,
               m.sum ? moneyText(*m.sum) : ""},
              "Material" + std::to_string(n));
    }
    w.y += 2;
    w.total("Итого оборудование, " + cur, moneyText(s.totals.equipment), "Equipment");
    w.total("НДС " + formatMask2(set.vatPercent) + " %, " + cur, moneyText(s.totals.vat), "Vat");
    w.total("Всего с НДС, " + cur, moneyText(s.totals.total), "Total", true);
    if (!s.totals.complete)
        w.note("Итоги неполные: не для всех позиций указана цена или не все камеры учтены.",
               "Incomplete", 1);
    w.y += 3;

    w.heading("Энергопотребление", "EnergyHeading");
    w.total("Годовое энергопотребление, кВт·ч", wholeText(s.totals.energyKwh), "Energy");
    w.total("Тариф, " + cur + " за кВт·ч", set.tariff > 0 ? formatMask2(set.tariff) : "не задан",
            "Tariff");
    w.total("Стоимость электроэнергии в год, " + cur,
            s.totals.runningCost ? moneyText(*s.totals.runningCost) : "не оценена", "RunningCost",
            true);
    w.note(ProjectSummaries::kEstimateNote, "EstimateNote", 2);
    return w.doc;
}

} // namespace vorn
