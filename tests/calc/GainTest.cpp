// The nine gains, each on the smallest record that exercises it.
#include "CalcFixture.h"
#include "calc/CalcError.h"

#include <cmath>

namespace vorn::test {
namespace {

class WallGain : public CalcFixture {
protected:
    WallGain() {
        // wall А 5 m wide, 4 m high: 20 m²; the length stays blank, so no volume
        record = {{"OB_KAMSH", 5.0},   {"OB_KAMVS", 4.0}, {"OB_TEMKAM", -20},
                  {"ST_M1", "Кирпич"}, {"ST_MT1", 100},   {"ST_IZ1", "Пенопласт"},
                  {"ST_IZT1", 100},    {"ST_TEM1", 30}};
    }
};

TEST_F(WallGain, WorkedExampleAndSwitch) {
    open();
    run();
    // R = 1/22.7 + 0.1/0.5 + 0.1/0.04 + 1/9.37 = 2.850776; q = 20 / R * 50 = 350.78 W
    EXPECT_DOUBLE_EQ(box(1), 0.35);
    EXPECT_EQ(label(70), "0,35");
    EXPECT_EQ(label(71), "0,00");
    EXPECT_EQ(label(76), "0,35");

    screen.includeBoxes[0] = false;
    run();
    EXPECT_DOUBLE_EQ(box(1), 0.0);
    EXPECT_EQ(label(76), "0,00");
    EXPECT_EQ(label(70), "0,35"); // the row still shows its gain
}

TEST_F(WallGain, NamesMatchWholeValueIgnoringCase) {
    record["ST_M1"] = "кирпич";
    record["ST_IZ1"] = "ПЕНОПЛАСТ";
    record["ST_M3"] = "Кирп"; // only the beginning of a name: not found
    record["ST_IZ3"] = "Пенопласт";
    record["ST_MT3"] = 100;
    record["ST_TEM3"] = 30;
    open();
    run();
    EXPECT_EQ(label(70), "0,35");
    EXPECT_EQ(label(72), "0,00");
    EXPECT_DOUBLE_EQ(box(1), 0.35);
}

TEST_F(WallGain, ColderOutsideGivesNegativeGainAndNoInsulationLayer) {
    record["ST_IZT1"] = Value(); // empty thickness counts as 0 mm
    record["ST_TEM1"] = -30;     // colder than the chamber
    open();
    run();
    const double r = 1 / 22.7 + 0.1 / 0.5 + 1 / 9.37;
    const double q = 20 / r * (-30 - -20) / 1000;
    EXPECT_NEAR(q, -0.5702, 1e-4);
    EXPECT_DOUBLE_EQ(box(1), -0.57);
    EXPECT_EQ(label(70), "-0,57");
    EXPECT_EQ(label(76), "-0,57");
}

TEST_F(WallGain, ZeroConductivityStopsWithMaterialNamedAndKeepsEarlierValues) {
    materials[0] = {"Кирпич", 0.0};
    open();
    results.setBox(1, 9.99);
    try {
        run();
        FAIL() << "expected CalcError";
    } catch (const CalcError& e) {
        EXPECT_NE(std::string(e.what()).find("Кирпич"), std::string::npos) << e.what();
    }
    EXPECT_DOUBLE_EQ(box(1), 9.99); // the failing step sets nothing
    EXPECT_TRUE(std::isfinite(box(11)));
}

class VentilationGain : public CalcFixture {
protected:
    VentilationGain() {
        // 5 x 5 x 4 = 100 m³ at -20 °C, outside 20 °C and 55 %, inside 90 %
        record = {{"OB_KAMDL", 5.0}, {"OB_KAMSH", 5.0}, {"OB_KAMVS", 4.0}, {"OB_TEMKAM", -20},
                  {"OB_RGTMAX", 20}, {"OB_RGVLAJ", 55}, {"TE_VLAJ", 90},   {"ST_TEM1", -20}};
    }
};

TEST_F(VentilationGain, AutomaticRateIsWrittenBack) {
    open();
    run();
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("VN_KR"), 7.0);
    EXPECT_EQ(label(77), "7,00");
    const double rho = 1.293 / (1 + -20 / 273.15);
    EXPECT_NEAR(rho, 1.395153, 1e-6);
    const double g = 100 * 7 * rho / 86400;
    EXPECT_NEAR(g, 0.0113033, 1e-7);
    const double iOut = fixtureEnthalpy(20, 55);
    const double iIn = fixtureEnthalpy(-20, 90);
    EXPECT_DOUBLE_EQ(box(2), std::round((iOut - iIn) * g * 100) / 100);
    EXPECT_EQ(label(78), "0,41"); // 36.5 kJ/kg * 0.0113033 kg/s
}

TEST_F(VentilationGain, ManualRateIsKept) {
    record["VN_FLAG"] = true;
    record["VN_KR"] = 3.5;
    open();
    run();
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("VN_KR"), 3.5);
    EXPECT_EQ(label(77), "3,50");
}

