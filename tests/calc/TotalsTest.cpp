// Qx, the fan share, the required capacity and the sum, from gains set through lighting
// (box 6) and the product (box 4), the two gains that are easy to dial in exactly.
#include "CalcFixture.h"
#include "calc/CalcError.h"
#include "calc/Recalculate.h"

namespace vorn::test {
namespace {

class Totals : public CalcFixture {
protected:
    Totals() {
        // lighting 10 W/m² x 12 h x 32 m x 20 m / 24 / 1000 = 3.20 kW, nothing else
        record = {{"OS_POW", 10},     {"OS_TIME", 12},          {"OB_KAMDL", 32.0},
                  {"OB_KAMSH", 20.0}, {"OB_TERMR", "Хранение"}, {"OB_TIMEWRK", 16},
                  {"OB_KZAPAS", 1.1}, {"VO_PROC", 10}};
    }
};

TEST_F(Totals, Storage) {
    open();
    run();
    EXPECT_DOUBLE_EQ(box(6), 3.20);
    EXPECT_DOUBLE_EQ(box(9), 0.48);  // Qx = 4.80
    EXPECT_DOUBLE_EQ(box(11), 5.76); // 0.48 + 4.80 x 1.1
    EXPECT_DOUBLE_EQ(box(10), 3.68);
    EXPECT_EQ(label(98), "5,76");
    EXPECT_EQ(results.systemsListLabel98, "5,76");
    EXPECT_EQ(label(93), "3,68");
    EXPECT_EQ(label(88), "0,48");
}

TEST_F(Totals, CoolingAndOtherRegimeTexts) {
    // a frozen batch: 1000 kg x 1.8 x 32 K / (3600 x 16) = 1.00 kW into box 4
    record["OB_TERMR"] = "Охлаждение";
    record["OB_KAMSH"] = 13.75; // lighting 2.20
    record["TE_POBOR"] = 1000;
    record["TE_PT0"] = -2;
    record["TE_PT1"] = -34;
    open();
    run();
    EXPECT_DOUBLE_EQ(box(4), 1.00);
    EXPECT_DOUBLE_EQ(box(6), 2.20);
    EXPECT_DOUBLE_EQ(box(9), 0.32);
    EXPECT_DOUBLE_EQ(box(11), 4.55); // 1.32 + 2.20 x 24 / 18 x 1.1
    EXPECT_DOUBLE_EQ(box(10), 3.52);

    // an empty regime takes the non-storage totals (and no product gain)
    dm.taWork.edit();
    dm.taWork.setValue("OB_TERMR", Value());
    run();
    EXPECT_DOUBLE_EQ(box(4), 0.0);
    EXPECT_DOUBLE_EQ(box(9), 0.22);
    EXPECT_DOUBLE_EQ(box(11), 3.45); // 0.22 + 2.20 x 24 / 18 x 1.1
}

TEST_F(Totals, NoSafetyFactorLeavesFaceValueGains) {
    record["OB_KZAPAS"] = Value();
    open();
    run();
    EXPECT_DOUBLE_EQ(box(11), 0.48);
}

TEST_F(Totals, AllSwitchesClearedKeepTheReportDetails) {
    record["OB_KAMVS"] = 4.0; // volume 2560 m³
    record["TE_VLAJ"] = 90;
    record["OB_TEMKAM"] = -20;
    record["IN_DV"] = 2.0;
    record["IN_DH"] = 1.0;
    record["ST_TEM1"] = 30;
    record["TE_POBOR"] = 1000;
    record["TE_PT0"] = 10;
    record["TE_PT1"] = -18;
    record["ST_M1"] = "Кирпич";
    record["ST_IZ1"] = "Пенопласт";
    open();
    screen.includeBoxes.fill(false);
    run();
    for (int n = 1; n <= 11; ++n)
        EXPECT_DOUBLE_EQ(box(n), 0.0) << n;
    EXPECT_EQ(label(98), "0,00");
    EXPECT_NE(label(70), "0,00");
    EXPECT_EQ(label(77), "1,38"); // 70 / sqrt(2560)
    EXPECT_EQ(label(81), "3,70");
    EXPECT_EQ(results.label3, "1");
}

TEST_F(Totals, ZeroWorkingTimeInStorageStopsBeforeTheFans) {
    record["OB_TIMEWRK"] = Value();
    open();
    results.setBox(9, 7.77);
    EXPECT_THROW(run(), CalcError);
    EXPECT_DOUBLE_EQ(box(6), 3.20); // set before the failure
    EXPECT_DOUBLE_EQ(box(9), 7.77); // kept from before
}

TEST_F(Totals, CapacityChangeIsReportedOnlyWhenTheShownValueChanges) {
    open();
    auto changed = [this] {
        Recalculation r = recalculate(dm, screen.includeBoxes, results);
        results = r.results;
        return r.capacityChanged;
    };
    EXPECT_TRUE(changed());
    EXPECT_FALSE(changed());
    dm.taWork.edit();
    dm.taWork.setValue("OS_POW", 11);
    EXPECT_TRUE(changed());
}

TEST_F(Totals, ClosedTableChangesNothing) {
    open();
    dm.taWork.close();
    results.setBox(11, 1.23);
    run();
    EXPECT_DOUBLE_EQ(box(11), 1.23);
}

} // namespace
} // namespace vorn::test
