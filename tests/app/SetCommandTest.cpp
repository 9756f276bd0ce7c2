// vorn set as a whole process: assignments applied in order, exit statuses, the file
// afterwards, and --json against vorn calc --json of the same file.
#include "../calc/CalcFixture.h"
#include "../document/InputRecord.h"

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

namespace vorn::test {
namespace {

class SetCommand : public CalcFixture {
protected:
    SetCommand() {
        record = inputRecord();
        writeReferenceTables();
        writeCalc(calcPath());
    }
    // Runs vorn with the arguments (each quoted); output_ gets stdout and stderr.
    int vorn(const std::vector<std::string>& args) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--data", dir.path().string()});
        const int status = runProgram(VORN_BINARY, all, dir.file("out.txt"), dir.file("err.txt"));
        output = readFile(dir.file("out.txt"));
        errors = readFile(dir.file("err.txt"));
        return status;
    }
    int set(std::vector<std::string> assignments) {
        assignments.insert(assignments.begin(), {"set", calcPath()});
        return vorn(assignments);
    }
    // The calculation file as it stands, opened apart from any session.
    std::unique_ptr<Table> reopen() {
        auto t = std::make_unique<Table>("check");
        t->setTableName(calcPath());
        t->open();
        return t;
    }
    std::string output, errors;
};

TEST_F(SetCommand, AppliesAssignmentsInOrderAndClosesTheFile) {
    EXPECT_EQ(set({"OB_KAMVS=4,5", "RadioGroup1=Охлаждение", "OB_TEMKAM=-18", "CheckBox3=F",
                   "ComboBox1=Мясные", "ST_IDENT=T", "DBEdit19=120", "RadioGroup2=Большая",
                   "IN_PLOTN=100", "BitBtn1"}),
              0)
        << errors;
    auto t = reopen();
    EXPECT_DOUBLE_EQ(t->asDouble("OB_KAMVS"), 4.5);
    EXPECT_DOUBLE_EQ(t->asDouble("IN_VSHTAB"), 4.0); // the stacking-height rule ran
    EXPECT_EQ(t->asString("OB_TERMR"), "Охлаждение");
    EXPECT_DOUBLE_EQ(t->asDouble("OB_TEMKAM"), -18);
    EXPECT_DOUBLE_EQ(t->asDouble("TE_PT1"), 0); // cooling: not copied
    EXPECT_FALSE(t->asBool("CH3"));             // include boxes stored on close
    EXPECT_EQ(t->asString("TE_PTIP"), "Говядина");
    EXPECT_DOUBLE_EQ(t->asDouble("ST_MT2"), 0); // row 1 copied back over row 2
    // 10 x 10 x 4 x 100 x 0.5 in cooling: both masses
    EXPECT_DOUBLE_EQ(t->asDouble("TE_PMAS"), 20000);
    EXPECT_DOUBLE_EQ(t->asDouble("TE_POBOR"), 20000);
}

TEST_F(SetCommand, RefusedAssignmentExits2KeepingTheOnesBefore) {
    const std::pair<const char*, const char*> cases[] = {
        {"VO_PROC=95", "от 1 до 90"},
        {"IN_ZAV=Занавеска", "нет в списке"},
        {"NO_SUCH=1", "нет такого"},
        {"VN_KR=3", "недоступен"}, // VN_FLAG clear
        {"TE_PMAS=5", "скрыт"},    // after the switch to cooling below
        {"ST_MT1=-5", "Недопустимое число"},
        {"CheckBox1=yes", "T или F"},
        {"BitBtn1=1", "кнопка"},
        {"OB_KAMDL", "нет значения"},
        {"DBEdit41=5", "только для показа"},
    };
    for (const auto& [assignment, reason] : cases) {
        writeCalc(calcPath());
        EXPECT_EQ(set({"OB_KAMSH=7", "RadioGroup1=Охлаждение", assignment, "OB_KAMDL=9"}), 2)
            << assignment;
        EXPECT_NE(errors.find(assignment), std::string::npos) << errors;
        EXPECT_NE(errors.find(reason), std::string::npos) << errors;
        auto t = reopen();
        EXPECT_DOUBLE_EQ(t->asDouble("OB_KAMSH"), 7) << assignment;
        EXPECT_EQ(t->asString("OB_TERMR"), "Охлаждение") << assignment;
        EXPECT_DOUBLE_EQ(t->asDouble("OB_KAMDL"), 10) << assignment;
        EXPECT_DOUBLE_EQ(t->asDouble("VO_PROC"), 10) << assignment;
    }
}

TEST_F(SetCommand, LockedRecordExits1AndLeavesTheFileAlone) {
    const std::string before = readFile(calcPath());
    {
        auto holder = reopen();
        holder->edit(); // another user holds the record
        EXPECT_EQ(set({"OB_KAMSH=7"}), 1);
        EXPECT_NE(errors.find("занята другим пользователем"), std::string::npos) << errors;
    }
    EXPECT_EQ(readFile(calcPath()), before);
    EXPECT_EQ(vorn({"set", dir.file("missing.vrn"), "OB_KAMSH=7"}), 1);
}

TEST_F(SetCommand, StoppedRecalculationExits3UntilAnInputDefinesIt) {
    record["TE_VLAJ"] = Value(); // no air-table column for a blank humidity
    writeCalc(calcPath());
    EXPECT_EQ(set({"OB_KAMSH=7"}), 3);
    EXPECT_NE(errors.find("Влажность в камере"), std::string::npos) << errors;
    EXPECT_DOUBLE_EQ(reopen()->asDouble("OB_KAMSH"), 7);
    EXPECT_EQ(set({"OB_KAMSH=8", "TE_VLAJ=90"}), 0) << errors;
}

TEST_F(SetCommand, JsonIsTheHeatBalanceAfterTheLastAssignment) {
    ASSERT_EQ(set({"OS_TIME=24", "--json"}), 0) << errors;
    const nlohmann::json after = nlohmann::json::parse(output);
    EXPECT_DOUBLE_EQ(after["boxes"]["CurrencyEdit6"].get<double>(), 1.0); // lighting doubled
    EXPECT_EQ(after["file"], calcPath());
    // the file holds what was printed: vorn calc reads the same balance from it
    ASSERT_EQ(vorn({"calc", calcPath(), "--json"}), 0) << errors;
    EXPECT_EQ(nlohmann::json::parse(output), after);
}

} // namespace
} // namespace vorn::test