TEST_F(VentilationGain, NoVolumeNoGainAndRateLabelZero) {
    record["OB_KAMVS"] = Value();
    record["VN_KR"] = 4.0;
    open();
    run();
    EXPECT_DOUBLE_EQ(box(2), 0.0);
    EXPECT_EQ(label(77), "0,00");
    EXPECT_DOUBLE_EQ(dm.taWork.asDouble("VN_KR"), 4.0);
}

TEST_F(VentilationGain, OutsideHumidityClasses) {
    // class 50 -> I_out = 25, 55 -> 25.5, 100 -> 30 (20 °C row)
    const std::pair<int, double> cases[] = {
        {52, 25.0}, {53, 25.5}, {100, 30.0}, {110, 25.0}, {47, 25.0}};
    open();
    const double g = 100 * 7 * (1.293 / (1 + -20 / 273.15)) / 86400;
    for (auto [humidity, iOut] : cases) {
        dm.taWork.edit();
        dm.taWork.setValue("OB_RGVLAJ", humidity);
        run();
        EXPECT_DOUBLE_EQ(box(2), std::round((iOut - fixtureEnthalpy(-20, 90)) * g * 100) / 100)
            << humidity;
    }
}

class InfiltrationGain : public CalcFixture {
protected:
    InfiltrationGain() {
        record = {{"OB_TEMKAM", -20},
                  {"ST_TEM1", 20},
                  {"IN_DV", 2.0},
                  {"IN_DH", 1.5},
                  {"IN_TOV", "Штабели на поддонах"},
                  {"TE_POBOR", 5000},
                  {"TE_TOBOR", 500},
                  {"IN_GPTS", 1000}};
    }
    // q_d with I_in = 0 (no volume) and the outside class 50, 20 °C at wall А.
    static double doorFlow(double tIn, double tOut) {
        const double rhoIn = 1.293 / (1 + tIn / 273.15);
        const double rhoA = 1.293 / (1 + tOut / 273.15);
        const double f = std::pow(2 / (1 + std::pow(rhoIn / rhoA, 0.33333)), 1.5);
        return 0.692 * 3.0 * fixtureEnthalpy(tOut, 50) * rhoIn * f *
               std::sqrt(2.0 * std::fabs(1 - rhoA / rhoIn));
    }
};

TEST_F(InfiltrationGain, DensityFactorOfWorkedExample) {
    const double rhoIn = 1.293 / (1 + -20 / 273.15);
    const double rhoA = 1.293 / (1 + 30 / 273.15);
    EXPECT_NEAR(rhoA, 1.165044, 1e-6);
    EXPECT_NEAR(rhoIn / rhoA, 1.197511, 1e-6);
    EXPECT_NEAR(std::pow(2 / (1 + std::pow(rhoIn / rhoA, 0.33333)), 1.5), 0.955293, 1e-6);
    EXPECT_NEAR(std::sqrt(2 * (1 - rhoA / rhoIn)), 0.574343, 1e-6);
}

TEST_F(InfiltrationGain, PassagesDoorAndCurtain) {
    open();
    run();
    // M = 4 t, p = 6, manual door: tau = 390 / 86400
    EXPECT_EQ(results.label3, "6");
    EXPECT_EQ(label(97), "6");
    EXPECT_EQ(label(79), "Ручная");
    const double tau = 390.0 / 86400;
    EXPECT_NEAR(tau, 0.00451389, 1e-8);
    const double plain = doorFlow(-20, 20) * tau * 1.1;
    EXPECT_DOUBLE_EQ(box(3), std::round(plain * 100) / 100);

    dm.taWork.edit();
    dm.taWork.setValue("IN_ZAV", "Возд. завеса");
    run();
    EXPECT_DOUBLE_EQ(box(3), std::round(plain * (1 - 0.7) * 100) / 100);
    dm.taWork.setValue("IN_ZAV", "Штора");
    dm.taWork.setValue("IN_TIP", true);
    run();
    EXPECT_EQ(label(79), "Автоматическая");
    const double tauAuto = (60 * 4.0 + 15 * 6) / 86400;
    EXPECT_DOUBLE_EQ(box(3), std::round(doorFlow(-20, 20) * tauAuto * 1.1 * 0.8 * 100) / 100);
}

