#include "calc/CalcResults.h"

#include "calc/NumberFormat.h"

#include <cstdlib>

namespace vorn {

namespace {
struct BoxText {
    const char* caption;
    int label;
};
const BoxText kBoxes[CalcResults::kBoxCount] = {
    {"Теплоприток через стены Qстен, кВт", 76},
    {"Теплоприток от обменной вентиляции Qвен, кВт", 78},
    {"Теплоприток от инфильтрации Qинф, кВт", 80},
    {"Теплоприток от термообработки Qпрод, кВт", 83},
    {"Теплоприток от дыхания продуктов Qдых, кВт", 84},
    {"Теплоприток от освещения Qосв, кВт", 85},
    {"Теплоприток от персонала Qперс, кВт", 86},
    {"Теплоприток от ПТС Qптс, кВт", 87},
    {"Теплоприток от двигателей вентиляторов Qво, кВт", 88},
    {"Суммарный теплоприток, кВт", 93},
    {"Потребная холодопроизводительность, кВт", 98},
};
} // namespace

const char* CalcResults::boxCaption(int n) {
    return kBoxes[static_cast<size_t>(n - 1)].caption;
}

int CalcResults::boxLabel(int n) {
    return kBoxes[static_cast<size_t>(n - 1)].label;
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
