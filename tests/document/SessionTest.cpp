// Opening and closing a calculation through the session, and vorn calc as a process.
#include "document/Session.h"

#include "../calc/CalcFixture.h"
#include "calc/CalcError.h"
#include "data/CalcRecord.h"

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

namespace vorn::test {
namespace {

class SessionOpen : public CalcFixture {
protected:
    SessionOpen() {
        record = {{"OB_TERMR", "Хранение"}, {"OB_TIMEWRK", 16},    {"OB_KZAPAS", 1.0},
                  {"TE_PTIP", "Яблоки"},    {"TE_TTIP", "Дерево"}, {"OB_KAMVS", 3.2}};
        for (int n = 1; n <= 9; ++n)
            record["CH" + std::to_string(n)] = true;
    }
    void openSession() {
        writeReferenceTables();
        writeCalc(calcPath());
        dm.setDataDir(dir.path().string());
        ASSERT_TRUE(dm.openReferenceTables());
        session.openCalculation(calcPath());
    }
    Session session{dm};
};

TEST_F(SessionOpen, FoundProductSetsCategoryFilterAndCurrentRows) {
    openSession();
    EXPECT_EQ(session.screen().category, "Фрукты");
    EXPECT_EQ(dm.taProd.filter(), "TIP='Фрукты'");
    EXPECT_TRUE(dm.taProd.filtered());
    EXPECT_EQ(dm.taProd.asString("NAIM"), "Яблоки");
    EXPECT_EQ(dm.taTara.asString("NAIM"), "Дерево");
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("IN_VSHTAB"), 2.7);
    EXPECT_EQ(session.screen().regimeIndex, 0);
    EXPECT_TRUE(session.results().error.empty());
}

TEST_F(SessionOpen, MissingProductFallsBackToTheFirstOfMeatProducts) {
    std::swap(products[0], products[1]); // Яблоки first in the table
    record["TE_PTIP"] = "Груша";
    record["OB_KAMVS"] = 0.4;
    openSession();
    EXPECT_EQ(session.screen().category, "Мясные");
    // first of the whole table (Яблоки), then the first of the category
    EXPECT_EQ(dm.taWork.asString("TE_PTIP"), "Говядина");
    EXPECT_EQ(dm.taProd.asString("NAIM"), "Говядина");
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("IN_VSHTAB"), 0.0);
}

TEST_F(SessionOpen, BlankChamberHumidityStopsTheRunWithAMessageNamingIt) {
    record["OB_KAMDL"] = 5.0;
    record["OB_KAMSH"] = 4.0;
    record["TE_VLAJ"] = Value(); // blank: reads as 0, a humidity with no column
    openSession();
    EXPECT_TRUE(session.isOpen());
    EXPECT_NE(session.results().error.find("Влажность в камере"), std::string::npos)
        << session.results().error;
    EXPECT_THROW(session.recalculate(), CalcError);
}

TEST_F(SessionOpen, CategoryWithAQuoteMatchesNoProduct) {
    openSession();
    session.screen().category = "Мяс'ные";
    EXPECT_NO_THROW(session.categoryRule());
    EXPECT_EQ(dm.taProd.recordCount(), 0);
    EXPECT_EQ(dm.taWork.asString("TE_PTIP"), "");
    EXPECT_DOUBLE_EQ(session.results().box(4), 0.0);
    // a listed category restores a product
    session.screen().category = "Фрукты";
    session.categoryRule();
    EXPECT_EQ(dm.taWork.asString("TE_PTIP"), "Яблоки");
}

