// Damaged and foreign calculation files: refused by every command before a byte is
// written; the code-page mark of the header honoured.
#include "FilesFixture.h"
#include "data/CodePage.h"
#include "data/Table.h"

#include <functional>
#include <nlohmann/json.hpp>

namespace vorn::test {
namespace {

size_t headerLength(const std::string& b) {
    return static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
}
size_t recordLength(const std::string& b) {
    return static_cast<unsigned char>(b[10]) | (static_cast<unsigned char>(b[11]) << 8);
}

// The same calculation with the mark mark at offset 29 and, for 1251, its text in 1251.
std::string marked(unsigned char mark) {
    std::string b = FilesFixture::goodCalculation();
    b[29] = static_cast<char>(mark);
    if (mark == 0xC9) {
        const size_t at = headerLength(b), n = recordLength(b);
        const std::string text =
            CodePage::fromUtf8(cp866ToUtf8(b.substr(at, n)), TextCodePage::Cp1251);
        b.replace(at, n, text);
    }
    return b;
}

using CalculationFiles = FilesFixture;

TEST_F(CalculationFiles, DamagedFilesAreRefusedByEveryCommandAndStayAsTheyWere) {
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
        const char* message;
    };
    const Case cases[] = {
        {"cut short", [](std::string& b) { b.resize(b.size() - 12); }, "запись обрезана"},
        {"deleted", [](std::string& b) { b[headerLength(b)] = '*'; }, "помечена как удаленная"},
        {"no record", [](std::string& b) { b[4] = 0; }, "нет записи расчета"},
        {"two records",
         [](std::string& b) {
             b.insert(headerLength(b) + recordLength(b),
                      b.substr(headerLength(b), recordLength(b)));
             b[4] = 2;
         },
         "записей в нем 2"},
        {"a text file", [](std::string& b) { b = "Не таблица, а письмо\n"; }, "повреждён"},
        {"another table", [](std::string& b) { b[32] = 'X'; }, "нет поля"},
    };
    const std::string commands[] = {"set '%' OB_KAMVS=3", "calc '%'", "select '%' --choose 1",
                                    "report '%' -o '%.pdf'"};
    for (const Case& c : cases) {
        std::string bytes = goodCalculation();
        c.damage(bytes);
        writeFile(calc, bytes);
        for (std::string cmd : commands) {
            for (size_t at; (at = cmd.find('%')) != std::string::npos;)
                cmd.replace(at, 1, calc);
            EXPECT_EQ(vorn(cmd), 1) << c.name << ": " << cmd << "\n" << err;
            EXPECT_NE(err.find(c.message), std::string::npos) << c.name << ": " << err;
            EXPECT_NE(err.find(calc), std::string::npos) << c.name << ": names the file";
            EXPECT_EQ(readFile(calc), bytes) << c.name << ": " << cmd;
        }
        EXPECT_FALSE(std::filesystem::exists(calc + ".pdf")) << c.name;
    }
}

TEST_F(CalculationFiles, MarkWindows1251IsReadAndWrittenIn1251EveryOtherAs866) {
    ASSERT_EQ(vorn("calc --json '" + calc + "'"), 0) << err;
    const auto expected = nlohmann::json::parse(out);
    for (unsigned char mark : {0x26, 0x65, 0x00, 0x57, 0xC9}) {
        writeFile(calc, marked(mark));
        ASSERT_EQ(vorn("calc --json '" + calc + "'"), 0) << int(mark) << err;
        const auto got = nlohmann::json::parse(out);
        EXPECT_EQ(got["regime"], "Охлаждение") << int(mark);
        EXPECT_EQ(got["boxes"], expected["boxes"]) << int(mark);
    }
    // A change keeps the file's code page: the client's name in 1251 bytes.
    ASSERT_EQ(vorn("set '" + calc + "' KL_NAIM=Тест"), 0) << err;
    const std::string after = readFile(calc);
    EXPECT_EQ(static_cast<unsigned char>(after[29]), 0xC9);
    EXPECT_NE(after.find("\xD2\xE5\xF1\xF2"), std::string::npos);
    EXPECT_EQ(after.find("\x92\xA5\xE1\xE2"), std::string::npos) << "no 866 text in a 1251 file";
}

TEST_F(CalculationFiles, SetTakesTheAdditionalDataInPlainFormsAndRefusesTheRest) {
    ASSERT_EQ(vorn("set '" + calc +
                   "' 'KL_NAIM=«Заря»' 'KL_PRIM=1,2×2 м — «угол»…' "
                   "'OB_ISP=Иванов\u00A0И.'"),
              0)
        << err;
    ASSERT_EQ(vorn("dump --json '" + calc + "'"), 0) << err;
    const auto rec = nlohmann::json::parse(out)["records"][0];
    EXPECT_EQ(rec["KL_NAIM"], "\"Заря\"");
    EXPECT_EQ(rec["KL_PRIM"], "1,2x2 м - \"угол\"...");
    EXPECT_EQ(rec["OB_ISP"], "Иванов И.");

    const std::string before = readFile(calc);
    struct Refusal {
        const char* assignment;
        const char* message;
    };
    const Refusal refusals[] = {
        {"KL_NAIM=Цена 5 €", "\"€\" (U+20AC)"},
        {"KL_PRIM=a\tb", "KL_PRIM=a\\x09b: Текст содержит управляющий знак U+0009"},
        {"OB_ISP=0123456789012345678901234567890123456789X", "длиннее 40"},
    };
    for (const Refusal& r : refusals) {
        EXPECT_EQ(vorn("set '" + calc + "' '" + r.assignment + "'"), 2) << r.assignment;
        EXPECT_NE(err.find(r.message), std::string::npos) << err;
    }
    EXPECT_EQ(readFile(calc), before);
}

} // namespace
} // namespace vorn::test
