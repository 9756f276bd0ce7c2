#pragma once
// One run of the recalculation, step by step. Holds what the steps hand on to each other
// (the chamber-air enthalpy, the outside humidity class, Qx) and nothing between runs.
#include <array>
#include <optional>

namespace vorn {

class CalcResults;
class DataModule;
class Table;

class HeatLoadRun {
public:
    HeatLoadRun(DataModule& dm, const std::array<bool, 9>& include, CalcResults& results);

    void walls();        // gain 1
    void ventilation();  // gain 2; leaves I_in and the outside humidity class
    // VN_KR as the automatic rate sets it (rounded as the field stores it); empty when the
    // rate is typed in or the chamber has no volume.
    std::optional<double> automaticVentilationRate() const { return automaticRate_; }
    void infiltration(); // gain 3
    void product();      // gain 4
    void respiration();  // gain 5
    void lighting();     // gain 6
    void personnel();    // gain 7
    void transport();    // gain 8
    void formQx();
    void fans();             // gain 9, from Qx
    bool requiredCapacity(); // box 11; true when its shown value changed
    void totals();           // box 10 and the report totals

    bool storage() const { return storage_; }

private:
    bool included(int gain) const;
    // Puts a gain into its box (0 when its switch is cleared) and returns the box.
    double setGain(int box, double value);

    DataModule& dm_;
    const std::array<bool, 9>& include_;
    CalcResults& results_;
    const Table& work_;
    bool storage_;
    double enthalpyInside_ = 0;
    int humidityClass_ = 0;
    double qx_ = 0;
    std::optional<double> automaticRate_;
};

} // namespace vorn
