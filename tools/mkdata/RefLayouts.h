#pragma once
// Field layouts of the reference tables mkdata writes into DATA/. Tests that build their
// own small reference tables use the same layouts, so both stay in step.
#include "data/DbfCreate.h"
#include "refedit/RefTables.h"

#include <string>
#include <vector>

namespace vorn::layouts {

inline std::vector<DbfFieldSpec> materials() {
    return {{"M_NAIM", 'C', 20, 0}, {"M_KTP", 'N', 8, 3}};
}
inline std::vector<DbfFieldSpec> insulation() {
    return {{"IZ_NAIM", 'C', 20, 0}, {"IZ_KTP", 'N', 8, 3}};
}
inline std::vector<DbfFieldSpec> regions() {
    return {{"REG_NAIM", 'C', 30, 0}, {"REG_TEM", 'N', 3, 0}, {"REG_VLAJ", 'N', 3, 0}};
}
// TEMVOZD, the enthalpy columns VL50 ... VL100 and the heat of one person QP.
inline std::vector<DbfFieldSpec> air() {
    std::vector<DbfFieldSpec> f{{"TEMVOZD", 'N', 4, 0}};
    for (int phi = 50; phi <= 100; phi += 5)
        f.push_back({"VL" + std::to_string(phi), 'N', 8, 2});
    f.push_back({"QP", 'N', 6, 1});
    return f;
}
inline std::vector<DbfFieldSpec> products() {
    return {{"NAIM", 'C', 20, 0}, {"TIP", 'C', 10, 0}, {"TZAM", 'N', 6, 1},
            {"CP1", 'N', 6, 2},   {"CP2", 'N', 6, 2},  {"LSKR", 'N', 6, 1},
            {"Q1", 'N', 8, 1},    {"Q2", 'N', 8, 1},   {"Q3", 'N', 8, 1}};
}
inline std::vector<DbfFieldSpec> packaging() {
    return {{"NAIM", 'C', 20, 0}, {"SP", 'N', 6, 2}};
}
inline std::vector<DbfFieldSpec> executors() {
    return {{"NAME", 'C', 40, 0}};
}
inline std::vector<DbfFieldSpec> groups() {
    return {{"ID", 'N', 5, 0}, {"GR", 'C', 98, 0}, {"PGR", 'C', 98, 0}};
}
// An equipment catalogue: every kat*.dbf has these fields in this order.
inline std::vector<DbfFieldSpec> catalogue() {
    std::vector<DbfFieldSpec> f{{"SIS", 'C', 8, 0}, {"AGR", 'C', 30, 0}, {"VOHL", 'C', 14, 0}};
    for (int a = 25; a <= 40; a += 5) {
        f.push_back({"Q" + std::to_string(a), 'N', 6, 0});
        f.push_back({"T" + std::to_string(a), 'N', 5, 1});
    }
    f.push_back({"PPOT", 'N', 6, 2});
    f.push_back({"IPOT", 'N', 6, 1});
    f.push_back({"NABOR", 'C', 7, 0});
    f.push_back({"SHKAF", 'C', 16, 0});
    f.push_back({"ID_GRUP", 'N', 5, 0});
    f.push_back({"VO", 'N', 1, 0});
    return f;
}
// The user's price list, by the article codes the catalogues use.
inline std::vector<DbfFieldSpec> prices() {
    return priceListLayout();
}
inline std::vector<DbfFieldSpec> settings() {
    return {{"DIR", 'C', 254, 0}};
}

} // namespace vorn::layouts
