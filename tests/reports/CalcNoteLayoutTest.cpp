// The calculation note's pages: numbered "Лист N из M", every row of every table printed
// once inside the body of a page, a table continued on the next page under its heading.
#include "reports/CalcNoteLayout.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace vorn {
namespace {

std::vector<CalcStep> manySteps() {
    std::vector<CalcStep> steps;
    for (int g = 1; g <= 10; ++g) {
        CalcStep s;
        s.gain = g;
        s.title = "Шаг " + std::to_string(g);
        s.formula = "Q = a·b\nb = c / d";
        for (int i = 0; i < 25; ++i)
            s.input("F" + std::to_string(i),
                    "Величина с довольно длинным названием " + std::to_string(i), i * 1.5, "кВт");
        s.value("v", "Промежуточное", 0.0113033, "кг/с");
        s.result = g;
        steps.push_back(s);
    }
    return steps;
}

TEST(CalcNoteLayout, NumberedPagesAndTablesBrokenBetweenRows) {
    ReportSource src;
    src.headerLines = {"ООО", "Адрес"};
    src.warnings = {"Предупреждение"};
    const ReportDocument doc = CalcNoteLayout::layout(src, manySteps());
    const size_t m = doc.pages.size();
    ASSERT_GT(m, 3u);
    std::map<std::string, int> rows;
    for (size_t n = 0; n < m; ++n) {
        const ReportPage& page = doc.pages[n];
        const ReportItem* sheet = page.find("sheet");
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->text, "Лист " + std::to_string(n + 1) + " из " + std::to_string(m));
        const ReportSection* body = page.section("noteBody");
        ASSERT_NE(body, nullptr);
        double firstRow = 1e9, firstHeading = 1e9;
        for (const ReportItem& item : page.items) {
            if (item.key.find("/input") != std::string::npos) {
                EXPECT_GE(item.rect.y, body->top) << item.key;
                EXPECT_LE(item.rect.bottom(), body->top + body->height + 1e-9) << item.key;
                if (item.key.size() > 2 && item.key.compare(item.key.size() - 2, 2, "/0") == 0) {
                    ++rows[item.key];
                    firstRow = std::min(firstRow, item.rect.y);
                }
            }
            if (item.text == "Величина")
                firstHeading = std::min(firstHeading, item.rect.y);
        }
        // rows on a page stand under a heading of their table
        if (firstRow < 1e9)
            EXPECT_LT(firstHeading, firstRow) << "page " << n + 1;
    }
    EXPECT_EQ(rows.size(), 10u * 25u);
    for (const auto& [key, count] : rows)
        EXPECT_EQ(count, 1) << key;
    EXPECT_NE(doc.pages[0].find("warning0"), nullptr);
}

} // namespace
} // namespace vorn
