#pragma once
// A data directory of small reference tables and one calculation file, built per test,
// with the calculation table open and the recalculation one call away.
#include "../data/Fixtures.h"
#include "calc/CalcResults.h"
#include "data/DataModule.h"
#include "document/ScreenState.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace vorn::test {

class CalcFixture : public ::testing::Test {
protected:
    // Reference rows; tests change them before open().
    std::vector<DbfRow> materials{{"Кирпич", 0.5}, {"Бетон", 1.5}};
    std::vector<DbfRow> insulations{{"Пенопласт", 0.04}, {"Вата", 0.05}};
    // TEMVOZD, VL50 ... VL100 (11 columns), QP
    std::vector<DbfRow> airRows;
    // NAIM, TIP, TZAM, CP1, CP2, LSKR, Q1, Q2, Q3
    std::vector<DbfRow> products{{"Говядина", "Мясные", -1.5, 3.5, 1.8, 250.0, 20.0, 60.0, 150.0},
                                 {"Яблоки", "Фрукты", -1.0, 3.6, 1.9, 280.0, 20.0, 60.0, 150.0},
                                 {"Свинина", "Мясные", -2.0, 3.0, 1.7, 200.0, 0.0, 0.0, 0.0}};
    std::vector<DbfRow> tara{{"Картон", 1.5}, {"Дерево", 2.5}};
    // Record values by field name; everything else blank.
    std::map<std::string, Value> record;

    CalcFixture();
    // Writes the tables, opens the reference tables and the calculation (no session).
    void open();
    // Path of the calculation file.
    std::string calcPath() const { return dir.file("calc.vrn"); }
    void writeCalc(const std::string& path) const;
    void writeReferenceTables() const;

    // Recalculate with the fixture's screen and results.
    void run();
    double box(int n) const { return results.box(n); }
    const std::string& label(int n) const { return results.label(n); }

    TempDir dir;
    DataModule dm;
    ScreenState screen;
    CalcResults results;
};

// Enthalpy of the fixture air table at its rows: t + phi / 10 (so VL50 at 20 °C is 25).
double fixtureEnthalpy(double t, int phi);
// Person heat of the fixture air table: 200 - 2 t.
double fixturePersonHeat(double t);

} // namespace vorn::test
