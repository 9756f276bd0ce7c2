// mkdata: builds the reference tables and the calculation templates of DATA/ from the
// CSV files of refdata/. Run at build time:  mkdata REFDATA_DIR OUT_DIR
// Any problem in the reference data fails the build with a message naming the file and row.
#include "Catalogues.h"
#include "CsvTable.h"
#include "Psychrometrics.h"
#include "RefLayouts.h"
#include "data/CalcRecord.h"
#include "data/CodePage.h"
#include "data/DbfCreate.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vorn;

namespace {

struct Output {
    std::string file;
    std::vector<DbfFieldSpec> fields;
    std::vector<DbfRow> rows;
};

std::runtime_error rowError(const CsvTable& csv, size_t row, const std::string& what) {
    return std::runtime_error(csv.origin() + ":" + std::to_string(csv.lineOf(row)) + ": " + what);
}

// A name that is a key of its table: not empty, within the record field's width, unique
// ignoring case (otherwise a stored name would not find its own row again).
std::string keyName(const CsvTable& csv, size_t row, const std::string& column, size_t width,
                    std::set<std::string>& seen) {
    const std::string& name = csv.cell(row, column);
    if (name.empty())
        throw rowError(csv, row, column + " is empty");
    if (utf8Characters(name) > width)
        throw rowError(csv, row,
                       column + " '" + name + "' has " + std::to_string(utf8Characters(name)) +
                           " characters; at most " + std::to_string(width) +
                           " fit the calculation record");
    if (!seen.insert(foldCase(name)).second)
        throw rowError(csv, row, column + " '" + name + "' appears twice (ignoring case)");
    return name;
}

double wholeNumber(const CsvTable& csv, size_t row, const std::string& column) {
    double d = csv.number(row, column);
    if (d != std::floor(d))
        throw rowError(csv, row, column + " must be a whole number");
    return d;
}

Output materials(const std::string& dir) {
    CsvTable csv = CsvTable::load(dir + "/materials.csv");
    Output out{"s_mater.DBF", layouts::materials(), {}};
    std::set<std::string> seen;
    for (size_t r = 0; r < csv.rowCount(); ++r)
        out.rows.push_back({keyName(csv, r, "M_NAIM", 20, seen), csv.number(r, "M_KTP")});
    return out;
}

Output insulation(const std::string& dir) {
    CsvTable csv = CsvTable::load(dir + "/insulation.csv");
    Output out{"s_izolm.DBF", layouts::insulation(), {}};
    std::set<std::string> seen;
    for (size_t r = 0; r < csv.rowCount(); ++r)
        out.rows.push_back({keyName(csv, r, "IZ_NAIM", 20, seen), csv.number(r, "IZ_KTP")});
    return out;
}

Output regions(const std::string& dir) {
    CsvTable csv = CsvTable::load(dir + "/regions.csv");
    Output out{"s_region.dbf", layouts::regions(), {}};
    std::set<std::string> seen;
    for (size_t r = 0; r < csv.rowCount(); ++r)
        out.rows.push_back({keyName(csv, r, "REG_NAIM", 30, seen), wholeNumber(csv, r, "REG_TEM"),
                            wholeNumber(csv, r, "REG_VLAJ")});
    if (!seen.count(foldCase("Другой")))
        throw std::runtime_error(csv.origin() + ": the row 'Другой' is missing");
    return out;
}

// Heat of one person by air temperature, from persons.csv: straight line between listed
// temperatures, held at the end values outside them.
double personHeat(const std::vector<std::pair<double, double>>& pts, double t) {
    if (t <= pts.front().first)
        return pts.front().second;
    if (t >= pts.back().first)
        return pts.back().second;
    for (size_t i = 1; i < pts.size(); ++i)
        if (t <= pts[i].first) {
            const auto& [t0, q0] = pts[i - 1];
            const auto& [t1, q1] = pts[i];
            return q0 + (q1 - q0) * (t - t0) / (t1 - t0);
        }
    return pts.back().second;
}

// Air properties, -40 ... +50 °C in steps of 5, ascending (the lookup relies on the order).
Output airTable(const std::string& dir) {
    CsvTable csv = CsvTable::load(dir + "/persons.csv");
    std::vector<std::pair<double, double>> persons;
    for (size_t r = 0; r < csv.rowCount(); ++r) {
        double t = wholeNumber(csv, r, "TEMVOZD");
        if (!persons.empty() && t <= persons.back().first)
            throw rowError(csv, r, "TEMVOZD must ascend");
        persons.emplace_back(t, csv.number(r, "QP"));
    }
    if (persons.empty())
        throw std::runtime_error(csv.origin() + ": no rows");

    Output out{"s_int.DBF", layouts::air(), {}};
    for (int t = -40; t <= 50; t += 5) {
        DbfRow row{t};
        for (int phi = 50; phi <= 100; phi += 5)
            row.push_back(std::round(psychro::enthalpy(t, phi / 100.0) * 100) / 100);
        row.push_back(personHeat(persons, t));
        out.rows.push_back(std::move(row));
    }
    return out;
}

const std::set<std::string> kCategories = {"Мясные", "Рыбные", "Молочные",
                                           "Овощи",  "Фрукты", "Прочие"};

Output products(const std::string& dir) {
    CsvTable csv = CsvTable::load(dir + "/products.csv");
    Output out{"products.DBF", layouts::products(), {}};
    std::set<std::string> seen;
    for (size_t r = 0; r < csv.rowCount(); ++r) {
        DbfRow row{keyName(csv, r, "NAIM", 20, seen)};
        const std::string& tip = csv.cell(r, "TIP");
        if (!kCategories.count(tip))
            throw rowError(csv, r, "TIP '" + tip + "' is not one of the six categories");
        row.push_back(tip);
        for (const char* col : {"TZAM", "CP1", "CP2", "LSKR", "Q1", "Q2", "Q3"})
            row.push_back(csv.number(r, col));
        out.rows.push_back(std::move(row));
    }
    return out;
}

Output packaging(const std::string& dir) {
    CsvTable csv = CsvTable::load(dir + "/packaging.csv");
    Output out{"s_tara.DBF", layouts::packaging(), {}};
    std::set<std::string> seen;
    for (size_t r = 0; r < csv.rowCount(); ++r)
        out.rows.push_back({keyName(csv, r, "NAIM", 20, seen), csv.number(r, "SP")});
    return out;
}

// Executors are added by the users themselves; the list starts empty.
Output executors() {
    return {"s_isp.DBF", layouts::executors(), {}};
}

// Prices are the user's own: the table ships with whatever refdata/prices.csv holds (its
// header alone).
Output prices(const std::string& dir) {
    CsvTable csv = CsvTable::load(dir + "/prices.csv");
    Output out{"prices.dbf", layouts::prices(), {}};
    std::set<std::string> seen;
    for (size_t r = 0; r < csv.rowCount(); ++r)
        out.rows.push_back(
            {keyName(csv, r, "ARTICLE", 20, seen), csv.cell(r, "NAME"), csv.number(r, "PRICE")});
    return out;
}

// The start folder of the file dialogs: empty until the user picks one.
Output settings() {
    return {"S_INIT.DBF", layouts::settings(), {DbfRow{Value()}}};
}

// Layout of a calculation file. Whole-number widths follow the kinds (small whole: at most
// 4, whole: 5 to 10); fractional widths leave room for any value the input rules and the
// recalculation write (VN_KR = 70 / sqrt(volume) grows large for a tiny chamber).
std::vector<DbfFieldSpec> calcLayout() {
    std::vector<DbfFieldSpec> f;
    auto c = [&f](const std::string& n, int len) { f.push_back({n, 'C', len, 0}); };
    auto small = [&f](const std::string& n) { f.push_back({n, 'N', 4, 0}); };
    auto whole = [&f](const std::string& n, int len) { f.push_back({n, 'N', len, 0}); };
    auto frac = [&f](const std::string& n, int len, int dec) { f.push_back({n, 'N', len, dec}); };
    auto logical = [&f](const std::string& n) { f.push_back({n, 'L', 1, 0}); };

    c("OB_RGNAIM", 30);
    for (int n = 1; n <= 9; ++n)
        logical("CH" + std::to_string(n));
    c("OBR_NAIM", 200);
    c("OBR_AGR", 50);
    c("OBR_VO", 50);
    c("OB_ISP", 40);
    small("OB_RGTMAX");
    small("OB_RGVLAJ");
    c("OB_TERMR", 12);
    small("OB_TEMKAM");
    small("OB_TIMEWRK");
    frac("OB_KZAPAS", 6, 2);
    frac("OB_KAMDL", 8, 2);
    frac("OB_KAMSH", 8, 2);
    frac("OB_KAMVS", 8, 2);
    c("OB_OPER", 30);
    f.push_back({"OB_DATE", 'D', 8, 0});
    c("KL_NAIM", 40);
    c("KL_DATA", 60);
    c("KL_PRIM", 60);
    for (int n = 1; n <= 6; ++n)
        c("ST_M" + std::to_string(n), 20);
    for (int n = 1; n <= 6; ++n)
        whole("ST_MT" + std::to_string(n), 5);
    for (int n = 1; n <= 6; ++n)
        c("ST_IZ" + std::to_string(n), 20);
    for (int n = 1; n <= 6; ++n)
        whole("ST_IZT" + std::to_string(n), 5);
    for (int n = 1; n <= 6; ++n)
        small("ST_TEM" + std::to_string(n));
    logical("ST_IDENT");
    frac("VN_KR", 12, 2);
    logical("VN_FLAG");
    logical("IN_TIP");
    c("IN_ZAV", 12);
    frac("IN_DV", 8, 2);
    frac("IN_DH", 8, 2);
    c("IN_TOV", 20);
    frac("IN_VSHTAB", 9, 4);
    small("IN_PLOTN");
    whole("IN_GPTS", 10);
    c("TE_PTIP", 20);
    whole("TE_PMAS", 10);
    whole("TE_POBOR", 10);
    small("TE_PT0");
    small("TE_PT1");
    c("TE_TTIP", 20);
    whole("TE_TMAS", 10);
    whole("TE_TOBOR", 10);
    small("TE_TT0");
    small("TE_TT1");
    small("TE_VLAJ");
    small("OS_TIME");
    small("OS_POW");
    logical("OS_REC");
    small("PER_KOL");
    small("TRS_POW");
    small("PRO_PRED");
    small("PRO_VKOL");
    small("PRO_VPOW");
    small("VO_PROC");
    logical("VO_UTOCH");
    small("VO_KOLVO");
    frac("VO_POW", 8, 3);
    c("OBR_SHKAF", 30);
    c("OBR_KMONT", 30);
    small("KOLSYS");
    whole("PROIZSYS", 10);
    c("SIS", 6);
    // heaters and defrost of gain 9, at the end: files without them still open
    for (const HeaterField& h : heaterFields())
        f.push_back({h.name, h.type, h.length, h.decimals});
    return f;
}

const DbfRow* findRow(const Output& table, const std::string& name) {
    for (const DbfRow& r : table.rows)
        if (equalsIgnoreCase(r[0].toString(), name))
            return &r;
    return nullptr;
}

std::string pickName(const Output& table, const std::string& wanted) {
    if (table.rows.empty())
        throw std::runtime_error(table.file + ": no rows for the template defaults");
    const DbfRow* r = findRow(table, wanted);
    return (r ? *r : table.rows.front())[0].toString();
}

// The record of a new calculation: a 6 x 4 x 3 m storage chamber at -18 °C in sandwich
// panels (steel skins, 150 mm PUR), frozen beef on pallets in cardboard.
DbfRow calcDefaults(const Output& mater, const Output& izolm, const Output& region,
                    const Output& prod, const Output& tara) {
    const std::vector<DbfFieldSpec> layout = calcLayout();
    std::map<std::string, Value> v;

    const std::string regionName = pickName(region, "Москва");
    const DbfRow& reg = *findRow(region, regionName);
    const int tmax = static_cast<int>(reg[1].toDouble());
    v["OB_RGNAIM"] = regionName;
    v["OB_RGTMAX"] = tmax;
    v["OB_RGVLAJ"] = static_cast<int>(reg[2].toDouble());
    for (int n = 1; n <= 9; ++n)
        v["CH" + std::to_string(n)] = true;
    v["OB_TERMR"] = "Хранение";
    v["OB_TEMKAM"] = -18;
    v["OB_TIMEWRK"] = 16;
    v["OB_KZAPAS"] = 1.1;
    const double dl = 6, sh = 4, vs = 3;
    v["OB_KAMDL"] = dl;
    v["OB_KAMSH"] = sh;
    v["OB_KAMVS"] = vs;

    const std::string steel = pickName(mater, "Сталь листовая");
    const std::string pur = pickName(izolm, "Пенополиуретан PUR");
    for (int n = 1; n <= 6; ++n) {
        const std::string k = std::to_string(n);
        v["ST_M" + k] = steel;
        v["ST_MT" + k] = 1; // two 0.5 mm skins
        v["ST_IZ" + k] = pur;
        v["ST_IZT" + k] = 150;
        v["ST_TEM" + k] = tmax;
    }
    v["ST_IDENT"] = true;

    // The automatic rate 70 / sqrt(V), as the recalculation would write it.
    v["VN_KR"] = std::round(70 / std::sqrt(dl * sh * vs) * 100) / 100;
    v["VN_FLAG"] = false;
    v["IN_TIP"] = false;
    v["IN_ZAV"] = "Нет";
    v["IN_DV"] = 2.0;
    v["IN_DH"] = 1.2;
    v["IN_TOV"] = "Штабели на поддонах";
    const double stack = vs - 0.5, density = 300;
    v["IN_VSHTAB"] = stack;
    v["IN_PLOTN"] = static_cast<int>(density);
    v["IN_GPTS"] = 1000;

    // Full load at low turnover: L x W x stacking height x density x 0.7; 10 % a day.
    const double mass = dl * sh * stack * density * 0.7;
    v["TE_PTIP"] = pickName(prod, "Говядина (туша)");
    v["TE_PMAS"] = std::nearbyint(mass);
    v["TE_POBOR"] = std::nearbyint(mass * 0.1);
    v["TE_PT0"] = -10;
    v["TE_PT1"] = -18;
    v["TE_TTIP"] = pickName(tara, "Картон");
    v["TE_TMAS"] = std::nearbyint(mass * 0.1);
    v["TE_TOBOR"] = std::nearbyint(mass * 0.01);
    v["TE_TT0"] = -10;
    v["TE_TT1"] = -18;
    v["TE_VLAJ"] = 90;
    v["OS_TIME"] = 4;
    v["OS_POW"] = 5;
    v["OS_REC"] = false;
    v["PER_KOL"] = 1;
    v["TRS_POW"] = 2;
    v["PRO_PRED"] = 0;
    v["PRO_VKOL"] = 0;
    v["PRO_VPOW"] = 0;
    v["VO_PROC"] = 10;
    v["VO_UTOCH"] = false;
    v["VO_KOLVO"] = 2;
    v["VO_POW"] = 0.12;
    v["KOLSYS"] = 1;
    v["PROIZSYS"] = 0;
    for (const HeaterField& h : heaterFields())
        v[h.name] = h.templateValue;

    DbfRow row;
    for (const DbfFieldSpec& f : layout) {
        auto it = v.find(f.name);
        row.push_back(it != v.end() ? it->second : Value());
        if (it != v.end())
            v.erase(it);
    }
    if (!v.empty())
        throw std::runtime_error("template default for unknown field " + v.begin()->first);
    return row;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkdata REFDATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::string in = argv[1];
    const std::string out = argv[2];
    std::vector<Output> outputs;
    try {
        outputs.push_back(materials(in));
        outputs.push_back(insulation(in));
        outputs.push_back(regions(in));
        outputs.push_back(airTable(in));
        outputs.push_back(products(in));
        outputs.push_back(packaging(in));
        outputs.push_back(executors());
        // Equipment groups ("GR, PGR" is stored in OBR_NAIM, 200 characters) and the
        // nine catalogues.
        CatalogueSet equipment = buildCatalogues(in);
        outputs.push_back({"grups.dbf", layouts::groups(), std::move(equipment.groups)});
        outputs.push_back(settings());
        DbfRow defaults = calcDefaults(outputs[0], outputs[1], outputs[2], outputs[4], outputs[5]);
        outputs.push_back({"vorn.dbf", calcLayout(), {defaults}});
        outputs.push_back({"trec.dbf", calcLayout(), {defaults}});
        for (CatalogueFile& k : equipment.catalogues)
            outputs.push_back({k.file, layouts::catalogue(), std::move(k.rows)});
        outputs.push_back(prices(in));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkdata: %s\n", e.what());
        return 1;
    }
    for (const Output& o : outputs) {
        const std::string path = out + "/" + o.file;
        try {
            createDbf(path, o.fields, o.rows);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "mkdata: %s: %s\n", o.file.c_str(), e.what());
            // Leave no partial DATA behind, so the next build runs again.
            for (const Output& w : outputs)
                std::remove((out + "/" + w.file).c_str());
            return 1;
        }
    }
    return 0;
}
