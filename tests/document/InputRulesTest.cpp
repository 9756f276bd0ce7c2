// The input rules as the screen drives them: through the control table and the session's
// events, on a small calculation opened in a temporary folder.
#include "../calc/CalcFixture.h"
#include "InputRecord.h"
#include "document/Session.h"
#include "data/CalcRecord.h"
#include "calc/NumberFormat.h"
#include "document/ControlTable.h"

#include <set>

namespace vorn::test {
namespace {

class InputRules : public CalcFixture {
protected:
    InputRules() { record = inputRecord(); }
    // Writes the record and opens it; the reference tables are written on the first call.
    void openSession() {
        if (!referencesOpen_) {
            writeReferenceTables();
            dm.setDataDir(dir.path().string());
            ASSERT_TRUE(dm.openReferenceTables());
            referencesOpen_ = true;
        }
        writeCalc(calcPath());
        session.openCalculation(calcPath());
        ASSERT_TRUE(session.results().error.empty()) << session.results().error;
    }
    static const ControlSpec& control(const std::string& name) {
        const ControlSpec* c = findControl(name);
        EXPECT_NE(c, nullptr) << name;
        return c ? *c : screenControls().front();
    }
    CommitResult commit(const std::string& name, const std::string& text) {
        return session.commitText(control(name), text);
    }
    CommitResult choose(const std::string& name, const std::string& item) {
        return session.chooseItem(control(name), item);
    }
    void click(const std::string& name, bool on) { session.clickCheck(control(name), on); }
    double num(const std::string& field) const { return dm.taWork.asDouble(field); }
    std::string text(const std::string& field) const { return dm.taWork.asString(field); }
    // The bytes of a field in the calculation file, as the fixture lays it out.
    std::string rawField(const std::string& field) const {
        const std::vector<DbfFieldSpec> specs = calcFieldSpecs();
        size_t offset = 32 + 32 * specs.size() + 1 + 1; // header, terminator, deletion flag
        for (const DbfFieldSpec& f : specs) {
            if (f.name == field)
                return readFile(calcPath()).substr(offset, static_cast<size_t>(f.length));
            offset += static_cast<size_t>(f.length);
        }
        return "?";
    }
    // Changes a field behind the screen's back: only a recalculation shows it.
    void setQuietly(const std::string& field, const Value& v) {
        dm.taWork.edit();
        dm.taWork.setValue(field, v);
    }

