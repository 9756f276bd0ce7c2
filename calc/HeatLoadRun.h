#pragma once
// One run of the recalculation, step by step. Holds what the steps hand on to each other
// (the chamber-air enthalpy, the outside humidity class, Qx) and nothing between runs.
namespace vorn {

class CalcResults;
class DataModule;
class ScreenState;
class Table;

class HeatLoadRun {
public:
    HeatLoadRun(DataModule& dm, const ScreenState& screen, CalcResults& results);

    void walls();        // gain 1
    void ventilation();  // gain 2; leaves I_in and the outside humidity class
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
    double setGain(int box, double value, const char* gainName);

    DataModule& dm_;
    const ScreenState& screen_;
    CalcResults& results_;
    Table& work_;
    bool storage_;
    double enthalpyInside_ = 0;
    int humidityClass_ = 0;
    double qx_ = 0;
};

} // namespace vorn