TEST_F(InfiltrationGain, NoCarrierGivesOnePassage) {
    record["IN_GPTS"] = Value();
    open();
    run();
    EXPECT_EQ(results.label3, "1");
}

TEST_F(InfiltrationGain, WarmerChamberGivesNegativeGainNotFailure) {
    record["OB_TEMKAM"] = 20;
    record["ST_TEM1"] = -20;
    open();
    ASSERT_NO_THROW(run());
    // I_A at -20 °C is negative here and I_in is 0: the door cools the chamber
    const double expected = doorFlow(20, -20) * 390.0 / 86400 * 1.1;
    EXPECT_LT(expected, 0);
    EXPECT_DOUBLE_EQ(box(3), std::round(expected * 100) / 100);
    EXPECT_EQ(label(80), results.label(80));
    EXPECT_EQ(label(80).front(), '-');
}

TEST_F(InfiltrationGain, EqualTemperaturesGiveZero) {
    record["ST_TEM1"] = -20;
    open();
    run();
    EXPECT_DOUBLE_EQ(box(3), 0.0);
    EXPECT_EQ(label(80), "0,00");
}

class ProductGain : public CalcFixture {
protected:
    ProductGain() {
        record = {{"OB_TERMR", "Хранение"}, {"OB_TIMEWRK", 8}, {"TE_POBOR", 1000},
                  {"TE_PT0", 10},           {"TE_PT1", -18},   {"OB_KZAPAS", 1.0}};
    }
};

TEST_F(ProductGain, StorageCoolingAndAboveFreezing) {
    open(); // Говядина is the current row
    run();
    EXPECT_EQ(label(81), "3,70"); // 3.703125
    EXPECT_DOUBLE_EQ(box(4), 3.70);
    dm.taWork.edit();
    dm.taWork.setValue("OB_TERMR", "Охлаждение");
    run();
    EXPECT_EQ(label(81), "11,11"); // 11.109375
    dm.taWork.setValue("OB_TERMR", "Хранение");
    dm.taWork.setValue("TE_PT1", 2);
    run();
    EXPECT_NEAR(0.324074, 1000 * 3.5 * 8 / 86400.0, 1e-6);
    EXPECT_EQ(label(81), "0,32");
    dm.taWork.setValue("TE_PT0", 2);
    dm.taWork.setValue("TE_PT1", 10); // warmed: negative
    run();
    EXPECT_EQ(label(81), "-0,32");
    EXPECT_DOUBLE_EQ(box(4), -0.32);
}

TEST_F(ProductGain, PackagingPartAndSwitch) {
    record["TE_TOBOR"] = 2000;
    record["TE_TT0"] = 20;
    record["TE_TT1"] = -18;
    record["TE_TTIP"] = "Дерево";
    open();
    ASSERT_TRUE(dm.taTara.locate("NAIM", Value("Дерево")));
    screen.includeBoxes[3] = false;
    run();
    EXPECT_DOUBLE_EQ(box(4), 0.0);
    EXPECT_EQ(label(83), "0,00");
    EXPECT_EQ(label(81), "3,70");
    EXPECT_EQ(label(82), "2,20"); // 2000 * 2.5 * 38 / 86400 = 2.199
}

TEST_F(ProductGain, NoProductOrOtherRegimeGivesZero) {
    open();
    dm.taProd.setFilter("TIP='Нет такой'");
    dm.taProd.setFiltered(true);
    run();
    EXPECT_DOUBLE_EQ(box(4), 0.0);
    dm.taProd.setFiltered(false);
    dm.taWork.edit();
    dm.taWork.setValue("OB_TERMR", "Заморозка");
    run();
    EXPECT_DOUBLE_EQ(box(4), 0.0);
    EXPECT_EQ(label(81), "0,00");
}

