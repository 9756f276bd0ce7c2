#pragma once
// What one recalculation leaves on the screen and on the reports: the eleven result boxes
// CurrencyEdit1..CurrencyEdit11 (kW, two decimals), the passages label Label3 and the
// finished texts of the report labels QRLabel70..QRLabel98.
#include "calc/CalcSteps.h"

#include <array>
#include <string>

namespace vorn {

class CalcResults {
public:
    static constexpr int kBoxCount = 11;
    static constexpr int kFirstLabel = 70;
    static constexpr int kLastLabel = 98;

    // The caption of box n = 1..11 as the reports print it ("Теплоприток через стены Qстен,
    // кВт" ... "Потребная холодопроизводительность, кВт"), and the label of the calculation
    // report that carries its value (76 ... 98).
    static const char* boxCaption(int n);
    static int boxLabel(int n);

    // Box n = 1..11 as read back (already rounded).
    double box(int n) const { return boxes_[static_cast<size_t>(n - 1)]; }
    // Puts a value into box n: rounded to two decimals, half away from zero.
    void setBox(int n, double value);
    // Result reset of New: boxes 1..9 to 0.
    void resetGainBoxes();

    // Calculation-report label "QRLabelNN" (NN = 70..98); empty for an unknown name.
    const std::string& label(const std::string& name) const;
    const std::string& label(int number) const;
    void setLabel(int number, std::string text);

    // Label3 of the main window (passages per day, mask "##0").
    std::string label3;
    // QRLabel98 of the systems-list report (B11, mask "###0.00").
    std::string systemsListLabel98;
    // Message of the last run that stopped at an undefined step; empty after a full run.
    std::string error;
    // The steps of the last run in run order (gains 1..9, then the required capacity); after
    // a stopped run the steps done before the failing one.
    std::vector<CalcStep> steps;
    // Gain 9 holds heaters and defrost besides the fans (the refining calculation on a file
    // that has their fields): its captions name them.
    bool heatersInGain9 = false;
    // The defrosts leave the equipment fewer hours than the capacity assumes; empty if not.
    std::string defrostWarning;

    // The caption of box n as the reports print it, naming the heaters in gain 9 when they
    // are part of it.
    std::string caption(int n) const;

private:
    std::array<double, kBoxCount> boxes_{};
    std::array<std::string, kLastLabel - kFirstLabel + 1> labels_{};
};

} // namespace vorn
