#pragma once
// Rounding of the result boxes and the number masks of the reports, in one place.
#include <string>

namespace vorn {

// Rounds to two decimals, half away from zero, deciding on the exact value of the double:
// 0.125 -> 0.13, -0.125 -> -0.13, 2.675 (held slightly below) -> 2.67. Never returns -0.
double roundBox(double value);

// Mask "###0.00": no grouping, at least one integer digit, two decimals rounded as the
// boxes, a leading minus, comma as the decimal separator.
std::string formatMask2(double value);
// Masks "###0" and "##0": a whole number, rounded half away from zero.
std::string formatMask0(double value);
// The result boxes on screen: two decimals with digit grouping (non-breaking space).
std::string formatGrouped2(double value);

// The number a committed text stands for (either separator; "", "-" read as 0). Only
// meaningful for text that numericTextAllowed accepts.
double parseNumericText(const std::string& text);

} // namespace vorn
