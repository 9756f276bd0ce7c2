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

// The column name for humidity phi: "VL" followed by phi without sign or leading zeros.
std::string humidityColumn(int phi);

} // namespace vorn