    Session session{dm};

private:
    bool referencesOpen_ = false;
};

TEST(ControlTable, RowsNameDeclaredFieldsOnceAndAreFoundIgnoringCase) {
    std::set<std::string> declared;
    for (const FieldDecl& d : calcRecordFields())
        declared.insert(foldCase(d.name));
    declared.insert("ob_kamv");
    std::set<std::string> names, fields;
    for (const ControlSpec& c : screenControls()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        if (c.field) {
            EXPECT_TRUE(declared.count(foldCase(c.field))) << c.name << " " << c.field;
            EXPECT_TRUE(fields.insert(c.field).second) << c.field;
        }
        EXPECT_EQ(c.lookupTable != nullptr, c.lookupField != nullptr) << c.name;
        EXPECT_TRUE(c.page >= 0 && c.page <= 9 && c.page != 5) << c.name;
    }
    EXPECT_EQ(screenControls().size(), 91u);
    EXPECT_STREQ(findControl("ob_kamvs")->name, "DBEdit40");
    EXPECT_STREQ(findControl("dbedit48")->field, "VO_PROC");
    EXPECT_EQ(findControl("OB_OPER"), nullptr); // kept in the layout, on no control
}

TEST(ControlTable, TypingKeepsAValidNumber) {
    struct Case {
        const char* control;
        const char* text;
        bool allowed;
    } cases[] = {
        {"OB_KAMDL", "", true},       {"OB_KAMDL", "2,75", true},   {"OB_KAMDL", "2.75", true},
        {"OB_KAMDL", "2.755", false}, {"OB_KAMDL", "2.7.5", false}, {"OB_KAMDL", "2a", false},
        {"OB_TEMKAM", "-", true},     {"OB_TEMKAM", "-2,7", true},  {"ST_MT1", "-", false},
        {"VO_PROC", "-1", false},     {"ST_TEM1", "-50", true},     {"ST_TEM1", "-500", false},
        {"ST_MT1", "1000", true},     {"ST_MT1", "10000", false},   {"OB_TIMEWRK", "245", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(numericTextAllowed(*findControl(c.control), c.text), c.allowed)
            << c.control << " '" << c.text << "'";
    EXPECT_DOUBLE_EQ(parseNumericText("2,75"), 2.75);
    EXPECT_DOUBLE_EQ(parseNumericText("-"), 0.0);
    EXPECT_DOUBLE_EQ(parseNumericText("-2.5"), -2.5);
}

TEST_F(InputRules, CommitClampsStoresZeroBlankAndTruncatesWholeNumbers) {
    openSession();
    struct Case {
        const char* control;
        const char* text;
        double stored;
        bool blank; // the field's bytes in the file are all blanks
    } cases[] = {
        {"DBEdit17", "1500", 1000, false},   // wall thickness above its range
        {"OB_KZAPAS", "0.5", 1, false},      // safety factor below 1
        {"OB_TIMEWRK", "30", 24, false},     // working time above 24
        {"OB_TEMKAM", "-70", -60, false},    // chamber temperature below -60
        {"OB_RGVLAJ", "40", 50, false},      // region humidity below 50
        {"OB_TIMEWRK", "0", 1, false},       // the bound comes before the zero test
        {"ST_MT2", "0", 0, true},            // exactly 0: blank
        {"IN_GPTS", "", 0, true},            // nothing typed: 0, blank
        {"TE_PT0", "2.7", 2, false},         // whole: toward zero
        {"OB_TEMKAM", "-2,7", -2, false},    // whole: toward zero, comma
        {"TE_PT0", "-0.5", 0, false},        // truncated to 0, not blank
        {"OB_KAMDL", "2.75", 2.75, false},   // fractional: unchanged
        {"RxDBCalcEdit2", "1,5", 1.5, false} // stacking height: runs nothing, still stored
    };
    for (const Case& c : cases) {
        const ControlSpec& spec = control(c.control);
        const CommitResult r = session.commitText(spec, c.text);
        EXPECT_FALSE(r.refused) << c.control << " " << r.message;
        EXPECT_DOUBLE_EQ(num(spec.field), c.stored) << c.control << " '" << c.text << "'";
        dm.taWork.first(); // posts
        EXPECT_EQ(rawField(spec.field).find_first_not_of(' ') == std::string::npos, c.blank)
            << c.control << " '" << rawField(spec.field) << "'";
    }
}

TEST_F(InputRules, CommitRecalculatesOnceTheValueIsIn) {
    openSession();
    ASSERT_DOUBLE_EQ(session.results().box(6), 0.5);
    EXPECT_FALSE(commit("OS_TIME", "24").refused);
    EXPECT_DOUBLE_EQ(session.results().box(6), 1.0);
    EXPECT_EQ(session.displayText(control("OS_TIME")), "24");
}

TEST_F(InputRules, RefusedTextWritesNothingAndRunsNothing) {
    openSession();
    setQuietly("OS_POW", 20); // a recalculation would double box 6
    struct Case {
        const char* control;
        std::string text;
    } cases[] = {
        {"VO_PROC", "95"},   {"VO_PROC", "0"},      {"VO_PROC", ""},
        {"ST_MT1", "-5"},    {"OB_KAMDL", "2.755"}, {"ST_TEM1", "1000"},
        {"OB_KAMSH", "abc"}, {"TE_PT0", "99999"},   {"OB_KAMDL", std::string(400, '9')},
    };
    for (const Case& c : cases) {
        const ControlSpec& spec = control(c.control);
        const Value before = dm.taWork.value(spec.field);
        const CommitResult r = session.commitText(spec, c.text);
        EXPECT_TRUE(r.refused) << c.control << " '" << c.text << "'";
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(dm.taWork.value(spec.field), before) << c.control;
    }
    EXPECT_DOUBLE_EQ(session.results().box(6), 0.5);
    EXPECT_NE(commit("VO_PROC", "95").message.find("от 1 до 90"), std::string::npos);
    EXPECT_FALSE(commit("VO_PROC", "90").refused);
    EXPECT_DOUBLE_EQ(num("VO_PROC"), 90);
    // a stored value with more decimals than can be typed: leaving the field keeps it
    setQuietly("VO_POW", 1.125);
    EXPECT_FALSE(commit("VO_POW", session.displayText(control("VO_POW"))).refused);
    EXPECT_DOUBLE_EQ(num("VO_POW"), 1.125);
}

TEST_F(InputRules, RegimeSwitchesCaptionsAndStoredMasses) {
    openSession();
    const ControlSpec& mass = control("TE_PMAS");
    EXPECT_EQ(stateCaption(control("TE_POBOR"), session.screen()), "Суточный оборот, (кг)");
    EXPECT_TRUE(choose("RadioGroup1", "Заморозка").refused);
    EXPECT_FALSE(choose("RadioGroup1", "Охлаждение").refused);
    EXPECT_EQ(text("OB_TERMR"), "Охлаждение");
    EXPECT_FALSE(controlVisible(mass, session));
    EXPECT_FALSE(controlVisible(control("TE_TMAS"), session));
    EXPECT_EQ(stateCaption(control("OB_TIMEWRK"), session.screen()), "Время термообработки ");
    EXPECT_EQ(stateCaption(control("TE_TOBOR"), session.screen()), "Охлаждаемая масса,(кг)");
    EXPECT_FALSE(choose("RadioGroup1", "Хранение").refused);
    EXPECT_TRUE(controlVisible(mass, session));
    EXPECT_EQ(stateCaption(control("TE_POBOR"), session.screen()), "Суточный оборот,(кг)");
    EXPECT_EQ(stateCaption(control("OB_KAMVS"), session.screen()), "");
}

TEST_F(InputRules, ChamberTemperatureEndsProductAndPackagingOnlyInStorage) {
    for (const char* regime : {"Хранение", "Охлаждение"}) {
        record["OB_TERMR"] = regime;
        record["TE_PT1"] = 4;
        record["TE_TT1"] = 6;
        openSession();
        commit("OB_TEMKAM", "-18");
        const bool storage = std::string(regime) == "Хранение";
        EXPECT_DOUBLE_EQ(num("TE_PT1"), storage ? -18 : 4) << regime;
        EXPECT_DOUBLE_EQ(num("TE_TT1"), storage ? -18 : 6) << regime;
        session.closeCalculation();
    }
}

TEST_F(InputRules, RegionListSetsClimateWallTemperaturesAndFieldStates) {
    openSession();
    const ControlSpec& tmax = control("OB_RGTMAX");
    EXPECT_FALSE(controlEnabled(tmax, session));
    commit("ST_TEM3", "35"); // a warmer wall, undone when the list closes again
    EXPECT_FALSE(choose("OB_RGNAIM", "Москва").refused);
    EXPECT_DOUBLE_EQ(num("OB_RGTMAX"), 30);
    EXPECT_DOUBLE_EQ(num("OB_RGVLAJ"), 55);
    for (int n = 1; n <= 6; ++n)
        EXPECT_DOUBLE_EQ(num("ST_TEM" + std::to_string(n)), 30) << n;

    setQuietly("OB_RGTMAX", 28); // "Другой" keeps the climate it holds
    EXPECT_FALSE(choose("OB_RGNAIM", "другой").refused);
    EXPECT_EQ(text("OB_RGNAIM"), "Другой");
    EXPECT_DOUBLE_EQ(num("OB_RGTMAX"), 28);
    EXPECT_DOUBLE_EQ(num("ST_TEM6"), 28);
    EXPECT_TRUE(controlEnabled(tmax, session));
    EXPECT_TRUE(controlEnabled(control("OB_RGVLAJ"), session));

    commit("OB_RGTMAX", "25"); // the region temperature rule
    for (int n = 1; n <= 6; ++n)
        EXPECT_DOUBLE_EQ(num("ST_TEM" + std::to_string(n)), 25) << n;

    EXPECT_TRUE(choose("OB_RGNAIM", "Атлантида").refused);
    EXPECT_EQ(text("OB_RGNAIM"), "Другой");
    choose("OB_RGNAIM", "Москва");
    EXPECT_FALSE(controlEnabled(tmax, session));
}

TEST_F(InputRules, OpeningEnablesRegionFieldsExactlyForTheOtherRegion) {
    // each open decides afresh, whatever the calculation before it left
    for (const char* region : {"Другой", "Москва", "Другой", ""}) {
        record["OB_RGNAIM"] = region;
        openSession();
        EXPECT_EQ(session.screen().regionFieldsEnabled, std::string(region) == "Другой") << region;
        session.closeCalculation();
    }
}

TEST_F(InputRules, FirstRowCopiesIntoTheOtherWallsWhileChecked) {
    record["ST_M1"] = "Кирпич";
    record["ST_IZ1"] = "Пенопласт";
    record["ST_MT1"] = 250;
    record["ST_IZ4"] = "Вата";
    openSession();
    click("ST_IDENT", true); // copies at once
    EXPECT_EQ(text("ST_IZ4"), "Пенопласт");
    EXPECT_DOUBLE_EQ(num("ST_MT6"), 250);
    choose("ST_IZ4", "Вата"); // row 1 comes back at once
    EXPECT_EQ(text("ST_IZ4"), "Пенопласт");
    commit("ST_MT3", "100");
    EXPECT_DOUBLE_EQ(num("ST_MT3"), 250);
    commit("ST_MT1", "300"); // an edit of row 1 reaches every row
    EXPECT_DOUBLE_EQ(num("ST_MT5"), 300);
    click("ST_IDENT", false); // the copies stay, the copying stops
    choose("ST_IZ4", "Вата");
    EXPECT_EQ(text("ST_IZ4"), "Вата");
    EXPECT_DOUBLE_EQ(num("ST_MT5"), 300);
}

TEST_F(InputRules, OptionBoxesEnableTheirFields) {
    openSession();
    struct Case {
        const char* box;
        bool on;
        std::vector<std::pair<const char*, bool>> enabled;
    } cases[] = {
        {"VN_FLAG", true, {{"VN_KR", true}}},
        {"VN_FLAG", false, {{"VN_KR", false}}},
        {"VO_UTOCH", true, {{"VO_KOLVO", true}, {"VO_POW", true}, {"VO_PROC", false}}},
        {"VO_UTOCH", false, {{"VO_KOLVO", false}, {"VO_POW", false}, {"VO_PROC", true}}},
        {"OS_REC", true, {{"OS_POW", false}}},
        {"OS_REC", false, {{"OS_POW", true}}},
        {"IN_TIP", true, {{"VN_KR", false}, {"OS_POW", true}}},
    };
    for (const Case& c : cases) {
        click(c.box, c.on);
        EXPECT_EQ(dm.taWork.asBool(c.box), c.on) << c.box;
        for (const auto& [field, enabled] : c.enabled)
            EXPECT_EQ(controlEnabled(control(field), session), enabled)
                << c.box << "=" << c.on << ": " << field;
    }
    // the recommended lighting power stays once the box is cleared
    EXPECT_DOUBLE_EQ(num("OS_POW"), 5);
    EXPECT_DOUBLE_EQ(session.results().box(6), 0.25);
}

TEST_F(InputRules, LoadingRunsTheHandlersOfBoxesThatChange) {
    record["OS_REC"] = true;
    record["CH6"] = false;
    openSession();
    EXPECT_DOUBLE_EQ(num("OS_POW"), 5);
    EXPECT_FALSE(session.screen().includeBoxes[5]);
    EXPECT_FALSE(session.checkState(control("CheckBox6")));
    click("CheckBox6", true);
    EXPECT_TRUE(session.screen().includeBoxes[5]);
    EXPECT_DOUBLE_EQ(session.results().box(6), 0.25);
}

TEST_F(InputRules, StackingHeightFollowsTheChamberHeight) {
    openSession();
    const std::pair<const char*, double> cases[] = {
        {"3.2", 2.7}, {"0.4", 0}, {"", 0}, {"0.5", 0}, {"12,35", 11.85}};
    for (const auto& [height, stacking] : cases) {
        commit("OB_KAMVS", height);
        EXPECT_DOUBLE_EQ(num("IN_VSHTAB"), stacking) << height;
    }
}

TEST_F(InputRules, FullLoadEstimate) {
    struct Case {
        const char* length;
        const char* width;
        const char* stacking;
        const char* density;
        const char* speed;
        const char* regime;
        double mass, turnover;
    } cases[] = {
        {"6.5", "5", "1", "100", "Большая", "Хранение", 1625, 162}, // 162.5 to the even 162
        {"6.5", "5", "1", "100", "Большая", "Охлаждение", 1625, 1625},
        {"10", "6", "3.5", "300", "Малая", "Хранение", 44100, 4410},
        {"10", "6", "", "300", "Малая", "Хранение", 0, 0},
    };
    openSession();
    for (const Case& c : cases) {
        choose("RadioGroup1", c.regime);
        choose("RadioGroup2", c.speed);
        commit("OB_KAMDL", c.length);
        commit("OB_KAMSH", c.width);
        commit("IN_VSHTAB", c.stacking);
        commit("IN_PLOTN", c.density);
        setQuietly("TE_TMAS", 77);
        session.fullLoadClick();
        EXPECT_DOUBLE_EQ(num("TE_PMAS"), c.mass) << c.length << " " << c.regime;
        EXPECT_DOUBLE_EQ(num("TE_POBOR"), c.turnover) << c.length << " " << c.regime;
        EXPECT_DOUBLE_EQ(num("TE_TMAS"), 77); // packaging untouched
    }
}

TEST_F(InputRules, CategoryKeepsOrReplacesTheProduct) {
    openSession();
    const ControlSpec& product = control("TE_PTIP");
    EXPECT_EQ(session.displayText(control("ComboBox1")), "Фрукты");
    EXPECT_EQ(session.listItems(product), std::vector<std::string>{"Яблоки"});
    // a part of a category is no choice: the product stays
    EXPECT_TRUE(choose("ComboBox1", "Мяс").refused);
    EXPECT_EQ(text("TE_PTIP"), "Яблоки");
    EXPECT_FALSE(choose("ComboBox1", "Мясные").refused);
    EXPECT_EQ(text("TE_PTIP"), "Говядина");
    EXPECT_EQ(session.displayText(control("DBEdit18")), "-1,5"); // its freezing point
    EXPECT_EQ(session.listItems(product), (std::vector<std::string>{"Говядина", "Свинина"}));
    EXPECT_EQ(dm.taProd.asString("NAIM"), "Говядина"); // listing keeps the current row
    EXPECT_FALSE(choose("TE_PTIP", "Свинина").refused);
    EXPECT_FALSE(choose("ComboBox1", "Мясные").refused); // its own category keeps it
    EXPECT_EQ(text("TE_PTIP"), "Свинина");
    EXPECT_TRUE(choose("TE_PTIP", "Яблоки").refused); // not of the chosen category
    EXPECT_EQ(session.displayText(control("DBEdit18")), "-2");
}

TEST_F(InputRules, ListsTakeOnlyTheirItems) {
    openSession();
    EXPECT_FALSE(choose("TE_TTIP", "картон").refused);
    EXPECT_EQ(text("TE_TTIP"), "Картон"); // the row's own name
    EXPECT_EQ(dm.taTara.asString("NAIM"), "Картон");
    EXPECT_FALSE(choose("IN_ZAV", "Штора").refused);
    EXPECT_EQ(text("IN_ZAV"), "Штора");
    EXPECT_TRUE(choose("IN_ZAV", "штора").refused);
    EXPECT_TRUE(choose("TE_VLAJ", "92").refused);
    EXPECT_FALSE(choose("TE_VLAJ", "95").refused);
    EXPECT_DOUBLE_EQ(num("TE_VLAJ"), 95);
    EXPECT_EQ(session.listItems(control("ST_M1")), (std::vector<std::string>{"Кирпич", "Бетон"}));
}

TEST_F(InputRules, DisplaysShowTheRecordAndTheRun) {
    record["OB_KAMVS"] = 3.25;
    openSession();
    EXPECT_EQ(session.displayText(control("DBEdit41")), "325,00");
    EXPECT_EQ(session.displayText(control("OB_KAMVS")), "3,25");
    EXPECT_EQ(session.displayText(control("IN_GPTS")), "");
    session.commitText(control("OB_TEMKAM"), "0"); // stored blank, shown as the 0 °C it means
    EXPECT_EQ(session.displayText(control("OB_TEMKAM")), "0");
    EXPECT_EQ(session.displayText(control("Label3")), session.results().label3);
    EXPECT_EQ(session.displayText(control("RadioGroup2")), "Малая");
    session.closeCalculation();
    EXPECT_FALSE(controlEnabled(control("OB_KAMVS"), session));
    EXPECT_EQ(session.displayText(control("OB_KAMVS")), "");
}

} // namespace
} // namespace vorn::test
