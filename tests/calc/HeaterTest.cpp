// Heaters and defrost in gain 9 and in the required capacity, worked by hand, and a file
// of the earlier layout that has no heater fields.
#include "CalcFixture.h"
#include "calc/CalcError.h"
#include "calc/Recalculate.h"
#include "data/CalcRecord.h"
#include "data/DbfCreate.h"

namespace vorn::test {
namespace {

// Lighting gives 3.20 kW (box 6) and nothing else; three fans of 0.25 kW: 0.75 kW.
class Heaters : public CalcFixture {
protected:
    Heaters() {
        record = {{"OS_POW", 10},     {"OS_TIME", 12},          {"OB_KAMDL", 32.0},
                  {"OB_KAMSH", 20.0}, {"OB_TERMR", "Хранение"}, {"OB_TIMEWRK", 16},
                  {"OB_KZAPAS", 1.1}, {"VO_PROC", 10},          {"VO_UTOCH", true},
                  {"VO_POW", 0.25},   {"VO_KOLVO", 3}};
    }
};

struct HeaterCase {
    const char* name;
    std::map<std::string, Value> inputs;
    double box9, box10, box11;
    const char* warning; // a part of the defrost warning; nullptr: none
};

TEST_F(Heaters, GainNineAndCapacity) {
    const HeaterCase cases[] = {
        // fans alone: 0.75 + 3.20 x 24 / 16 x 1.1
        {"fans only", {}, 0.75, 3.95, 6.03, nullptr},
        // heaters come all day and are scaled: 0.75 + (3.20 + 0.40) x 1.5 x 1.1
        {"heaters", {{"VO_TEN", 0.4}}, 1.15, 4.35, 6.69, nullptr},
        // defrost 0.3 x 6 kW x 4 x 30 min / 1440 = 0.15; 2 h of defrost leave 22 h >= 16
        {"defrost",
         {{"VO_OTTPOW", 6.0}, {"VO_OTTKOL", 4}, {"VO_OTTMIN", 30}, {"VO_OTTDOL", 0.3}},
         0.90,
         4.10,
         6.28,
         nullptr},
        // 0.2 x 6 x 4 x 45 / 1440 = 0.15; 3 h of defrost leave 21 h < 22:
        // 0.75 + 3.35 x 24 / 22 x 1.1
        {"defrost leaves too few hours",
         {{"OB_TIMEWRK", 22},
          {"VO_OTTPOW", 6.0},
          {"VO_OTTKOL", 4},
          {"VO_OTTMIN", 45},
          {"VO_OTTDOL", 0.2}},
         0.90,
         4.10,
         4.77,
         "Оттайки занимают 3 ч в сутки: оборудованию остается 21 ч работы "
         "вместо расчетных 22 ч"},
        // cooling: (B4 + fans) + (others + heaters) x 24 / 18 x 1.1 = 0.75 + 3.60 x 24/18 x 1.1;
        // 6 h of defrost leave exactly the 18 h assumed
        {"cooling",
         {{"OB_TERMR", "Охлаждение"}, {"VO_TEN", 0.4}, {"VO_OTTKOL", 6}, {"VO_OTTMIN", 60}},
         1.15,
         4.35,
         6.03,
         nullptr},
        {"cooling, 7 h of defrost",
         {{"OB_TERMR", "Охлаждение"}, {"VO_OTTKOL", 7}, {"VO_OTTMIN", 60}},
         0.75,
         3.95,
         5.44,
         "остается 17 ч работы вместо расчетных 18 ч"},
        // the preliminary share covers heaters and defrost: they are not read
        {"refining off",
         {{"VO_UTOCH", false},
          {"VO_TEN", 5.0},
          {"VO_OTTPOW", 6.0},
          {"VO_OTTKOL", 4},
          {"VO_OTTMIN", 30}},
         0.48,
         3.68,
         5.76,
         nullptr},
    };
    const std::map<std::string, Value> base = record;
    for (const HeaterCase& c : cases) {
        SCOPED_TRACE(c.name);
        record = base;
        for (const auto& [field, v] : c.inputs)
            record[field] = v;
        dm.closeAll();
        results = CalcResults{};
        open();
        run();
        EXPECT_DOUBLE_EQ(box(9), c.box9);
        EXPECT_DOUBLE_EQ(box(10), c.box10);
        EXPECT_DOUBLE_EQ(box(11), c.box11);
        if (c.warning) {
            EXPECT_NE(results.defrostWarning.find(c.warning), std::string::npos)
                << results.defrostWarning;
        } else {
            EXPECT_EQ(results.defrostWarning, "");
        }
        // the step of gain 9 names the parts, and the capacity step the box
        ASSERT_EQ(results.steps.size(), 10u);
        const CalcStep& nine = results.steps[8];
        EXPECT_DOUBLE_EQ(nine.result, c.box9);
        EXPECT_NEAR(nine.valueOf("fans_kw") + nine.valueOf("heaters_kw") +
                        nine.valueOf("defrost_kw"),
                    c.box9, 0.005);
        EXPECT_DOUBLE_EQ(results.steps[9].valueOf("required_kw"), c.box11);
    }
}

TEST_F(Heaters, ClearedBoxLeavesThemOutAndTooLongDefrostStops) {
    record["VO_TEN"] = 0.4;
    open();
    screen.includeBoxes.fill(true);
    screen.includeBoxes[8] = false;
    run();
    EXPECT_DOUBLE_EQ(box(9), 0.0);
    EXPECT_DOUBLE_EQ(box(11), 5.28); // 3.20 x 1.5 x 1.1, no heaters
    EXPECT_FALSE(results.steps[8].included);

    dm.taWork.edit();
    dm.taWork.setValue("VO_OTTKOL", 24);
    dm.taWork.setValue("VO_OTTMIN", 61);
    dm.taWork.post();
    EXPECT_THROW(run(), CalcError);
    EXPECT_EQ(results.steps.size(), 8u); // the gains done before the fans
}

TEST_F(Heaters, FileOfTheEarlierLayoutComputesAsBeforeAndTakesTheFields) {
    // the layout without the five fields, as every file written so far
    std::vector<DbfFieldSpec> old;
    for (const DbfFieldSpec& f : calcFieldSpecs())
        if (!isHeaterField(f.name))
            old.push_back(f);
    writeReferenceTables();
    writeCalcFile(calcPath(), old, record);
    dm.setDataDir(dir.path().string());
    std::string error;
    ASSERT_TRUE(dm.openReferenceTables(&error)) << error;
    dm.taWork.setTableName(calcPath());
    dm.taWork.open();
    EXPECT_FALSE(hasHeaterFields(dm.taWork));
    EXPECT_TRUE(dm.taWork.value("VO_TEN").isNull()); // reads as empty
    run();
    EXPECT_DOUBLE_EQ(box(9), 0.75);
    EXPECT_DOUBLE_EQ(box(11), 6.03);
    EXPECT_FALSE(results.heatersInGain9);
    for (const StepInput& in : results.steps[8].inputs)
        EXPECT_FALSE(isHeaterField(in.name)) << in.name;
    dm.taWork.close();

    // rewritten with the fields: the values kept, the defrost share as a new one holds it
    EXPECT_TRUE(addHeaterFields(calcPath()));
    EXPECT_FALSE(addHeaterFields(calcPath()));
    dm.taWork.open();
    EXPECT_TRUE(hasHeaterFields(dm.taWork));
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("VO_OTTDOL"), 0.3);
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("VO_POW"), 0.25);
    run();
    EXPECT_DOUBLE_EQ(box(11), 6.03);
    EXPECT_TRUE(results.heatersInGain9);
}

} // namespace
} // namespace vorn::test
