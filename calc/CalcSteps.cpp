#include "calc/CalcSteps.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vorn {

StepInput& CalcStep::input(std::string name, std::string caption, double value, std::string unit,
                           std::string source) {
    StepInput in;
    in.name = std::move(name);
    in.caption = std::move(caption);
    in.number = value;
    in.unit = std::move(unit);
    in.source = std::move(source);
    inputs.push_back(std::move(in));
    return inputs.back();
}

StepInput& CalcStep::textInput(std::string name, std::string caption, std::string value,
                               std::string source) {
    StepInput& in = input(std::move(name), std::move(caption), 0, {}, std::move(source));
    in.isText = true;
    in.text = std::move(value);
    return in;
}

void CalcStep::value(std::string key, std::string caption, double number, std::string unit) {
    values.push_back({std::move(key), std::move(caption), number, std::move(unit)});
}

double CalcStep::valueOf(const std::string& key) const {
    for (const StepValue& v : values)
        if (v.key == key)
            return v.number;
    return 0;
}

double sixDigits(double v) {
    if (!std::isfinite(v) || v == 0)
        return 0;
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%.6g", v);
    double out = 0;
    // from_chars reads the C locale's form, whatever the program's locale
    std::from_chars(buf, buf + n, out);
    return out == 0 ? 0 : out;
}

std::string formatSix(double v) {
    v = sixDigits(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    std::string s = buf;
    const size_t e = s.find('e');
    if (e == std::string::npos) {
        for (char& c : s)
            if (c == '.')
                c = ',';
        return s;
    }
    // 1.2e-05 -> 1,2·10^-5
    std::string mant = s.substr(0, e);
    for (char& c : mant)
        if (c == '.')
            c = ',';
    const int exp = std::atoi(s.c_str() + e + 1);
    return mant + "·10^" + std::to_string(exp);
}

} // namespace vorn
