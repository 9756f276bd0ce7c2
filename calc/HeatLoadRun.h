#pragma once
// One run of the recalculation, step by step. Holds what the steps hand on to each other
// (the chamber-air enthalpy, the outside humidity class, Qx, the heaters and defrost) and
// nothing between runs. Each step records what it computed (CalcStep) as it computes.
#include "calc/CalcSteps.h"

#include <array>
#include <optional>
#include <string>

namespace vorn {

class CalcResults;
class DataModule;
class Table;
struct AirLookupTrace;

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
    void fans();             // gain 9, from Qx: fans, heaters and defrost
    bool requiredCapacity(); // box 11; true when its shown value changed
    void totals();           // box 10 and the report totals

    bool storage() const { return storage_; }

private:
    bool included(int gain) const;
    // Puts a gain into its box (0 when its switch is cleared) and returns the box.
    double setGain(int box, double value);
    // A new step of gain n with its title and formula.
    CalcStep begin(int gain, std::string formula) const;
    // The step's result is box n as shown; the step joins the run's record.
    void finish(CalcStep& step, int box);
    // A number field of the record, recorded as an input of step.
    double field(CalcStep& step, const std::string& name, const std::string& caption,
                 const char* unit) const;
    std::string textField(CalcStep& step, const std::string& name,
                          const std::string& caption) const;
    // The rows an air-table lookup interpolated between, as inputs of step.
    void airInputs(CalcStep& step, const AirLookupTrace& trace, bool enthalpy,
                   const std::string& what) const;
    // The heater and defrost fields read 0 on a file without them.
    double heaterField(CalcStep& step, const char* name, const char* caption,
                       const char* unit) const;

    DataModule& dm_;
    const std::array<bool, 9>& include_;
    CalcResults& results_;
    const Table& work_;
    bool storage_;
    double enthalpyInside_ = 0;
    int humidityClass_ = 0;
    double qx_ = 0;
    // The heaters and defrost share of box 9, as read back (0 when they are not part of it).
    double heatersShown_ = 0;
    std::optional<double> automaticRate_;
};

} // namespace vorn
