#pragma once
// A calculation the input tests start from: storage, 10 x 10 x 3.2 m, apples in wooden
// boxes, every gain counted; lighting 10 W/m² x 12 h x 100 m² / 24 / 1000 = 0.50 kW in box 6.
#include "data/Value.h"

#include <map>
#include <string>

namespace vorn::test {

inline std::map<std::string, Value> inputRecord() {
    std::map<std::string, Value> r = {
        {"OB_TERMR", "Хранение"}, {"OB_TIMEWRK", 16}, {"OB_KZAPAS", 1.0}, {"TE_PTIP", "Яблоки"},
        {"TE_TTIP", "Дерево"},    {"OB_KAMVS", 3.2},  {"OB_KAMDL", 10.0}, {"OB_KAMSH", 10.0},
        {"TE_VLAJ", 90},          {"OS_POW", 10},     {"OS_TIME", 12},    {"VO_PROC", 10},
        {"OB_RGNAIM", "Москва"},  {"OB_RGTMAX", 30},  {"OB_RGVLAJ", 55}};
    for (int n = 1; n <= 9; ++n)
        r["CH" + std::to_string(n)] = true;
    return r;
}

} // namespace vorn::test
