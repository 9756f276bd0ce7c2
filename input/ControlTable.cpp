#include "input/ControlTable.h"

#include "app/Session.h"
#include "data/Table.h"
#include "input/ScreenState.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <string>

namespace vorn {

namespace {

using K = ControlKind;
using R = ControlRule;
using F = ScreenFlag;

// Builds one row; the setters read as the row's description.
struct Row {
    ControlSpec s;
    Row(const char* name, const char* field, K kind, R rule) {
        s.name = name;
        s.field = field;
        s.kind = kind;
        s.rule = rule;
    }
    Row& range(double lo, double hi) {
        s.hasRange = true;
        s.lo = lo;
        s.hi = hi;
        return *this;
    }
    Row& length(int n) {
        s.maxLength = n;
        return *this;
    }
    Row& lookup(const char* table, const char* field) {
        s.lookupTable = table;
        s.lookupField = field;
        return *this;
    }
    Row& items(std::vector<std::string> texts) {
        s.items = std::move(texts);
        return *this;
    }
    Row& enabledBy(F f) {
        s.enabledBy = f;
        return *this;
    }
    Row& visibleBy(F f) {
        s.visibleBy = f;
        return *this;
    }
    Row& refuses() {
        s.refusesOutOfRange = true;
        return *this;
    }
};

// Rows in focus order; page and group apply to the rows added after they are set.
class Builder {
public:
    int page = 0;
    const char* group = nullptr;

