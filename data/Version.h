#pragma once

namespace vorn {
// The program's version line, shown on the start screen and printed in report footers.
inline constexpr const char* kVersionLine = "Vorn версия 2.05 от 03.10.2002г.";
} // namespace vorn
