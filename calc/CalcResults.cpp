#include "calc/CalcResults.h"

#include "calc/Gains.h"
#include "calc/NumberFormat.h"

#include <cstdlib>

namespace vorn {

const char* CalcResults::boxCaption(int n) {
    return gainInfo(n).reportCaption;
}

int CalcResults::boxLabel(int n) {
    return gainInfo(n).reportLabel;
}

std::string CalcResults::caption(int n) const {
    if (n == 9 && heatersInGain9)
        return kGain9HeatersCaption;
    return boxCaption(n);
}

void CalcResults::setBox(int n, double value) {
    boxes_[static_cast<size_t>(n - 1)] = roundBox(value);
}

void CalcResults::resetGainBoxes() {
    for (int n = 1; n <= 9; ++n)
        setBox(n, 0);
}

const std::string& CalcResults::label(int number) const {
    static const std::string kNone;
    if (number < kFirstLabel || number > kLastLabel)
        return kNone;
    return labels_[static_cast<size_t>(number - kFirstLabel)];
}

const std::string& CalcResults::label(const std::string& name) const {
    static const std::string kNone;
    static const std::string kPrefix = "QRLabel";
    if (name.compare(0, kPrefix.size(), kPrefix) != 0 || name.size() != kPrefix.size() + 2)
        return kNone;
    return label(std::atoi(name.c_str() + kPrefix.size()));
}

void CalcResults::setLabel(int number, std::string text) {
    if (number >= kFirstLabel && number <= kLastLabel)
        labels_[static_cast<size_t>(number - kFirstLabel)] = std::move(text);
}

} // namespace vorn