TEST_F(ProductGain, ZeroProcessingTimeStopsWithMessage) {
    record["OB_TERMR"] = "Охлаждение";
    record["OB_TIMEWRK"] = Value();
    open();
    try {
        run();
        FAIL() << "expected CalcError";
    } catch (const CalcError& e) {
        EXPECT_NE(std::string(e.what()).find("Время термообработки"), std::string::npos);
    }
    // the steps before it did run
    EXPECT_EQ(label(80), "0,00");
    EXPECT_TRUE(label(83).empty());
}

TEST_F(ProductGain, Respiration) {
    record["TE_PMAS"] = 20000;
    record["TE_PT0"] = 15;
    record["TE_PT1"] = 2;
    open();
    run();
    // r1 = 28, r0 = 105: 0.155556 + 0.018472 = 0.174028
    EXPECT_DOUBLE_EQ(box(5), 0.17);
    EXPECT_EQ(label(84), "0,17");
    dm.taWork.edit();
    dm.taWork.setValue("TE_PT0", -1);
    run();
    EXPECT_DOUBLE_EQ(box(5), 0.0);
    // final temperature above 30: r1 = 0, r0 = r(15) = 105 -> 1 * 0.5 * 105 / 3600 = 0.01
    dm.taWork.setValue("TE_PT0", 15);
    dm.taWork.setValue("TE_PT1", 31);
    run();
    EXPECT_DOUBLE_EQ(box(5), 0.01);
}

TEST_F(ProductGain, RespirationRateRoundsHalfToEven) {
    // Q1 = 26, Q2 = 27: r(5) = 26.5 goes to 26, the even neighbour
    products[0] = {"Говядина", "Мясные", -1.5, 3.5, 1.8, 250.0, 26.0, 27.0, 27.0};
    record["OB_TERMR"] = "Охлаждение";
    record["OB_TIMEWRK"] = 8;
    record["TE_PMAS"] = Value();
    record["TE_POBOR"] = 720000;
    record["TE_PT0"] = 5;
    record["TE_PT1"] = 5;
    open();
    run();
    // 720 * 0.5 * (26 + 26) / 3600 = 5.20 (27 would give 5.40)
    EXPECT_DOUBLE_EQ(box(5), 5.20);
}

class InternalGains : public CalcFixture {
protected:
    InternalGains() {
        record = {{"OS_POW", 5},      {"OS_TIME", 8},           {"OB_KAMDL", 10.0},
                  {"OB_KAMSH", 6.0},  {"PER_KOL", 2},           {"OB_TEMKAM", 0},
                  {"TRS_POW", 10},    {"OB_TERMR", "Хранение"}, {"OB_TIMEWRK", 16},
                  {"OB_KZAPAS", 1.1}, {"VO_PROC", 10}};
    }
};

TEST_F(InternalGains, LightingPersonnelTransportFans) {
    airRows[2].back() = 300.0; // 300 W per person at 0 °C
    open();
    run();
    EXPECT_DOUBLE_EQ(box(6), 0.10);
    EXPECT_DOUBLE_EQ(box(7), 0.20);
    EXPECT_DOUBLE_EQ(box(8), std::round(10 * 8 / 24.0 / 2 * 100) / 100); // 1.67
    // Qx = (0.10 + 0.20 + 1.67) * 24 / 16 = 2.955; fans 10 %: 0.2955 -> 0.30
    EXPECT_DOUBLE_EQ(box(9), 0.30);
    dm.taWork.edit();
    dm.taWork.setValue("VO_UTOCH", true);
    dm.taWork.setValue("VO_KOLVO", 3);
    dm.taWork.setValue("VO_POW", 0.25);
    run();
    EXPECT_DOUBLE_EQ(box(9), 0.75);
    dm.taWork.setValue("OS_TIME", Value());
    run();
    EXPECT_DOUBLE_EQ(box(6), 0.0);
    EXPECT_DOUBLE_EQ(box(7), 0.0);
    EXPECT_DOUBLE_EQ(box(8), 0.0);
}

TEST_F(InternalGains, TransportTwelveHoursAndWarmChamberNoPersonHeat) {
    record["OS_TIME"] = 12;
    record["OB_TEMKAM"] = 45; // above the last row of the air table
    open();
    run();
    EXPECT_DOUBLE_EQ(box(8), 2.50);
    EXPECT_DOUBLE_EQ(box(7), 0.0);
}

} // namespace
} // namespace vorn::test