TEST_F(SessionOpen, RegimeOptionBoxesAndWallRows) {
    record["OB_TERMR"] = Value(); // neither text: becomes cooling
    record["OS_REC"] = true;
    record["OS_POW"] = 12;
    record["VO_UTOCH"] = true;
    record["ST_IDENT"] = true;
    record["ST_M1"] = "Кирпич";
    record["ST_M4"] = "Бетон";
    record["ST_MT1"] = 250;
    openSession();
    EXPECT_EQ(dm.taWork.asString("OB_TERMR"), "Охлаждение");
    EXPECT_EQ(session.screen().regimeIndex, 1);
    EXPECT_EQ(session.screen().workTimeCaption, "Время термообработки ");
    EXPECT_FALSE(session.screen().storedMassVisible);
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("OS_POW"), 5.0);
    EXPECT_FALSE(session.screen().osPowEnabled);
    EXPECT_TRUE(session.screen().voKolvoEnabled);
    EXPECT_FALSE(session.screen().voProcEnabled);
    EXPECT_EQ(dm.taWork.asString("ST_M4"), "Кирпич");
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("ST_MT6"), 250.0);
}

TEST_F(SessionOpen, IncludeBoxesComeFromAndGoBackToTheRecord) {
    record["CH3"] = false;
    openSession();
    EXPECT_FALSE(session.screen().includeBoxes[2]);
    EXPECT_TRUE(session.screen().includeBoxes[3]);
    session.screen().includeBoxes[5] = false;
    session.closeCalculation();
    EXPECT_FALSE(session.isOpen());
    Table check("check");
    check.setTableName(calcPath());
    check.open();
    EXPECT_FALSE(check.asBool("CH3"));
    EXPECT_FALSE(check.asBool("CH6"));
    EXPECT_TRUE(check.asBool("CH1"));
    EXPECT_DOUBLE_EQ(check.asDouble("IN_VSHTAB"), 2.7);
}

TEST_F(SessionOpen, IncludeBoxClickTakesTheStateAndRecalculates) {
    record["OS_POW"] = 10; // lighting: 10 W/m2 * 12 h * 100 m2 / 24 / 1000 = 0.5 kW
    record["OS_TIME"] = 12;
    record["OB_KAMDL"] = 10.0;
    record["OB_KAMSH"] = 10.0;
    record["TE_VLAJ"] = 90;
    openSession();
    const double sum = session.results().box(10);
    ASSERT_DOUBLE_EQ(session.results().box(6), 0.5);
    session.includeBoxClick(6, false);
    EXPECT_FALSE(session.screen().includeBoxes[5]);
    EXPECT_DOUBLE_EQ(session.results().box(6), 0.0);
    EXPECT_LT(session.results().box(10), sum);
    session.includeBoxClick(6, true);
    EXPECT_DOUBLE_EQ(session.results().box(6), 0.5);
    EXPECT_DOUBLE_EQ(session.results().box(10), sum);
    // No box 0 or 10: nothing changes, nothing is written out of range.
    session.includeBoxClick(0, false);
    session.includeBoxClick(10, false);
    for (bool on : session.screen().includeBoxes)
        EXPECT_TRUE(on);
}

TEST_F(SessionOpen, CapacityChangeEmptiesTheChosenSystemOnlyWhileSelectionIsOpen) {
    record["OBR_NAIM"] = "Система";
    record["PROIZSYS"] = 5000;
    record["OS_POW"] = 10;
    record["OS_TIME"] = 12;
    record["OB_KAMDL"] = 10.0;
    record["OB_KAMSH"] = 10.0;
    record["TE_VLAJ"] = 90;
    openSession();
    EXPECT_EQ(dm.taWork.asString("OBR_NAIM"), "Система");
    session.recalculate(); // same value, flag clear
    session.selectionOpened = true;
    session.recalculate(); // same value: nothing
    EXPECT_EQ(dm.taWork.asString("OBR_NAIM"), "Система");
    dm.taWork.edit();
    dm.taWork.setValue("OS_TIME", 13);
    session.recalculate();
    EXPECT_EQ(dm.taWork.asString("OBR_NAIM"), "");
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("PROIZSYS"), 0.0);
}

