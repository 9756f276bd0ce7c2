#include "calc/AirTableLookup.h"

#include "../data/Fixtures.h"
#include "calc/CalcError.h"

#include <gtest/gtest.h>

namespace vorn::test {
namespace {

class AirTable : public ::testing::Test {
protected:
    void make(const std::vector<DbfRow>& rows) {
        createDbf(
            dir.file("s_int.DBF"),
            {{"TEMVOZD", 'N', 4, 0}, {"VL50", 'N', 8, 2}, {"VL85", 'N', 8, 2}, {"QP", 'N', 6, 1}},
            rows);
        table.setTableName(dir.file("s_int.DBF"));
        table.open();
    }
    TempDir dir;
    Table table{"taInt"};
};

TEST_F(AirTable, InterpolatesBetweenRowsAndHitsRowsExactly) {
    make({{-40, -40.0, -39.0, 400.0}, {-20, -18.5, -17.0, 300.0}, {10, 25.0, 28.0, 200.0}});
    EXPECT_DOUBLE_EQ(airTableLookup(table, -40, 50, true), -40.0);
    EXPECT_DOUBLE_EQ(airTableLookup(table, -20, 85, true), -17.0);
    EXPECT_DOUBLE_EQ(airTableLookup(table, -20, 85, false), 300.0);
    EXPECT_DOUBLE_EQ(airTableLookup(table, -30, 50, true), -29.25);
    EXPECT_DOUBLE_EQ(airTableLookup(table, 0, 50, true), -18.5 + 43.5 * 20 / 30);
    EXPECT_DOUBLE_EQ(airTableLookup(table, 0, 85, false), 300 - 100.0 * 20 / 30);
}

TEST_F(AirTable, OutsideTheTable) {
    make({{-40, -40.0, -39.0, 400.0}, {10, 25.0, 28.0, 200.0}});
    // above the last row: nothing found
    EXPECT_DOUBLE_EQ(airTableLookup(table, 11, 50, true), 0.0);
    EXPECT_DOUBLE_EQ(airTableLookup(table, 11, 50, false), 0.0);
    // below the first row: between (0 °C, 0) and the first row
    EXPECT_DOUBLE_EQ(airTableLookup(table, -45, 50, true), 1.125 * -40.0);
    EXPECT_DOUBLE_EQ(airTableLookup(table, -45, 85, false), 1.125 * 400.0);
}

TEST_F(AirTable, FirstRowAtZeroDegreesGivesItsOwnValues) {
    make({{0, 9.5, 10.0, 250.0}, {10, 25.0, 28.0, 200.0}});
    EXPECT_DOUBLE_EQ(airTableLookup(table, 0, 50, true), 9.5);
    EXPECT_DOUBLE_EQ(airTableLookup(table, -5, 85, false), 250.0);
    EXPECT_DOUBLE_EQ(airTableLookup(table, 5, 50, true), 17.25);
}

TEST_F(AirTable, EmptyTableAndMissingColumn) {
    make({});
    EXPECT_DOUBLE_EQ(airTableLookup(table, 5, 50, true), 0.0);
    table.close();
    make({{0, 9.5, 10.0, 250.0}});
    try {
        airTableLookup(table, 5, 0, true, "Влажность в камере");
        FAIL() << "a humidity without a column must stop the run";
    } catch (const CalcError& e) {
        EXPECT_NE(std::string(e.what()).find("Влажность в камере 0 %"), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(airTableLookup(table, 5, 60, true), CalcError);
    EXPECT_EQ(humidityColumn(100), "VL100");
}

} // namespace
} // namespace vorn::test
