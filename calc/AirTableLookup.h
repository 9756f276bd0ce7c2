#pragma once
// Air properties from s_int.DBF by straight-line interpolation between its rows.
#include <string>

namespace vorn {

class Table;

// Interpolates, at the whole temperature t (°C), the enthalpy column "VL"+phi (kJ/kg)
// when wantEnthalpy is set, else the heat of one person QP (W). Reads the table from its
// first row in file order; moves its current record. The column "VL"+phi must exist in
// both cases: otherwise a CalcError names the humidity by humidityName ("Влажность в
// камере").
double airTableLookup(Table& taInt, int t, int phi, bool wantEnthalpy,
                      const char* humidityName = "Влажность воздуха");

// The two points a lookup interpolated between, for the calculation note: the row below
// (or the point 0 °C, 0 before the first row) and the first row at t or above. found is
// false when t lies above the last row (the result is then 0).
struct AirLookupTrace {
    bool found = false;
    bool prevIsRow = false; // the lower point is a row of the table, not (0 °C, 0)
    double tPrev = 0, ePrev = 0, pPrev = 0;
    double tRow = 0, eRow = 0, pRow = 0;
    std::string column;
};
double airTableLookup(Table& taInt, int t, int phi, bool wantEnthalpy, const char* humidityName,
                      AirLookupTrace* trace);

// The column name for humidity phi: "VL" followed by phi without sign or leading zeros.
std::string humidityColumn(int phi);

} // namespace vorn
