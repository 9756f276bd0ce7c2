#include "reports/CalcReportLayout.h"

#include <gtest/gtest.h>
#include <string>

namespace vorn {
namespace {

// Every field and label prints the given text.
ReportSource sourceOf(const std::string& text) {
    ReportSource src;
    src.headerLines = {text, text, text, text};
    src.fileLabel = text;
    src.versionLine = text;
    src.field = [text](const std::string&) { return text; };
    src.label = [text](int) { return text; };
    return src;
}

// Fields, then labels, the calculation report binds.
const char* const kBound[] = {
    "OB_KAMDL",  "OB_KAMSH",  "OB_KAMVS",  "ob_kamv", "OB_TEMKAM", "OB_TERMR",  "OB_TIMEWRK",
    "OB_RGNAIM", "OB_RGTMAX", "OB_RGVLAJ", "ST_M1",   "ST_MT3",    "ST_IZ6",    "ST_IZT2",
    "ST_TEM5",   "IN_ZAV",    "IN_TOV",    "IN_DV",   "IN_DH",     "TE_PTIP",   "TE_PMAS",
    "TE_POBOR",  "TE_PT0",    "TE_PT1",    "TE_TTIP", "TE_TMAS",   "TE_TOBOR",  "TE_TT0",
    "TE_TT1",    "OS_TIME",   "OS_POW",    "PER_KOL", "TRS_POW",   "VO_KOLVO",  "VO_POW",
    "OB_KZAPAS", "OBR_NAIM",  "SIS",       "OBR_AGR", "OBR_VO",    "OBR_SHKAF", "OBR_KMONT",
    "PROIZSYS",  "KOLSYS",    "KL_NAIM",   "OB_ISP",  "KL_PRIM",
};
const int kLabels[] = {70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80,
                       81, 82, 83, 84, 85, 86, 87, 88, 93, 97, 98};

TEST(CalcReportLayout, SectionsFillTheSheetBetweenTheMargins) {
    const ReportDocument doc = CalcReportLayout::layout(sourceOf("x"));
    ASSERT_EQ(doc.pages.size(), 1u);
    const auto& s = doc.pages[0].sections;
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].name, "title");
    EXPECT_DOUBLE_EQ(s[0].top, 10);
    EXPECT_DOUBLE_EQ(s[0].height, 18.5);
    EXPECT_DOUBLE_EQ(s[1].top, s[0].top + s[0].height);
    EXPECT_DOUBLE_EQ(s[1].height, 237.1);
    EXPECT_EQ(s[2].name, "pageFooter");
    EXPECT_DOUBLE_EQ(s[2].height, 21.2);
    EXPECT_NEAR(s[2].top + s[2].height, 287, 1e-9);
    // The three heights leave 0.2 mm of the 277 mm band, between detail and footer.
    EXPECT_NEAR(s[0].height + s[1].height + s[2].height, 277, 0.21);
    EXPECT_GE(s[2].top, s[1].top + s[1].height);
}

