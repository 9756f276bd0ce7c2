#include "Psychrometrics.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

using namespace vorn;

namespace {
struct Check {
    double t, phiPercent, pws, wGramsPerKg, h;
};
// Worked values for the equations at 101 325 Pa (refdata/notes.md, section 6).
const Check kChecks[] = {
    {25, 50, 3169.2, 9.881, 50.32},   {0, 100, 611.15, 3.774, 9.44},
    {-20, 90, 103.26, 0.571, -18.71}, {-20, 100, 103.26, 0.634, -18.56},
    {5, 100, 872.5, 5.402, 18.59},    {25, 100, 3169.2, 20.081, 76.31},
    {30, 60, 4246.0, 16.041, 71.19},  {35, 40, 5627.8, 14.132, 71.47},
    {2, 90, 706.0, 3.925, 11.84},     {-18, 90, 124.9, 0.691, -16.40},
    {-30, 90, 38.0, 0.210, -29.67},
};
} // namespace

TEST(Psychrometrics, MatchesTheWorkedCheckValues) {
    for (const Check& c : kChecks) {
        SCOPED_TRACE(testing::Message() << c.t << " °C, " << c.phiPercent << " %");
        EXPECT_NEAR(psychro::saturationPressure(c.t), c.pws, 0.06);
        EXPECT_NEAR(psychro::humidityRatio(c.t, c.phiPercent / 100) * 1000, c.wGramsPerKg, 0.0006);
        EXPECT_NEAR(psychro::enthalpy(c.t, c.phiPercent / 100), c.h, 0.006);
    }
}

TEST(Psychrometrics, AgreesWithTheAshraeTablesWithinHalfAPercent) {
    // Saturated air; the tables include the enhancement factor, so ours run slightly low.
    EXPECT_NEAR(psychro::saturationPressure(-20), 103.24, 103.24 * 0.005);
    EXPECT_NEAR(psychro::saturationPressure(5), 872.6, 872.6 * 0.005);
    EXPECT_NEAR(psychro::saturationPressure(25), 3169.7, 3169.7 * 0.005);
    EXPECT_NEAR(psychro::enthalpy(5, 1), 18.639, 18.639 * 0.005);
    EXPECT_NEAR(psychro::enthalpy(25, 1), 76.504, 76.504 * 0.005);
    EXPECT_NEAR(psychro::enthalpy(-20, 1), -18.542, 0.05);
}

TEST(Psychrometrics, AirTableHoldsTheFormulaValues) {
    Table t;
    t.setTableName(std::string(VORN_DATA_DIR) + "/s_int.DBF");
    t.setReadOnly(true);
    t.open();
    int rows = 0;
    for (t.first(); !t.eof(); t.next(), ++rows) {
        const double temp = t.asDouble("TEMVOZD");
        double previous = -1e9;
        for (int phi = 50; phi <= 100; phi += 5) {
            const double h = t.asDouble("VL" + std::to_string(phi));
            EXPECT_NEAR(h, psychro::enthalpy(temp, phi / 100.0), 0.005) << temp << " " << phi;
            EXPECT_GE(h, previous); // moister air holds more heat
            previous = h;
        }
    }
    EXPECT_EQ(rows, 19);
    ASSERT_TRUE(t.locate("TEMVOZD", -20));
    EXPECT_DOUBLE_EQ(t.asDouble("VL90"), -18.71);
    ASSERT_TRUE(t.locate("TEMVOZD", 25));
    EXPECT_DOUBLE_EQ(t.asDouble("VL50"), 50.32);
    ASSERT_TRUE(t.locate("TEMVOZD", 0));
    EXPECT_DOUBLE_EQ(t.asDouble("VL100"), 9.44);
}
