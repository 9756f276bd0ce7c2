#include "selection/Selection.h"

#include "calc/CalcResults.h"
#include "data/CalcRecord.h"
#include "data/CodePage.h"
#include "data/DataModule.h"
#include "data/FieldCodec.h"
#include "data/Table.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

namespace vorn {

namespace {

struct ChamberRange {
    double above;  // exclusive
    double atMost; // inclusive
    CatalogueClass cls;
};
const ChamberRange kChamberRanges[] = {
    {10, 30, {"kat12.dbf", "+12"}},      {6, 10, {"kat8.dbf", "+8"}},
    {2, 6, {"kat4.dbf", "+4"}},          {-2.5, 2, {"kat0.dbf", "0"}},
    {-8.5, -2.5, {"kat-5.dbf", "-5"}},   {-15, -8.5, {"kat-12.dbf", "-12"}},
    {-21.5, -15, {"kat-18.dbf", "-18"}}, {-27.5, -21.5, {"kat-25.dbf", "-25"}},
    {-45, -27.5, {"kat-30.dbf", "-30"}},
};

struct AmbientRange {
    double atLeast; // inclusive
    double below;   // exclusive
    int cls;
};
const AmbientRange kAmbientRanges[] = {
    {0, 27.5, 25}, {27.5, 32.5, 30}, {32.5, 37.5, 35}, {37.5, 50, 40}};


// Ties to the even neighbour (the default rounding mode, which nothing changes).
long roundEven(long double v) {
    return static_cast<long>(std::nearbyintl(v));
}

// The first n characters of a UTF-8 text.
std::string firstChars(const std::string& s, size_t n) {
    size_t i = 0;
    size_t chars = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == n)
                break;
            ++chars;
        }
        ++i;
    }
    return s.substr(0, i);
}

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

} // namespace

Selection::Selection(DataModule& dm, const CalcResults& results, SelectionWriter write)
    : dm_(dm), results_(results), write_(std::move(write)) {}

Table& Selection::catalogue() {
    return dm_.taKat;
}

const std::vector<CatalogueColumn>& Selection::columns() {
    static const std::vector<CatalogueColumn> kColumns = {
        {"SIS", "Система", 9, 0},       {"AGR", "Агрегат (конденсатор)", 26, 0},
        {"VOHL", "ВО", 16, 0},          {"Q25", "Q +25°С", 7, 25},
        {"T25", "dT +25°С", 7, 25},     {"Q30", "Q +30°С", 7, 30},
        {"T30", "dT +30°С", 7, 30},     {"Q35", "Q +35°С", 7, 35},
        {"T35", "dT +35°С", 7, 35},     {"Q40", "Q +40°С", 7, 40},
        {"T40", "dT +40°С", 7, 40},     {"PPOT", "Потр. мощ-ть, кВт", 8, 0},
        {"IPOT", "Потр. ток, А", 8, 0}, {"NABOR", "Набор монтаж", 7, 0},
        {"SHKAF", "Шкаф", 16, 0},
    };
    return kColumns;
}

const CatalogueClass* Selection::catalogueFor(double t) {
    for (const ChamberRange& r : kChamberRanges)
        if (t > r.above && t <= r.atMost)
            return &r.cls;
    return nullptr;
}

int Selection::ambientClassFor(double t) {
    for (const AmbientRange& r : kAmbientRanges)
        if (t >= r.atLeast && t < r.below)
            return r.cls;
    return 0;
}

namespace {
// A percentage as typed, decimal comma or point; false when it is no number.
bool readPercent(const std::string& text, double& v) {
    std::string t = trim(text);
    for (char& c : t)
        if (c == ',')
            c = '.';
    // from_chars, not strtod: the window runs under the user's locale.
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    return !t.empty() && ec == std::errc() && end == t.data() + t.size() && std::isfinite(v);
}
} // namespace

std::string Selection::bandRefusal(const std::string& lower, const std::string& upper) {
    double lo = 0, hi = 0;
    if (!readPercent(lower, lo) || !readPercent(upper, hi) || lo <= hi)
        return {};
    return "Нижняя граница интервала (от " + trim(lower) + " %) больше верхней (до " +
           trim(upper) + " %)";
}

double Selection::percentValue(const std::string& text, int min, int max) {
    double v = 0;
    if (!readPercent(text, v))
        return min;
    if (v < min)
        return min;
    if (v > max)
        return max;
    return v;
}

long Selection::requiredWatts(double kw) {
    return roundEven(static_cast<long double>(kw) * 1000);
}

long Selection::bound(double percent, long watts, int systems) {
    long double v = static_cast<long double>(percent) * watts;
    v = v / 100;
    v = v / systems;
    return roundEven(v);
}

