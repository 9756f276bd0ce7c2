#include "Catalogues.h"

#include "CsvTable.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <utility>

namespace vorn {

namespace {

// A complete condensing unit loses less capacity with the outside temperature than the
// bare compressor (its condenser runs closer as the load falls): it keeps this share of
// the compressor's drop, which puts the series at 6 … 10 % per 5 K.
constexpr double kUnitShareOfDrop = 0.8;
constexpr double kCosPhi = 0.8;
constexpr double kSinglePhaseVolts = 230;
constexpr double kThreePhaseVolts = 400;
// Temperature difference the air-cooler size code refers to.
constexpr double kCoolerCodeDt = 8;
// Installer's kits by capacity at +25 °C (upper bounds, W): refrigerant lines grow with it.
const double kKitBounds[] = {2000, 4000, 7000, 12000, 20000, 30000, 45000};
// Breaker ratings of the control cabinets, A; the cabinet carries 1.25 × the running current.
const int kBreakers[] = {6, 10, 13, 16, 20, 25, 32, 40, 50, 63, 80, 100, 125, 160, 200};

double round10(double v) {
    return std::round(v / 10) * 10;
}
double roundTo(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

std::string code3(double v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03ld", std::lround(v));
    return buf;
}

// Straight line between the listed evaporating temperatures, held at the end rows.
struct Curve {
    std::vector<std::pair<double, std::vector<double>>> points; // t0 descending

    std::vector<double> at(double t0) const {
        if (t0 >= points.front().first)
            return points.front().second;
        if (t0 <= points.back().first)
            return points.back().second;
        for (size_t i = 1; i < points.size(); ++i) {
            const auto& [ta, va] = points[i - 1];
            const auto& [tb, vb] = points[i];
            if (t0 >= tb) {
                std::vector<double> out(va.size());
                for (size_t k = 0; k < va.size(); ++k)
                    out[k] = va[k] + (vb[k] - va[k]) * (t0 - ta) / (tb - ta);
                return out;
            }
        }
        return points.back().second;
    }
};

Curve loadCurve(const std::string& path, const std::vector<std::string>& columns) {
    CsvTable csv = CsvTable::load(path);
    Curve c;
    for (size_t r = 0; r < csv.rowCount(); ++r) {
        const double t0 = csv.number(r, "T0");
        if (!c.points.empty() && t0 >= c.points.back().first)
            throw std::runtime_error(csv.origin() + ":" + std::to_string(csv.lineOf(r)) +
                                     ": T0 must descend");
        std::vector<double> v;
        for (const std::string& col : columns)
            v.push_back(csv.number(r, col));
        c.points.emplace_back(t0, std::move(v));
    }
    if (c.points.empty())
        throw std::runtime_error(csv.origin() + ": no rows");
    return c;
}

std::runtime_error rowError(const CsvTable& csv, size_t row, const std::string& what) {
    return std::runtime_error(csv.origin() + ":" + std::to_string(csv.lineOf(row)) + ": " + what);
}

} // namespace

CatalogueSet buildCatalogues(const std::string& dir) {
    CatalogueSet out;

    CsvTable groups = CsvTable::load(dir + "/groups.csv");
    std::map<std::pair<std::string, std::string>, int> groupOf; // (APP, KIND) -> ID
    for (size_t r = 0; r < groups.rowCount(); ++r) {
        const int id = static_cast<int>(groups.number(r, "ID"));
        if (!groupOf.emplace(std::make_pair(groups.cell(r, "APP"), groups.cell(r, "KIND")), id)
                 .second)
            throw rowError(groups, r, "APP and KIND appear twice");
        out.groups.push_back({id, groups.cell(r, "GR"), groups.cell(r, "PGR")});
    }

    const Curve capacity = loadCurve(dir + "/equipment_capacity.csv", {"Q30", "Q35", "Q40"});
    const Curve power = loadCurve(dir + "/equipment_power.csv", {"PQ_MIN", "PQ_MAX", "FANS"});
    CsvTable sizes = CsvTable::load(dir + "/equipment_sizes.csv");
    CsvTable classes = CsvTable::load(dir + "/equipment_classes.csv");

    for (size_t c = 0; c < classes.rowCount(); ++c) {
        CatalogueFile cat{classes.cell(c, "FILE"), {}};
        const std::string app = classes.cell(c, "APP");
        const double t0 = classes.number(c, "T0");
        const std::vector<double> drop = capacity.at(t0);
        const std::vector<double> pq = power.at(t0);
        const double powerRatio = (pq[0] + pq[1]) / 2 + pq[2];
        const double dts[3] = {classes.number(c, "DT1"), classes.number(c, "DT2"),
                               classes.number(c, "DT3")};

        for (size_t s = 0; s < sizes.rowCount(); ++s) {
            const double q25 = sizes.number(s, "QNOM");
            const std::string kind = sizes.cell(s, "KIND");
            auto g = groupOf.find({app, kind});
            if (g == groupOf.end())
                throw rowError(sizes, s, "no group for " + app + " " + kind + " in groups.csv");
            double q[4] = {q25, 0, 0, 0};
            for (int a = 1; a < 4; ++a) {
                const double unitShare = 100 - kUnitShareOfDrop * (100 - drop[a - 1]);
                q[a] = round10(q25 * unitShare / 100);
                if (!(q[a] < q[a - 1]))
                    throw rowError(sizes, s, cat.file + ": capacity does not fall with ambient");
            }
            const double ppot = roundTo(powerRatio * q[1] / 1000, 2);
            const bool singlePhase = kind == "ГП";
            const double ipot =
                roundTo(singlePhase ? ppot * 1000 / (kSinglePhaseVolts * kCosPhi)
                                    : ppot * 1000 / (std::sqrt(3.0) * kThreePhaseVolts * kCosPhi),
                        1);
            int kit = 1;
            for (double b : kKitBounds)
                kit += q25 > b;
            int breaker = kBreakers[0];
            for (int b : kBreakers) {
                breaker = b;
                if (b >= 1.25 * ipot)
                    break;
            }
            const std::string size = code3(q25 / 100);
            std::string agr = "А" + kind + "-" + size + app;
            if (kind == "ПГВ")
                agr += " + КВ-" + code3(q25 * (1 + powerRatio) / 100);
            const std::string kitName = "НМ-" + std::to_string(kit);
            const std::string cabinet = std::string("ШУ-") + (singlePhase ? "1ф" : "3ф") + "-" +
                                        std::to_string(breaker) + "А";

            for (int v = 0; v < 3; ++v) {
                const double dt = dts[v];
                if (dt < 5 || dt > 10)
                    throw rowError(classes, c, "temperature differences must lie in 5 … 10 K");
                DbfRow row;
                row.push_back(classes.cell(c, "CODE") + size + "-" + std::to_string(v + 1));
                row.push_back(agr);
                row.push_back("ВО-" + code3(q25 * kCoolerCodeDt / dt / 100) + "-" +
                              (app == "С" ? "4" : "7"));
                // The cooler takes the unit's smaller capacity at a proportionally smaller
                // temperature difference (its capacity goes with the difference).
                for (int a = 0; a < 4; ++a) {
                    row.push_back(q[a]);
                    row.push_back(roundTo(dt * q[a] / q25, 1));
                }
                row.push_back(ppot);
                row.push_back(ipot);
                row.push_back(kitName);
                row.push_back(cabinet);
                row.push_back(g->second);
                row.push_back(dt <= 7 ? 1 : 0);
                cat.rows.push_back(std::move(row));
            }
        }
        out.catalogues.push_back(std::move(cat));
    }
    return out;
}

} // namespace vorn
