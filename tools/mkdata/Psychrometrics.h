#pragma once
// Moist-air properties at standard pressure (ASHRAE Fundamentals 2017, ch. 1,
// Hyland-Wexler saturation pressure; ideal-gas humidity ratio and enthalpy).
// Below the triple point the saturation pressure is taken over ice, the convention for
// frosted air in freezer rooms (as in PsychroLib). See refdata/notes.md, section 6.
namespace vorn::psychro {

constexpr double kStandardPressure = 101325.0; // Pa

// Saturation vapour pressure, Pa, t in °C (-100 ... 200).
double saturationPressure(double t);
// Humidity ratio, kg water per kg dry air, at relative humidity phi (0 ... 1).
double humidityRatio(double t, double phi, double pressure = kStandardPressure);
// Specific enthalpy of moist air, kJ per kg dry air.
double enthalpy(double t, double phi, double pressure = kStandardPressure);

} // namespace vorn::psychro
