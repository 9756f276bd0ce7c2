// Every numeric input has a physical range: inside and at the bound it is taken, outside
// it is refused with the range in the message and nothing written, in the window's entry
// and in vorn set alike. Fields that clamp say so.
#include "../data/Fixtures.h"
#include "BundledCalculation.h"

#include "../data/Fixtures.h"

#include <cmath>
#include <cstdlib>

namespace vorn {
namespace {

class Ranges : public BundledCalculation {};

struct RangeCase {
    const char* field;
    const char* text;
    bool refused;
    const char* message; // a part of the refusal or of the notice
};

const RangeCase kCases[] = {
    {"OB_KAMVS", "100", false, ""},
    {"OB_KAMVS", "100,01", true, "от 0,01 до 100"},
    {"OB_KAMVS", "0", true, "Высота, (м)"},
    {"OB_KAMDL", "-5", true, "от 0,01 до 1000"},
    {"PER_KOL", "-3", true, "от 0 до 1000"},
    {"OS_TIME", "24", false, ""},
    {"OS_TIME", "30", true, "от 0 до 24"},
    {"OB_RGTMAX", "55", true, "от -40 до 50"},
    {"OB_RGTMAX", "-40", false, ""},
    {"IN_DV", "2", false, ""},
    {"IN_DV", "21", true, "от 0 до 20"},
    {"IN_DV", "5", true, "больше высоты камеры 3"},
    {"IN_DH", "7", true, "больше стены камеры 6"},
    {"TRS_POW", "-10", true, "от 0 до 10000"},
    {"TE_POBOR", "-1000", true, "от 0 до"},
    {"VO_PROC", "95", true, "Допустимы значения от 1 до 90 !"},
    {"OB_TIMEWRK", "30", false, "Значение ограничено: 24"},
    {"OB_KZAPAS", "0,5", false, "Значение ограничено: 1"},
    {"VO_OTTDOL", "1,5", true, "от 0 до 1"},
    {"VO_OTTMIN", "121", true, "от 0 до 120"},
};

TEST_F(Ranges, InsideAtTheBoundAndOutside) {
    for (const RangeCase& c : kCases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.text);
        SetUp();
        const std::string before = fileBytes();
        const CommitResult r = session->commitText(*findControl(c.field), c.text);
        EXPECT_EQ(r.refused, c.refused) << r.message;
        EXPECT_NE((r.refused ? r.message : r.notice).find(c.message), std::string::npos)
            << r.message << r.notice;
        if (c.refused) {
            EXPECT_TRUE(fileBytes() == before);
        }
        TearDown();
    }
}

TEST_F(Ranges, VornSetRefusesTheSameWithExit2AndNamesTheAssignment) {
    const std::string before = fileBytes();
    session.reset(); // the command opens the file itself
    const std::string out = copy->path() + ".err";
    for (const char* a : {"OB_KAMVS=12000", "PER_KOL=-3", "IN_DH=99"}) {
        EXPECT_EQ(test::runProgram(VORN_BINARY, {"set", copy->path(), a, "--data", VORN_DATA_DIR},
                                   {}, out),
                  2)
            << a;
        std::ifstream in(out);
        const std::string err((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NE(err.find(a), std::string::npos) << err;
        EXPECT_TRUE(fileBytes() == before) << a;
    }
    std::remove(out.c_str());
}

TEST_F(Ranges, AFileHoldingValuesOutsideOpensWithAWarningNamingThem) {
    session->closeCalculation();
    dm.taWork.open();
    dm.taWork.edit();
    dm.taWork.setValue("OB_KAMVS", Value(-7.0));
    dm.taWork.setValue("PER_KOL", Value(5000));
    dm.taWork.post();
    dm.taWork.close();
    session->openCalculation(copy->path());
    ASSERT_EQ(session->suspectFields().size(), 2u);
    const std::string warning = suspectFieldsWarning(session->suspectFields());
    EXPECT_NE(warning.find("OB_KAMVS = -7"), std::string::npos) << warning;
    EXPECT_NE(warning.find("PER_KOL = 5000"), std::string::npos) << warning;
}

TEST_F(Ranges, AChosenSystemIsFlaggedOnceTheCapacityMovesOutOfItsBand) {
    EXPECT_TRUE(session->choiceFits()); // nothing chosen
    const double need = session->results().box(11) * 1000;
    session->setFields("Выбор системы",
                       {{"OBR_NAIM", Value("Группа")}, {"PROIZSYS", Value(std::round(need))}});
    EXPECT_TRUE(session->choiceFits());
    session->commitText(*findControl("OB_KAMDL"), "20");
    EXPECT_FALSE(session->choiceFits());
    EXPECT_EQ(dm.taWork.asString("OBR_NAIM"), "Группа"); // the choice itself is kept
}

} // namespace
} // namespace vorn
