#include "calc/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vorn {

namespace {
// x * scale rounded half away from zero on the exact product, as a whole number held in
// a double. The product is rounded once by the hardware; fma recovers its exact error,
// which decides the one case that matters: a product that came out exactly on a half.
double scaledRound(double x, double scale) {
    const double y = x * scale;
    if (!std::isfinite(y) || std::fabs(y) >= 4503599627370496.0) // 2^52: already whole
        return y;
    const double err = std::fma(x, scale, -y); // exact x*scale - y
    const double fl = std::floor(y);
    const double frac = y - fl;
    if (frac == 0.5) {
        if (err > 0)
            return fl + 1;
        if (err < 0)
            return fl;
        return y > 0 ? fl + 1 : fl; // an exact half goes away from zero
    }
    return std::round(y);
}

std::string digitsOf(double whole) {
    const double a = std::fabs(whole);
    if (a < 9.0e18) { // the common case: integer digits without printf
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned long long>(a));
        return std::string(buf, res.ptr);
    }
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", a);
    return buf;
}

std::string formatScaled(double value, bool grouped) {
    double r = scaledRound(value, 100);
    if (r == 0)
        r = 0; // no "-0,00"
    std::string digits = digitsOf(r);
    while (digits.size() < 3)
        digits.insert(digits.begin(), '0');
    std::string intPart = digits.substr(0, digits.size() - 2);
    if (grouped) {
        std::string g;
        const size_t n = intPart.size();
        for (size_t i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                g += "\xC2\xA0";
            g += intPart[i];
        }
        intPart = g;
    }
    return std::string(r < 0 ? "-" : "") + intPart + "," + digits.substr(digits.size() - 2);
}
} // namespace

double roundBox(double value) {
    if (!std::isfinite(value))
        return value;
    const double r = scaledRound(value, 100);
    if (r == 0)
        return 0.0;
    return r / 100;
}

std::string formatMask2(double value) {
    return formatScaled(value, false);
}

std::string formatGrouped2(double value) {
    return formatScaled(value, true);
}

std::string formatMask0(double value) {
    double r = scaledRound(value, 1);
    if (r == 0)
        r = 0;
    return std::string(r < 0 ? "-" : "") + digitsOf(r);
}

double parseNumericText(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == ',')
            c = '.';
    // from_chars: the same reading whatever locale the window set
    const char* begin = s.data();
    if (!s.empty() && s[0] == '-')
        ++begin;
    double v = 0;
    const auto res = std::from_chars(begin, s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range)
        v = HUGE_VAL; // more digits than a double holds: clamped, or too large for the field
    else if (res.ec != std::errc())
        return 0; // "", "-", "." and "-.": nothing typed yet
    return begin != s.data() ? -v : v;
}

} // namespace vorn
