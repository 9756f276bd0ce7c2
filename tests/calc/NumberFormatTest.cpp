#include "calc/NumberFormat.h"

#include "calc/CalcResults.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(NumberFormat, BoxesRoundHalfAwayFromZeroOnTheExactDouble) {
    EXPECT_DOUBLE_EQ(roundBox(0.125), 0.13);
    EXPECT_DOUBLE_EQ(roundBox(-0.125), -0.13);
    EXPECT_DOUBLE_EQ(roundBox(2.675), 2.67); // held slightly below 2.675
    EXPECT_DOUBLE_EQ(roundBox(1.005), 1.0);  // held slightly below 1.005
    EXPECT_DOUBLE_EQ(roundBox(0.375), 0.38); // exact half
    EXPECT_DOUBLE_EQ(roundBox(1.004), 1.0);
    EXPECT_DOUBLE_EQ(roundBox(123456.785), 123456.79); // held slightly above
    EXPECT_FALSE(std::signbit(roundBox(-0.004)));
}

TEST(NumberFormat, Masks) {
    EXPECT_EQ(formatMask2(0.35), "0,35");
    EXPECT_EQ(formatMask2(1234.5), "1234,50");
    EXPECT_EQ(formatMask2(-0.125), "-0,13");
    EXPECT_EQ(formatMask2(2.675), "2,67");
    EXPECT_EQ(formatMask2(-0.004), "0,00");
    EXPECT_EQ(formatMask2(0), "0,00");
    EXPECT_EQ(formatMask0(6), "6");
    EXPECT_EQ(formatMask0(1234), "1234");
    EXPECT_EQ(formatGrouped2(1234567.891), "1\xC2\xA0"
                                           "234\xC2\xA0"
                                           "567,89");
    EXPECT_EQ(formatGrouped2(-999.999), "-1\xC2\xA0"
                                        "000,00");
}

TEST(NumberFormat, ResultsReadBackRoundedSoSumsUseRoundedValues) {
    CalcResults r;
    r.setBox(1, 1.004);
    r.setBox(2, 1.004);
    r.setBox(10, r.box(1) + r.box(2));
    EXPECT_EQ(formatMask2(r.box(10)), "2,00");
    r.setLabel(98, "5,76");
    EXPECT_EQ(r.label("QRLabel98"), "5,76");
    EXPECT_EQ(r.label("QRLabel99"), "");
    EXPECT_EQ(r.label("Label98"), "");
}

} // namespace
} // namespace vorn
