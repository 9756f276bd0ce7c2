#include "Psychrometrics.h"

#include <cmath>

namespace vorn::psychro {

namespace {
constexpr double kTriplePointC = 0.01;
constexpr double kKelvin = 273.15;
} // namespace

double saturationPressure(double t) {
    const double T = t + kKelvin;
    double lnP;
    if (t <= kTriplePointC) {
        // over ice, -100 ... 0 °C (eq. 5)
        lnP = -5.6745359E+03 / T + 6.3925247 - 9.6778430E-03 * T + 6.2215701E-07 * T * T +
              2.0747825E-09 * T * T * T - 9.4840240E-13 * T * T * T * T + 4.1635019 * std::log(T);
    } else {
        // over liquid water, 0 ... 200 °C (eq. 6)
        lnP = -5.8002206E+03 / T + 1.3914993 - 4.8640239E-02 * T + 4.1764768E-05 * T * T -
              1.4452093E-08 * T * T * T + 6.5459673 * std::log(T);
    }
    return std::exp(lnP);
}

double humidityRatio(double t, double phi, double pressure) {
    const double pw = phi * saturationPressure(t);
    return 0.621945 * pw / (pressure - pw); // eq. 20
}

double enthalpy(double t, double phi, double pressure) {
    const double w = humidityRatio(t, phi, pressure);
    return 1.006 * t + w * (2501.0 + 1.86 * t); // eq. 30
}

} // namespace vorn::psychro
