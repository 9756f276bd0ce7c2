#include "reports/SystemsListLayout.h"

#include <gtest/gtest.h>
#include <string>

namespace vorn {
namespace {

SystemsListSource listOf(size_t rows) {
    SystemsListSource src;
    src.common.field = [](const std::string& f) { return f; };
    src.classCaption = "+12";
    src.capacityLabel = "7,65";
    src.columnCaptions = {"Система",
                          "Агрегат (конденсатор)",
                          "Воздухо- охладитель",
                          "Q +40°С",
                          "dT +40°С",
                          "P",
                          "I",
                          "N",
                          "Ш"};
    for (size_t i = 0; i < rows; ++i)
        src.rows.push_back(
            {"S" + std::to_string(i), "A", "V", "7820", "6,4", "3,75", "6,8", "НМ-4", "ШУ"});
    return src;
}

TEST(SystemsListLayout, SummaryOnPageOneRowsFromPageTwo) {
    const int per = SystemsListLayout::rowsPerPage();
    EXPECT_EQ(per, 51); // (277 - 18.5 - 16.9 - 23.3) / 4.2
    const std::pair<size_t, size_t> cases[] = {
        {0, 2}, {1, 2}, {size_t(per), 2}, {size_t(per) + 1, 3}, {3 * size_t(per), 4}};
    for (const auto& [rows, pages] : cases) {
        const ReportDocument doc = SystemsListLayout::layout(listOf(rows));
        ASSERT_EQ(doc.pages.size(), pages) << rows << " rows";

        const ReportPage& first = doc.pages[0];
        const ReportSection* summary = first.section("summary");
        const ReportSection* footer = first.section("pageFooter");
        ASSERT_TRUE(summary && footer && first.section("pageHeader"));
        EXPECT_EQ(first.section("columnHeader"), nullptr);
        EXPECT_DOUBLE_EQ(summary->height, 26.7);
        EXPECT_NEAR(summary->top + summary->height, footer->top, 1e-9) << "directly above";
        EXPECT_NEAR(footer->top + footer->height, 287, 1e-9);
        EXPECT_EQ(first.find("QRLabel98")->text, "7,65");

        // The rows in their order, each page with its page header, column header and footer.
        size_t next = 0;
        for (size_t p = 1; p < doc.pages.size(); ++p) {
            const ReportPage& page = doc.pages[p];
            ASSERT_TRUE(page.section("pageHeader") && page.section("columnHeader") &&
                        page.section("pageFooter"));
            EXPECT_EQ(page.find("QRLabel14")->text,
                      "Холодильные системы для +12 °С в охлаждаемом объеме");
            EXPECT_EQ(page.find("Caption3")->text, "Q +40°С");
            EXPECT_EQ(page.find("Caption4")->text, "dT +40°С");
            for (const ReportItem& item : page.items) {
                if (item.key != "Column0")
                    continue;
                EXPECT_EQ(item.text, "S" + std::to_string(next++));
                EXPECT_LE(item.rect.bottom(), page.section("pageFooter")->top + 1e-9);
            }
        }
        EXPECT_EQ(next, rows);
    }
}

TEST(SystemsListLayout, ColumnsKeepTheirWidthsAndAlignment) {
    const ReportPage page = SystemsListLayout::layout(listOf(1)).pages[1];
    const HAlign align[9] = {HAlign::Right,  HAlign::Right,  HAlign::Right,
                             HAlign::Center, HAlign::Center, HAlign::Center,
                             HAlign::Center, HAlign::Right,  HAlign::Right};
    double x = page.find("Column0")->rect.x - 0.5;
    EXPECT_GE(x, 10.0);
    for (int c = 0; c < 9; ++c) {
        const ReportItem* cell = page.find("Column" + std::to_string(c));
        EXPECT_NEAR(cell->rect.x - 0.5, x, 1e-9) << c;
        EXPECT_NEAR(cell->rect.w + 1, SystemsListLayout::kColumnWidths[c], 1e-9) << c;
        EXPECT_EQ(cell->style.align, align[c]) << c;
        x += SystemsListLayout::kColumnWidths[c];
    }
    EXPECT_LE(x, 200.0);
}

} // namespace
} // namespace vorn