TEST_F(SessionOpen, ReferenceEditRecalculatesAsOneUndoableEvent) {
    record["OBR_NAIM"] = "Система";
    record["PROIZSYS"] = 5000;
    record["OB_KAMDL"] = 10.0;
    record["OB_KAMSH"] = 10.0;
    record["TE_VLAJ"] = 90;
    record["TE_PMAS"] = 10000;
    record["TE_POBOR"] = 1000;
    record["TE_PT0"] = 20;
    openSession();
    session.selectionOpened = true;
    int told = 0;
    session.addListener([&](const CommitResult&) { ++told; });
    const double before = session.results().box(11);
    // the reference editor changed the apples' respiration heat
    Table& prod = dm.taProd;
    ASSERT_TRUE(findByName(prod, "NAIM", "Яблоки"));
    prod.edit();
    for (const char* f : {"Q1", "Q2", "Q3", "CP1", "CP2"})
        prod.setValue(f, prod.asDouble(f) * 3);
    prod.post();
    const CommitResult r = session.referenceDataChanged();
    EXPECT_FALSE(r.refused);
    EXPECT_EQ(told, 1);
    EXPECT_GT(session.results().box(11), before);
    EXPECT_EQ(dm.taWork.asString("OBR_NAIM"), "");
    Table file; // posted: another handle reads it
    file.setTableName(calcPath());
    file.open();
    EXPECT_EQ(file.asString("OBR_NAIM"), "");
    file.close();
    ASSERT_FALSE(session.undo().refused);
    EXPECT_EQ(dm.taWork.asString("OBR_NAIM"), "Система");
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("PROIZSYS"), 5000);
}

TEST_F(SessionOpen, UndefinedStepDoesNotFailTheOpen) {
    record["OB_TIMEWRK"] = Value();
    openSession();
    EXPECT_TRUE(session.isOpen());
    EXPECT_NE(session.results().error.find("Время работы"), std::string::npos);
}

TEST_F(SessionOpen, NotACalculationLeavesTheTableClosed) {
    writeReferenceTables();
    dm.setDataDir(dir.path().string());
    ASSERT_TRUE(dm.openReferenceTables());
    EXPECT_THROW(session.openCalculation(dir.file("s_tara.DBF")), DbfError);
    EXPECT_FALSE(session.isOpen());
}

// vorn calc as a whole process: exit statuses and the file left as it was.
class CalcCommandProcess : public SessionOpen {
protected:
    int runVorn(const std::string& file, const std::string& out) {
        return runProgram(VORN_BINARY, {"calc", file, "--json", "--data", dir.path().string()}, out,
                          out);
    }
};

TEST_F(CalcCommandProcess, ExitStatuses) {
    writeReferenceTables();
    writeCalc(calcPath());
    const std::string before = readFile(calcPath());
    EXPECT_EQ(runVorn(calcPath(), dir.file("out.json")), 0);
    EXPECT_EQ(readFile(calcPath()), before);
    const auto json = nlohmann::json::parse(readFile(dir.file("out.json")), nullptr, false);
    ASSERT_TRUE(json.is_object()) << readFile(dir.file("out.json"));
    EXPECT_EQ(json["regime"], "Хранение");
    EXPECT_EQ(json["boxes"].size(), 11u);
    EXPECT_TRUE(json["labels"].contains("QRLabel98"));

    EXPECT_EQ(runVorn(dir.file("s_tara.DBF"), dir.file("out.txt")), 1);
    EXPECT_EQ(runVorn(dir.file("missing.vrn"), dir.file("out.txt")), 1);

    record["OB_TIMEWRK"] = Value();
    writeCalc(dir.file("zero.vrn"));
    EXPECT_EQ(runVorn(dir.file("zero.vrn"), dir.file("out.txt")), 3);
    EXPECT_NE(readFile(dir.file("out.txt")).find("Время работы оборудования"), std::string::npos);
}

} // namespace
} // namespace vorn::test
