// The offer's pages as data: long tables run over pages with their headings repeated,
// nothing runs into the footer, and each figure is where its key says.
#include "project/OfferLayout.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

OfferSource manyChambers(int count) {
    OfferSource src;
    src.headerLines = {"ООО Север", "Москва"};
    src.versionLine = "Vorn";
    ProjectSummary& s = src.summary;
    s.settings.client = "ООО Холод";
    s.settings.number = "КП-7";
    s.settings.date = {2026, 3, 5};
    for (int i = 0; i < count; ++i) {
        ChamberLine c;
        c.entry = {"calc/c" + std::to_string(i) + ".vrn", 1, ""};
        c.figures.requiredKw = 1.25;
        c.figures.system = "А010-1";
        c.energyKwh = 1000;
        if (i == 1)
            c.figures.error = c.flag = "файл не найден";
        s.chambers.push_back(c);
    }
    s.materials.push_back({MaterialLine::Kind::Unit, "АГС-010С", "Агрегат", 3, 1500.5, 4501.5});
    s.materials.push_back({MaterialLine::Kind::Kit, "НМ-1", "Набор монтажника", 3, {}, {}});
    s.totals.equipment = 4501.5;
    s.totals.vat = 900.3;
    s.totals.total = 5401.8;
    s.totals.complete = false;
    return src;
}

const ReportItem* findAny(const ReportDocument& doc, const std::string& key) {
    for (const ReportPage& p : doc.pages)
        if (const ReportItem* item = p.find(key))
            return item;
    return nullptr;
}

TEST(OfferLayout, TablesRunOverPagesClearOfTheFooter) {
    const ReportDocument doc = OfferLayout::layout(manyChambers(90));
    ASSERT_GE(doc.pages.size(), 2u);
    for (const ReportPage& p : doc.pages) {
        ASSERT_TRUE(p.find("Title"));
        EXPECT_EQ(p.find("Title")->text, "Коммерческое предложение");
        EXPECT_EQ(p.find("HeaderBlock")->text, "ООО Север\nМосква");
        ASSERT_TRUE(p.find("Executor"));
        const double footer = p.section("pageFooter")->top;
        for (const ReportItem& item : p.items)
            if (item.kind == ReportItem::Kind::Text && item.key.rfind("Chamber", 0) == 0)
                EXPECT_LE(item.rect.bottom(), footer + 1e-9) << item.key;
    }
    // The column headings repeat on the page the chambers run onto.
    int headings = 0;
    for (const ReportItem& item : doc.pages[1].items)
        headings += item.text == "Qx, кВт";
    EXPECT_EQ(headings, 1);
    for (int i = 1; i <= 90; ++i)
        EXPECT_TRUE(findAny(doc, "Chamber" + std::to_string(i) + ".1")) << i;

    struct Want {
        const char* key;
        const char* text;
    };
    const Want want[] = {{"Client", "ООО Холод"},
                         {"Number", "№ КП-7 от 05.03.2026"},
                         {"Chamber2.3", "не учтена: файл не найден"},
                         {"Material1.5", "4 501,50"},
                         {"Material2.4", "цена не указана"},
                         {"Vat", "900,30"},
                         {"Total", "5 401,80"},
                         {"Tariff", "не задан"},
                         {"RunningCost", "не оценена"}};
    for (const Want& w : want) {
        const ReportItem* item = findAny(doc, w.key);
        ASSERT_TRUE(item) << w.key;
        // grouping uses a non-breaking space
        std::string text = item->text;
        for (size_t p; (p = text.find("\u00a0")) != std::string::npos;)
            text.replace(p, 2, " ");
        EXPECT_EQ(text, w.text) << w.key;
    }
    EXPECT_TRUE(findAny(doc, "Incomplete"));
    EXPECT_TRUE(findAny(doc, "EstimateNote"));
}

} // namespace
} // namespace vorn
