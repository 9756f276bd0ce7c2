#include "calc/AirTableLookup.h"

#include "calc/CalcError.h"
#include "data/Table.h"

#include <cstdlib>

namespace vorn {

std::string humidityColumn(int phi) {
    return "VL" + std::to_string(std::abs(phi));
}

double airTableLookup(Table& taInt, int t, int phi, bool wantEnthalpy, const char* humidityName) {
    return airTableLookup(taInt, t, phi, wantEnthalpy, humidityName, nullptr);
}

double airTableLookup(Table& taInt, int t, int phi, bool wantEnthalpy, const char* humidityName,
                      AirLookupTrace* trace) {
    const std::string column = humidityColumn(phi);
    if (trace) {
        *trace = AirLookupTrace{};
        trace->column = column;
    }
    // The point before the first row is (0 °C, 0).
    double tPrev = 0;
    double ePrev = 0;
    double pPrev = 0;
    double e = 0;
    double p = 0;
    bool havePrev = false;
    taInt.first();
    // The column must exist, whatever is wanted: the table has one column per humidity
    // class, and any other humidity (a blank one reads as 0) has no value to give.
    if (!taInt.eof() && !taInt.hasField(column))
        throw CalcError(std::string(humidityName) + " " + std::to_string(phi) +
                        " % не найдена в таблице свойств воздуха (нет столбца " + column +
                        "): укажите влажность из ряда 50, 55, ... 100 %.");
    // Only the temperatures are read while scanning; the two rows that bound t are read
    // once found (the previous one by stepping back).
    for (; !taInt.eof(); taInt.next()) {
        const double temp = taInt.asDouble("TEMVOZD");
        if (temp < t) {
            tPrev = temp;
            havePrev = true;
            continue;
        }
        const double eRow = taInt.asDouble(column);
        const double pRow = taInt.asDouble("QP");
        if (havePrev) {
            taInt.prior();
            ePrev = taInt.asDouble(column);
            pPrev = taInt.asDouble("QP");
        }
        if (trace) {
            trace->found = true;
            trace->prevIsRow = havePrev;
            trace->tPrev = tPrev;
            trace->ePrev = ePrev;
            trace->pPrev = pPrev;
            trace->tRow = temp;
            trace->eRow = eRow;
            trace->pRow = pRow;
        }
        if (temp == tPrev) {
            // First row at 0 °C with t at or below 0: the interval has no width; the
            // row's own values are the answer.
            e = eRow;
            p = pRow;
        } else {
            e = ePrev + (eRow - ePrev) * (t - tPrev) / (temp - tPrev);
            p = pPrev + (pRow - pPrev) * (t - tPrev) / (temp - tPrev);
        }
        break;
    }
    return wantEnthalpy ? e : p;
}

} // namespace vorn