std::string Selection::filterFor(int ambient, long lo, long hi, bool cooling) {
    const std::string c = std::to_string(ambient);
    std::string f =
        "Q" + c + " >= " + std::to_string(lo) + " and Q" + c + " <= " + std::to_string(hi);
    if (cooling)
        f += " and T" + c + " <= 7 and VO = 1";
    return f;
}

bool Selection::coolingApplies(const std::string& regime, double chamberTemp) {
    return regime == kRegimeCooling && chamberTemp < 8;
}

std::string Selection::qField() const {
    return "Q" + std::to_string(shownPair_);
}
std::string Selection::tField() const {
    return "T" + std::to_string(shownPair_);
}
std::string Selection::tCaption() const {
    return "dT +" + std::to_string(shownPair_) + "°С";
}

Selection::Outcome Selection::run() {
    DataModule& dm = dm_;
    Table& kat = dm.taKat;
    if (kat.isOpen())
        kat.close(); // the filter is set anew before the next open
    outcome_ = Outcome::NotRun;
    rows_.clear();
    current_ = -1;
    filter_.clear();
    noCatalogue_.clear();
    chamberFits_ = false;
    if (!dm_.taWork.isOpen())
        return outcome_;

    Table& work = dm.taWork;
    const long n = static_cast<long>(work.asDouble("KOLSYS"));
    systems_ = n < 1 ? 1 : static_cast<int>(n);
    const long watts = requiredWatts(results_.box(11));
    lo_ = bound(percentValue(lowerPercentText, kLowerMin, kLowerMax), watts, systems_);
    hi_ = bound(percentValue(upperPercentText, kUpperMin, kUpperMax), watts, systems_);

    const double chamber = work.asDouble("OB_TEMKAM");
    const double outside = work.asDouble("OB_RGTMAX");
    const CatalogueClass* cls = catalogueFor(chamber);
    chamberFits_ = cls != nullptr;
    if (cls) {
        catalogueFile_ = cls->file;
        classCaption_ = cls->caption;
    }
    const int ambient = ambientClassFor(outside);
    // A temperature outside every class lists nothing rather than a catalogue that does
    // not match it.
    if (!cls) {
        noCatalogue_ = "Нет каталога оборудования для температуры в камере " +
                       valueText(Value(chamber)) +
                       " °С: каталоги охватывают температуры от -44 до +30 °С.";
    } else if (!ambient) {
        noCatalogue_ = "Нет каталога оборудования для температуры окружающей среды " +
                       valueText(Value(outside)) +
                       " °С: каталоги охватывают температуры от 0 до +49 °С.";
    }
    if (!noCatalogue_.empty()) {
        outcome_ = Outcome::NoCatalogue;
        return outcome_;
    }

    ambientClass_ = ambient;
    shownPair_ = ambient;
    filter_ = filterFor(ambient, lo_, hi_, coolingApplies(work.asString("OB_TERMR"), chamber));
    kat.setTableName(catalogueFile_);
    kat.setDatabaseName(dm.dataDir());
    kat.setFilter(filter_);
    kat.setFiltered(true);
    kat.open();
    loadRows();
    outcome_ = rows_.empty() ? Outcome::Empty : Outcome::Listed;
    if (!rows_.empty())
        setCurrentRow(0);
    return outcome_;
}

void Selection::lookUpGroup(long id, std::string& gr, std::string& pgr) {
    Table& grups = dm_.taGrups;
    gr.clear();
    pgr.clear();
    if (grups.isOpen() && grups.locate("ID", Value(static_cast<double>(id)))) {
        gr = grups.asString("GR");
        pgr = grups.asString("PGR");
    }
}

void Selection::loadRows() {
    Table& kat = catalogue();
    const std::string q = qField();
    const std::string t = tField();
    std::map<long, std::pair<std::string, std::string>> groups;
    for (kat.first(); !kat.eof(); kat.next()) {
        CatalogueRow r;
        r.recNo = kat.recNo();
        r.sis = kat.asString("SIS");
        r.agr = kat.asString("AGR");
        r.vohl = kat.asString("VOHL");
        r.q = static_cast<long>(kat.asDouble(q));
        r.t = kat.asDouble(t);
        r.ppot = kat.asDouble("PPOT");
        r.ipot = kat.asDouble("IPOT");
        r.nabor = kat.asString("NABOR");
        r.shkaf = kat.asString("SHKAF");
        const long idGrup = static_cast<long>(kat.asDouble("ID_GRUP"));
        auto it = groups.find(idGrup);
        if (it == groups.end()) {
            std::pair<std::string, std::string> lines;
            lookUpGroup(idGrup, lines.first, lines.second);
            it = groups.emplace(idGrup, std::move(lines)).first;
        }
        r.gr = it->second.first;
        r.pgr = it->second.second;
        rows_.push_back(std::move(r));
    }
    kat.first();
}