    Row& add(const char* name, const char* field, K kind, R rule) {
        rows_.emplace_back(name, field, kind, rule);
        rows_.back().s.page = page;
        rows_.back().s.group = group;
        return rows_.back();
    }
    std::vector<ControlSpec> finish() {
        std::vector<ControlSpec> out;
        for (Row& r : rows_)
            out.push_back(std::move(r.s));
        return out;
    }

private:
    std::vector<Row> rows_;
};

// Names are kept as static strings: the table lives for the whole program.
const char* keep(std::string s) {
    static std::vector<std::unique_ptr<std::string>> store;
    store.push_back(std::make_unique<std::string>(std::move(s)));
    return store.back()->c_str();
}

std::vector<ControlSpec> buildControls() {
    Builder b;

    b.group = "GroupBox3"; // " Регион "
    b.add("DBLookupComboBox3", "OB_RGNAIM", K::Lookup, R::Region).lookup("taRegion", "REG_NAIM");
    b.add("DBEdit36", "OB_RGTMAX", K::Whole, R::RegionTemperature).enabledBy(F::RegionFields);
    b.add("DBEdit37", "OB_RGVLAJ", K::Whole, R::Recalculation)
        .range(50, 100)
        .enabledBy(F::RegionFields);

    b.group = "GroupBox2"; // " Параметры камеры "
    b.add("DBEdit38", "OB_KAMDL", K::Numeric, R::Recalculation);
    b.add("DBEdit39", "OB_KAMSH", K::Numeric, R::Recalculation);
    b.add("DBEdit40", "OB_KAMVS", K::Numeric, R::StackingHeight);
    b.add("DBEdit41", "ob_kamv", K::Display, R::None);

    b.group = "GroupBox1"; // " Режимы обработки ": the four fields, then the regime
    b.add("DBEdit42", "OB_TEMKAM", K::Whole, R::ChamberTemperature).range(-60, 900);
    b.add("DBEdit11", "TE_VLAJ", K::Choice, R::Product)
        .items({"60", "65", "70", "75", "80", "85", "90", "95", "100"});
    b.add("RxDBCalcEdit1", "OB_TIMEWRK", K::Whole, R::Recalculation).range(1, 24).length(2);
    b.add("DBEdit45", "OB_KZAPAS", K::Numeric, R::Recalculation).range(1, 2);
    b.add("RadioGroup1", nullptr, K::Regime, R::Regime)
        .items({ScreenState::kStorage, ScreenState::kCooling});

    // Page 1, walls: the six material lists, the six insulation lists, "По первой
    // строке", then the thickness, insulation thickness and temperature columns.
    b.group = nullptr;
    b.page = 1;
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBLSt" + std::to_string(n)), keep("ST_M" + std::to_string(n)), K::Lookup,
              R::Walls)
            .lookup("taMater", "M_NAIM");
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBLookupComboBox" + std::to_string(9 + n)), keep("ST_IZ" + std::to_string(n)),
              K::Lookup, R::Walls)
            .lookup("taIzolm", "IZ_NAIM");
    b.add("chIdent", "ST_IDENT", K::Check, R::Walls);
    const int thicknessEdits[6] = {17, 19, 20, 21, 22, 23};
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBEdit" + std::to_string(thicknessEdits[n - 1])),
              keep("ST_MT" + std::to_string(n)), K::Whole, R::Walls)
            .range(0, 1000)
            .length(4);
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBEdit" + std::to_string(23 + n)), keep("ST_IZT" + std::to_string(n)), K::Whole,
              R::Walls)
            .range(0, 2000)
            .length(4);
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBEdit" + std::to_string(29 + n)), keep("ST_TEM" + std::to_string(n)), K::Whole,
              R::Walls)
            .range(-50, 300)
            .length(3);

    b.page = 2; // exchange ventilation
    b.add("DBEdit13", "VN_KR", K::Numeric, R::Recalculation).enabledBy(F::VnKr);
    b.add("DBCheckBox4", "VN_FLAG", K::Check, R::OptionBox);

    b.page = 3; // infiltration
    b.add("DBEdit1", "IN_DV", K::Numeric, R::Recalculation);
    b.add("DBEdit7", "IN_DH", K::Numeric, R::Recalculation);
    b.add("DBComboBox2", "IN_TOV", K::Choice, R::Product)
        .items({"Штабели на поддонах", "Мясные туши на крюках"});
    b.add("DBComboBox1", "IN_ZAV", K::Choice, R::Product).items({"Нет", "Штора", "Возд. завеса"});
    b.add("DBCheckBox1", "IN_TIP", K::Check, R::OptionBox);
    b.add("DBEdit2", "IN_GPTS", K::Whole, R::Recalculation);
    b.add("Label3", nullptr, K::Display, R::None);

    b.page = 4; // thermal processing: product, packaging, then the full-load group
    b.add("ComboBox1", nullptr, K::Category, R::Category)
        .items({"Мясные", "Рыбные", "Молочные", "Овощи", "Фрукты", "Прочие"});
    b.add("DBLookupComboBox1", "TE_PTIP", K::Lookup, R::Product).lookup("taProd", "NAIM");
    b.add("DBEdit3", "TE_PMAS", K::Whole, R::Recalculation).visibleBy(F::StoredMass);
    b.add("DBEdit4", "TE_POBOR", K::Whole, R::Recalculation);
    b.add("DBEdit6", "TE_PT0", K::Whole, R::Recalculation);
    b.add("DBEdit5", "TE_PT1", K::Whole, R::Recalculation);
    b.add("DBLookupComboBox2", "TE_TTIP", K::Lookup, R::Product).lookup("taTara", "NAIM");
    b.add("DBEdit44", "TE_TMAS", K::Whole, R::Recalculation).visibleBy(F::StoredMass);
    b.add("DBEdit8", "TE_TOBOR", K::Whole, R::Recalculation);
    b.add("DBEdit10", "TE_TT0", K::Whole, R::Recalculation);
    b.add("DBEdit9", "TE_TT1", K::Whole, R::Recalculation);
    b.add("DBEdit18", nullptr, K::Display, R::None).lookup("taProd", "TZAM");
    b.add("BitBtn1", nullptr, K::Button, R::FullLoad);
    b.group = "GroupBox7"; // " Расчет полной загрузки камеры "
    b.add("RxDBCalcEdit2", "IN_VSHTAB", K::Numeric, R::None);
    b.add("RxDBCalcEdit3", "IN_PLOTN", K::Whole, R::None);
    b.add("RadioGroup2", nullptr, K::Turnover, R::None).items({"Малая", "Большая"});
    b.group = nullptr;

    // Page 5 has no inputs.
    b.page = 6; // lighting
    b.add("DBEdit14", "OS_TIME", K::Whole, R::Recalculation);
    b.add("DBEdit15", "OS_POW", K::Whole, R::Recalculation).enabledBy(F::OsPow);
    b.add("DBCheckBox2", "OS_REC", K::Check, R::OptionBox);

    b.page = 7; // personnel
    b.add("DBEdit12", "PER_KOL", K::Whole, R::Recalculation);

    b.page = 8; // lifting and transport equipment
    b.add("DBEdit16", "TRS_POW", K::Whole, R::Recalculation);

    b.page = 9; // air-cooler fans and heaters
    b.add("DBEdit48", "VO_PROC", K::Whole, R::Recalculation)
        .range(1, 90)
        .length(2)
        .refuses()
        .enabledBy(F::VoProc);
    b.add("DBCheckBox3", "VO_UTOCH", K::Check, R::OptionBox);
    b.add("DBEdit46", "VO_KOLVO", K::Whole, R::Recalculation).enabledBy(F::VoKolvo);
    b.add("DBEdit47", "VO_POW", K::Numeric, R::Recalculation).enabledBy(F::VoPow);

    // Result column: the include boxes, stored in CH1..CH9 only when the file closes.
    b.page = 0;
    b.group = "GroupBox4";
    for (int n = 1; n <= 9; ++n) {
        Row& r = b.add(keep("CheckBox" + std::to_string(n)), nullptr, K::Check, R::IncludeBox);
        r.s.includeBox = n;
    }
    return b.finish();
}

} // namespace

