// The heater and defrost fields on the screen: enabled with the refining calculation on a
// file that has them; on a file of the earlier layout disabled with the reason, which
// vorn set gives too; the defrost warning among the calculation's warnings.
#include "../data/Fixtures.h"
#include "BundledCalculation.h"
#include "data/CalcRecord.h"

#include <cstdio>
#include <map>

namespace vorn {
namespace {

class HeaterFields : public BundledCalculation {
protected:
    const ControlSpec& ten() { return control("VO_TEN"); }
};

TEST_F(HeaterFields, FollowTheRefiningCalculationAndWarnOfDefrost) {
    EXPECT_FALSE(controlEnabled(ten(), *session)); // refining off in the template
    session->clickCheck(control("VO_UTOCH"), true);
    EXPECT_TRUE(controlEnabled(ten(), *session));
    EXPECT_EQ(controlDisabledReason(ten(), *session), "");
    for (const auto& [field, text] : {std::pair{"OB_TIMEWRK", "22"},
                                      {"VO_OTTPOW", "3"},
                                      {"VO_OTTKOL", "4"},
                                      {"VO_OTTMIN", "45"}}) {
        const CommitResult r = session->commitText(control(field), text);
        ASSERT_FALSE(r.refused) << field << ": " << r.message;
    }
    const auto warnings = session->warnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Оттайки занимают 3 ч в сутки"), std::string::npos) << warnings[0];
    // defrosts that would take more than the day are refused, nothing written
    ASSERT_FALSE(session->commitText(control("VO_OTTMIN"), "120").refused); // 4 x 120 min
    const CommitResult r = session->commitText(control("VO_OTTKOL"), "13");
    EXPECT_TRUE(r.refused);
    EXPECT_NE(r.message.find("больше суток"), std::string::npos) << r.message;
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("VO_OTTKOL"), 4);
}

TEST_F(HeaterFields, FileOfTheEarlierLayoutRefusesThemWithTheReason) {
    // the template's record in the layout without the five fields
    std::map<std::string, Value> values;
    for (int i = 0; i < dm.taWork.fieldCount(); ++i) {
        const FieldInfo f = dm.taWork.field(i);
        if (!f.calculated)
            values[f.name] = dm.taWork.value(f.name);
    }
    values["VO_UTOCH"] = Value(true);
    std::vector<DbfFieldSpec> old;
    for (const DbfFieldSpec& f : test::calcFieldSpecs())
        if (!isHeaterField(f.name))
            old.push_back(f);
    const std::string path = copy->path() + ".old.vrn";
    session->closeCalculation();
    test::writeCalcFile(path, old, values);

    session->openCalculation(path);
    ASSERT_TRUE(session->isOpen());
    EXPECT_TRUE(controlEnabled(control("VO_POW"), *session));
    EXPECT_FALSE(controlEnabled(ten(), *session));
    EXPECT_EQ(controlDisabledReason(ten(), *session), kHeaterFieldsMissing);
    session->closeCalculation();

    const std::string err = path + ".err";
    EXPECT_EQ(
        test::runProgram(VORN_BINARY, {"set", path, "VO_TEN=1", "--data", VORN_DATA_DIR}, {}, err),
        2);
    std::ifstream in(err);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("\"Сохранить как\""), std::string::npos) << text;
    std::remove(err.c_str());
    std::remove(path.c_str());
}

} // namespace
} // namespace vorn