void Selection::setCurrentRow(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) {
        current_ = -1;
        return;
    }
    current_ = index;
    // The table's cursor follows the list: the systems list and the group lines read it.
    Table& kat = catalogue();
    if (kat.isOpen() && kat.recNo() != rows_[static_cast<size_t>(index)].recNo) {
        kat.first();
        while (!kat.eof() && kat.recNo() != rows_[static_cast<size_t>(index)].recNo)
            kat.next();
    }
    groupLine1_ = rows_[static_cast<size_t>(index)].gr;
    groupLine2_ = rows_[static_cast<size_t>(index)].pgr;
}

bool Selection::canChoose() const {
    return outcome_ == Outcome::Listed && current_ >= 0 && dm_.taWork.isOpen();
}

bool Selection::choose() {
    if (!canChoose())
        return false;
    const CatalogueRow& r = rows_[static_cast<size_t>(current_)];
    // Listed rows always carry the remembered class's capacity: the list is only ever
    // filled for a chosen class.
    return write_("Выбор системы " + r.sis,
                  {{"SIS", Value(firstChars(r.sis, 6))},
                   {"OBR_NAIM", Value(groupLine1_ + ", " + groupLine2_)},
                   {"OBR_AGR", Value(r.agr)},
                   {"OBR_VO", Value(r.vohl)},
                   {"OBR_SHKAF", Value(r.shkaf)},
                   {"OBR_KMONT", Value(r.nabor)},
                   {"PROIZSYS", Value(static_cast<double>(r.q))}});
}

std::vector<CatalogueColumn> Selection::shownColumns() const {
    std::vector<CatalogueColumn> out;
    for (const CatalogueColumn& c : columns())
        if (c.width > 0 && (c.pair == 0 || c.pair == shownPair_))
            out.push_back(c);
    return out;
}

std::vector<std::string> Selection::listCells(const CatalogueRow& r) {
    auto fixed = [](double v, int decimals) {
        return withDecimalComma(FieldCodec::formatFixed(v, decimals));
    };
    return {r.sis,
            r.agr,
            r.vohl,
            std::to_string(r.q),
            fixed(r.t, 1),
            fixed(r.ppot, 2),
            fixed(r.ipot, 1),
            r.nabor,
            r.shkaf};
}

const std::vector<Selection::ChosenField>& Selection::chosenFields() {
    static const std::vector<ChosenField> kFields = {
        {"SIS", 6, false},        {"OBR_NAIM", 200, false}, {"OBR_AGR", 50, false},
        {"PROIZSYS", 10, true},   {"OBR_VO", 50, false},    {"OBR_SHKAF", 30, false},
        {"OBR_KMONT", 30, false},
    };
    return kFields;
}

std::string Selection::fieldText(const std::string& field) const {
    const Table& work = dm_.taWork;
    if (!work.isOpen())
        return {};
    return recordText(field, work.value(field));
}

const Selection::ChosenField* Selection::chosenField(const std::string& field) {
    for (const ChosenField& c : chosenFields())
        if (field == c.field)
            return &c;
    return nullptr;
}

bool Selection::storeChosenField(const std::string& field, const std::string& text) {
    const ChosenField* f = chosenField(field);
    Table& work = dm_.taWork;
    if (!f || !work.isOpen())
        return false;
    Value v;
    if (f->whole) {
        const std::string t = trim(text);
        if (!t.empty()) {
            if (t.size() > static_cast<size_t>(f->width) ||
                t.find_first_not_of("0123456789") != std::string::npos)
                return false;
            const double n = std::strtod(t.c_str(), nullptr);
            if (n != 0)
                v = Value(n);
        }
    } else {
        // typed text in its plain forms; a character the file cannot hold is refused
        const StorableText storable = toStorableText(text);
        if (storable.refused())
            throw DbfError(storable.refusal);
        v = Value(firstChars(storable.text, static_cast<size_t>(f->width)));
    }
    return write_(f->field, {{f->field, v}});
}

bool Selection::storeSystems(const std::string& text) {
    const std::string t = trim(text);
    Value v;
    if (t.size() == 1 && t[0] >= '1' && t[0] <= '9')
        v = Value(t[0] - '0');
    else if (!t.empty() && t != "0")
        return false;
    if (!dm_.taWork.isOpen())
        return false;
    return write_("Количество систем", {{"KOLSYS", v}});
}

} // namespace vorn