const std::vector<ControlSpec>& screenControls() {
    static const std::vector<ControlSpec> controls = buildControls();
    return controls;
}

const ControlSpec* findControl(const std::string& nameOrField) {
    for (const ControlSpec& c : screenControls()) {
        if (equalsIgnoreCase(c.name, nameOrField) ||
            (c.field && equalsIgnoreCase(c.field, nameOrField)))
            return &c;
    }
    return nullptr;
}

bool screenFlag(ScreenFlag flag, const ScreenState& screen) {
    switch (flag) {
    case F::Always:
        return true;
    case F::RegionFields:
        return screen.regionFieldsEnabled;
    case F::VnKr:
        return screen.vnKrEnabled;
    case F::VoKolvo:
        return screen.voKolvoEnabled;
    case F::VoPow:
        return screen.voPowEnabled;
    case F::VoProc:
        return screen.voProcEnabled;
    case F::OsPow:
        return screen.osPowEnabled;
    case F::StoredMass:
        return screen.storedMassVisible;
    }
    return true;
}

bool controlEnabled(const ControlSpec& spec, const Session& session) {
    return session.isOpen() && screenFlag(spec.enabledBy, session.screen());
}

bool controlVisible(const ControlSpec& spec, const Session& session) {
    return session.isOpen() && screenFlag(spec.visibleBy, session.screen());
}

std::string stateCaption(const ControlSpec& spec, const ScreenState& screen) {
    if (!spec.field)
        return {};
    const std::string field = spec.field;
    if (field == "OB_TIMEWRK")
        return screen.workTimeCaption;
    if (field == "TE_POBOR")
        return screen.productTurnoverCaption;
    if (field == "TE_TOBOR")
        return screen.taraTurnoverCaption;
    return {};
}

bool numericTextAllowed(const ControlSpec& spec, const std::string& text) {
    if (spec.maxLength > 0 && static_cast<int>(text.size()) > spec.maxLength)
        return false;
    size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        if (!spec.allowsMinus())
            return false;
        ++i;
    }
    bool separator = false;
    int decimals = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' || c == ',') {
            if (separator)
                return false;
            separator = true;
        } else if (c >= '0' && c <= '9') {
            if (separator && ++decimals > 2)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

double parseNumericText(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == ',')
            c = '.';
    // from_chars: the same reading whatever locale the window set
    const char* begin = s.data();
    if (!s.empty() && s[0] == '-')
        ++begin;
    double v = 0;
    const auto res = std::from_chars(begin, s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range)
        v = HUGE_VAL; // more digits than a double holds: clamped, or too large for the field
    else if (res.ec != std::errc())
        return 0; // "", "-", "." and "-.": nothing typed yet
    return begin != s.data() ? -v : v;
}

} // namespace vorn
