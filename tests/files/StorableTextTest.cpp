// Text made fit for a table: typographic marks to plain forms, the rest refused by name;
// the 1251 code page in the table layer.
#include "data/CodePage.h"
#include "data/Table.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(StorableText, PlainFormsAndRefusals) {
    struct Case {
        const char* in;
        TextCodePage page;
        const char* text;    // taken as
        const char* refusal; // or refused with a message holding this
    };
    const Case cases[] = {
        {"«Заря»", TextCodePage::Cp866, "\"Заря\"", ""},
        {"„Заря“ ”x”", TextCodePage::Cp866, "\"Заря\" \"x\"", ""},
        {"‘a’ – b — c − d", TextCodePage::Cp866, "'a' - b - c - d", ""},
        {"1,2×2 м…", TextCodePage::Cp866, "1,2x2 м...", ""},
        {"a\u00A0b\u202Fc", TextCodePage::Cp866, "a b c", ""},
        {"Ёлка №5, −18 °C", TextCodePage::Cp866, "Ёлка №5, -18 °C", ""},
        {"5 €", TextCodePage::Cp866, "", "\"€\" (U+20AC)"},
        {"Café", TextCodePage::Cp866, "", "\"é\" (U+00E9)"},
        {"a\tb", TextCodePage::Cp866, "", "U+0009"},
        {"a\x7f", TextCodePage::Cp866, "", "U+007F"},
        {"\xff\xfe", TextCodePage::Cp866, "", "UTF-8"},
        {"5 €", TextCodePage::Cp1251, "5 €", ""},
        {"░", TextCodePage::Cp1251, "", "U+2591"},
    };
    for (const Case& c : cases) {
        const StorableText t = toStorableText(c.in, c.page);
        EXPECT_EQ(t.text, c.text) << c.in;
        if (*c.refusal)
            EXPECT_NE(t.refusal.find(c.refusal), std::string::npos) << c.in << ": " << t.refusal;
        else
            EXPECT_FALSE(t.refused()) << c.in << ": " << t.refusal;
    }
}

TEST(StorableText, CodePagesRoundTripAndFoldTheirOwnCapitals) {
    const std::string words = "Ёжик в ТУМАНЕ, Їжак, Ўзбек, Єва";
    for (TextCodePage page : {TextCodePage::Cp866, TextCodePage::Cp1251}) {
        std::string bytes;
        ASSERT_TRUE(CodePage::toBytesExact(words, bytes, page));
        std::string back;
        CodePage::appendUtf8(back, bytes.data(), bytes.size(), page);
        EXPECT_EQ(back, words);
        // Lower-case bytes of the same page, as Locate compares them.
        std::string folded;
        for (char c : bytes)
            folded += static_cast<char>(CodePage::foldTable(page)[static_cast<unsigned char>(c)]);
        std::string lower;
        CodePage::appendUtf8(lower, folded.data(), folded.size(), page);
        EXPECT_EQ(lower, foldCase(words));
    }
    EXPECT_EQ(CodePage::ofMark(0xC9), TextCodePage::Cp1251);
    for (unsigned char m : {0x26, 0x65, 0x00, 0x57, 0xFF})
        EXPECT_EQ(CodePage::ofMark(m), TextCodePage::Cp866) << int(m);
}

} // namespace
} // namespace vorn