TEST(CalcReportLayout, EveryTextStaysInsideOneSection) {
    // plain, and with the heaters' row and two warnings, one long: the page never grows
    ReportSource full = sourceOf("x");
    full.fansCaption = "Теплоприток от двигателей вентиляторов и ТЭНов Qво, кВт";
    full.warnings = {"Выбранное оборудование не соответствует потребной холодопроизводительности",
                     std::string(300, 'w')};
    // more warnings than the page holds: as many as fit, and how many more there are
    ReportSource crowded = full;
    crowded.warnings.resize(9, "Предупреждение");
    ReportSource heatersOnly = full; // the heaters' row with nothing to warn about
    heatersOnly.warnings.clear();
    for (const ReportSource& src : {sourceOf("x"), full, crowded, heatersOnly}) {
    const ReportPage page = CalcReportLayout::layout(src).pages[0];
    SCOPED_TRACE(src.warnings.size());
    for (const ReportItem& item : page.items) {
        if (item.kind == ReportItem::Kind::Line && item.lineWidth > 0.3)
            continue; // the section rules themselves
        if (item.kind == ReportItem::Kind::Rect && item.rect.h > 200)
            continue; // the frame
        int inside = 0;
        for (const ReportSection& s : page.sections)
            inside += item.rect.y >= s.top - 1e-9 && item.rect.bottom() <= s.top + s.height + 1e-9;
        EXPECT_EQ(inside, 1) << item.text << " " << item.key << " at " << item.rect.y;
        EXPECT_GE(item.rect.x, 10.0);
        EXPECT_LE(item.rect.right(), 200.0 + 1e-9) << item.text << item.key;
    }
    }
    const ReportPage last = CalcReportLayout::layout(crowded).pages[0];
    int shown = 0;
    for (const ReportItem& item : last.items)
        if (item.key.rfind("warning", 0) == 0) {
            ++shown;
            if (item.text.rfind("… и еще предупреждений:", 0) == 0)
                EXPECT_NE(item.text.find("расчетной записке"), std::string::npos);
        }
    EXPECT_GE(shown, 3);
    EXPECT_LT(shown, 9);
    const ReportPage page = CalcReportLayout::layout(sourceOf("x")).pages[0];
    // The header block at its fixed place.
    const ReportItem* header = page.find("HeaderBlock");
    ASSERT_NE(header, nullptr);
    EXPECT_DOUBLE_EQ(header->rect.x, 53.4);
    EXPECT_DOUBLE_EQ(header->rect.y, 11.1);
    EXPECT_DOUBLE_EQ(header->rect.w, 145.3);
    EXPECT_DOUBLE_EQ(header->rect.h, 11.9);
    EXPECT_EQ(header->style.maxLines, 3);
}

TEST(CalcReportLayout, LongTextsChangeNothingButTheText) {
    const std::string longText(400, 'W');
    const ReportDocument shortDoc = CalcReportLayout::layout(sourceOf("1"));
    const ReportDocument longDoc = CalcReportLayout::layout(sourceOf(longText));
    ASSERT_EQ(longDoc.pages.size(), 1u);
    ASSERT_EQ(longDoc.pages[0].items.size(), shortDoc.pages[0].items.size());
    for (size_t i = 0; i < shortDoc.pages[0].items.size(); ++i) {
        const RectMm a = shortDoc.pages[0].items[i].rect, b = longDoc.pages[0].items[i].rect;
        EXPECT_TRUE(a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h) << i;
    }
}

TEST(CalcReportLayout, BindsEveryFieldAndLabelOnce) {
    ReportSource src;
    src.field = [](const std::string& f) { return "f:" + f; };
    src.label = [](int n) { return "l:" + std::to_string(n); };
    src.fileLabel = "/home/u/a.vrn";
    src.versionLine = "v";
    const ReportPage page = CalcReportLayout::layout(src).pages[0];
    for (const char* f : kBound) {
        const ReportItem* item = page.find(f);
        ASSERT_NE(item, nullptr) << f;
        EXPECT_EQ(item->text, std::string("f:") + f);
    }
    for (int n : kLabels) {
        const std::string key = "QRLabel" + std::to_string(n);
        const ReportItem* item = page.find(key);
        ASSERT_NE(item, nullptr) << key;
        EXPECT_EQ(item->text, "l:" + std::to_string(n));
    }
    EXPECT_EQ(page.find("QRLabel90")->text, "/home/u/a.vrn");
    EXPECT_EQ(page.find("QRLabel89")->style.pointSize, 7);
    EXPECT_EQ(page.find("QRLabel90")->style.align, HAlign::Right);
    // The gains form one column: same right edge, bold 10 pt.
    const double right = page.find("QRLabel76")->rect.right();
    for (int n : {76, 78, 80, 83, 84, 85, 86, 87, 88, 93}) {
        const ReportItem* gain = page.find("QRLabel" + std::to_string(n));
        EXPECT_DOUBLE_EQ(gain->rect.right(), right) << n;
        EXPECT_TRUE(gain->style.bold && gain->style.pointSize == 10 &&
                    gain->style.align == HAlign::Right)
            << n;
    }
    const ReportItem* capacity = page.find("QRLabel98");
    EXPECT_TRUE(capacity->style.bold && capacity->style.italic && capacity->style.pointSize == 12);
}

} // namespace
} // namespace vorn
