#include "document/ControlTable.h"

#include "data/Table.h"
#include "data/CalcRecord.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <string>

namespace vorn {

const char* const kWallRows[6] = {"Стена А", "Стена Б", "Стена В", "Стена Г", "Потолок", "Пол"};

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
    Row& caption(const char* text) {
        s.caption = text;
        return *this;
    }
    // A physical range: a value outside is refused with a message, nothing is written.
    Row& limits(double lo, double hi) {
        range(lo, hi);
        return refuses();
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

const char* wallCaption(int n, const char* column) {
    return keep(std::string(kWallRows[n - 1]) + ": " + column);
}

std::vector<ControlSpec> buildControls() {
    Builder b;

    b.group = "GroupBox3"; // " Регион "
    b.add("DBLookupComboBox3", "OB_RGNAIM", K::Lookup, R::Region).lookup("taRegion", "REG_NAIM")
        .caption("Регион");
    b.add("DBEdit36", "OB_RGTMAX", K::Whole, R::RegionTemperature)
        // the air-property table spans -40 ... +50 °C
        .limits(-40, 50).enabledBy(F::RegionFields)
        .caption("Максимальная средне-\nсуточная температура");
    b.add("DBEdit37", "OB_RGVLAJ", K::Whole, R::Recalculation)
        .range(50, 100)
        .enabledBy(F::RegionFields)
        .caption("Относительная\nвлажность");

    b.group = "GroupBox2"; // " Параметры камеры "
    b.add("DBEdit38", "OB_KAMDL", K::Numeric, R::Recalculation)
        // more than nothing; a hall of 1 km is past any cold room
        .limits(0.01, 1000)
        .caption("Длина, (м)");
    b.add("DBEdit39", "OB_KAMSH", K::Numeric, R::Recalculation)
        // more than nothing; a hall of 1 km is past any cold room
        .limits(0.01, 1000)
        .caption("Ширина, (м)");
    b.add("DBEdit40", "OB_KAMVS", K::Numeric, R::StackingHeight)
        // more than nothing; the stacking height (N 9.4) would hold more, no room is higher
        .limits(0.01, 100)
        .caption("Высота, (м)");
    b.add("DBEdit41", "ob_kamv", K::Display, R::None)
        .caption("Объем, (м3)");

    b.group = "GroupBox1"; // " Режимы обработки ": the four fields, then the regime
    b.add("DBEdit42", "OB_TEMKAM", K::Whole, R::ChamberTemperature).range(-60, 900)
        .caption("Температура в камере");
    b.add("DBEdit11", "TE_VLAJ", K::Choice, R::Product)
        .items({"60", "65", "70", "75", "80", "85", "90", "95", "100"})
        .caption("Влажность, ( %)");
    b.add("RxDBCalcEdit1", "OB_TIMEWRK", K::Whole, R::Recalculation).range(1, 24).length(2)
        .caption("Время работы оборуд.");
    b.add("DBEdit45", "OB_KZAPAS", K::Numeric, R::Recalculation).range(1, 2)
        .caption("Коэффициент запаса");
    b.add("RadioGroup1", nullptr, K::Regime, R::Regime)
        .items({kRegimeStorage, kRegimeCooling})
        .caption("Режим обработки");

    // Page 1, walls: the six material lists, the six insulation lists, "По первой
    // строке", then the thickness, insulation thickness and temperature columns.
    b.group = nullptr;
    b.page = 1;
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBLSt" + std::to_string(n)), keep("ST_M" + std::to_string(n)), K::Lookup,
              R::Walls)
            .lookup("taMater", "M_NAIM")
            .caption(wallCaption(n, "материал стен"));
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBLookupComboBox" + std::to_string(9 + n)), keep("ST_IZ" + std::to_string(n)),
              K::Lookup, R::Walls)
            .lookup("taIzolm", "IZ_NAIM")
            .caption(wallCaption(n, "материал теплоизоляции"));
    b.add("chIdent", "ST_IDENT", K::Check, R::Walls)
        .caption("По первой строке");
    const int thicknessEdits[6] = {17, 19, 20, 21, 22, 23};
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBEdit" + std::to_string(thicknessEdits[n - 1])),
              keep("ST_MT" + std::to_string(n)), K::Whole, R::Walls)
            .caption(wallCaption(n, "толщина, (мм)"))
            .range(0, 1000)
            .length(4);
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBEdit" + std::to_string(23 + n)), keep("ST_IZT" + std::to_string(n)), K::Whole,
              R::Walls)
            .caption(wallCaption(n, "толщина теплоизоляции, (мм)"))
            .range(0, 2000)
            .length(4);
    for (int n = 1; n <= 6; ++n)
        b.add(keep("DBEdit" + std::to_string(29 + n)), keep("ST_TEM" + std::to_string(n)), K::Whole,
              R::Walls)
            .caption(wallCaption(n, "температура снаружи"))
            .range(-50, 300)
            .length(3);

    b.page = 2; // exchange ventilation
    b.add("DBEdit13", "VN_KR", K::Numeric, R::Recalculation)
        // volumes of the empty chamber a day: not negative, 1000 is past any cold room
        .limits(0, 1000).enabledBy(F::VnKr)
        .caption("Кратность вентиляции в камере\n(объемов незагруженной камеры в сутки)");
    b.add("DBCheckBox4", "VN_FLAG", K::Check, R::OptionBox)
        .caption("Ввести кратность самостоятельно");

    b.page = 3; // infiltration
    b.add("DBEdit1", "IN_DV", K::Numeric, R::Recalculation)
        // not negative; no door is higher than 20 m (and not higher than the chamber)
        .limits(0, 20)
        .caption("Высота двери, (м)");
    b.add("DBEdit7", "IN_DH", K::Numeric, R::Recalculation)
        // not negative; no door is wider than 20 m (and not wider than its wall)
        .limits(0, 20)
        .caption("Ширина двери, (м)");
    b.add("DBComboBox2", "IN_TOV", K::Choice, R::Product)
        .items({"Штабели на поддонах", "Мясные туши на крюках"})
        .caption("Тип товара");
    b.add("DBComboBox1", "IN_ZAV", K::Choice, R::Product).items({"Нет", "Штора", "Возд. завеса"})
        .caption("Завеса");
    b.add("DBCheckBox1", "IN_TIP", K::Check, R::OptionBox)
        .caption("Автоматич. дверь");
    b.add("DBEdit2", "IN_GPTS", K::Whole, R::Recalculation)
        // a load capacity, kg: not negative, up to a 100 t vehicle
        .limits(0, 100000)
        .caption("Грузоподъемность транспортного средства, кг");
    b.add("Label3", nullptr, K::Display, R::None);

    b.page = 4; // thermal processing: product, packaging, then the full-load group
    b.add("ComboBox1", nullptr, K::Category, R::Category)
        .items({"Мясные", "Рыбные", "Молочные", "Овощи", "Фрукты", "Прочие"})
        .caption("Категория");
    b.add("DBLookupComboBox1", "TE_PTIP", K::Lookup, R::Product).lookup("taProd", "NAIM")
        .caption("Продукт");
    b.add("DBEdit3", "TE_PMAS", K::Whole, R::Recalculation)
        // a mass, kg: not negative; 100 000 t is past any chamber
        .limits(0, 100000000).visibleBy(F::StoredMass)
        .caption("Хранимая масса, (кг)");
    b.add("DBEdit4", "TE_POBOR", K::Whole, R::Recalculation)
        // a mass, kg: not negative; 100 000 t is past any chamber
        .limits(0, 100000000)
        .caption("Суточный оборот, (кг)");
    b.add("DBEdit6", "TE_PT0", K::Whole, R::Recalculation)
        // product temperatures from deep freezing to hot products cooled, °C
        .limits(-60, 150)
        .caption("Температура начальная");
    b.add("DBEdit5", "TE_PT1", K::Whole, R::Recalculation)
        // product temperatures from deep freezing to hot products cooled, °C
        .limits(-60, 150)
        .caption("Температура конечная");
    b.add("DBLookupComboBox2", "TE_TTIP", K::Lookup, R::Product).lookup("taTara", "NAIM")
        .caption("Тара");
    b.add("DBEdit44", "TE_TMAS", K::Whole, R::Recalculation)
        // a mass, kg: not negative; 100 000 t is past any chamber
        .limits(0, 100000000).visibleBy(F::StoredMass)
        .caption("Хранимая масса, (кг)");
    b.add("DBEdit8", "TE_TOBOR", K::Whole, R::Recalculation)
        // a mass, kg: not negative; 100 000 t is past any chamber
        .limits(0, 100000000)
        .caption("Суточный оборот, (кг)");
    b.add("DBEdit10", "TE_TT0", K::Whole, R::Recalculation)
        // product temperatures from deep freezing to hot products cooled, °C
        .limits(-60, 150)
        .caption("Температура начальная");
    b.add("DBEdit9", "TE_TT1", K::Whole, R::Recalculation)
        // product temperatures from deep freezing to hot products cooled, °C
        .limits(-60, 150)
        .caption("Температура конечная");
    b.add("DBEdit18", nullptr, K::Display, R::None).lookup("taProd", "TZAM")
        .caption("Точка замерзания");
    b.add("BitBtn1", nullptr, K::Button, R::FullLoad)
        .caption("Расчет полной загрузки камеры");
    b.group = "GroupBox7"; // " Расчет полной загрузки камеры "
    b.add("RxDBCalcEdit2", "IN_VSHTAB", K::Numeric, R::None)
        // a stacking height, m: as the chamber height allows
        .limits(0, 100)
        .caption("Высота штабелирования товара, (м)");
    b.add("RxDBCalcEdit3", "IN_PLOTN", K::Whole, R::None)
        // a stacking density, kg/m³: not negative, below solid steel
        .limits(0, 8000)
        .caption("Плотность укладки товара, (кг/м3)");
    b.add("RadioGroup2", nullptr, K::Turnover, R::None).items({"Малая", "Большая"})
        .caption("Скорость оборота");
    b.group = nullptr;

    // Page 5 has no inputs.
    b.page = 6; // lighting
    b.add("DBEdit14", "OS_TIME", K::Whole, R::Recalculation)
        // hours a day
        .limits(0, 24)
        .caption("Время работы освещения в камере, (ч/сут.)");
    b.add("DBEdit15", "OS_POW", K::Whole, R::Recalculation)
        // W/m²: not negative; 1000 W/m² is past any lighting
        .limits(0, 1000).enabledBy(F::OsPow)
        .caption("Мощность освещения, (Вт/м2)");
    b.add("DBCheckBox2", "OS_REC", K::Check, R::OptionBox)
        .caption("Установить рекомендуемое значение");

    b.page = 7; // personnel
    b.add("DBEdit12", "PER_KOL", K::Whole, R::Recalculation)
        // workers: not negative
        .limits(0, 1000)
        .caption("Число рабочих в камере, (чел.)");

    b.page = 8; // lifting and transport equipment
    b.add("DBEdit16", "TRS_POW", K::Whole, R::Recalculation)
        // kW: not negative
        .limits(0, 10000)
        .caption("Полная мощность ПТС, (кВт)");

    b.page = 9; // air-cooler fans and heaters
    b.add("DBEdit48", "VO_PROC", K::Whole, R::Recalculation)
        .range(1, 90)
        .length(2)
        .refuses()
        .enabledBy(F::VoProc)
        .caption("Предварительный учет теплопритока от ВО, (% от Qx)");
    b.add("DBCheckBox3", "VO_UTOCH", K::Check, R::OptionBox)
        .caption("Уточняющий расчет");
    b.add("DBEdit46", "VO_KOLVO", K::Whole, R::Recalculation)
        // fans: not negative
        .limits(0, 1000).enabledBy(F::VoKolvo)
        .caption("Количество вентиляторов ВО");
    b.add("DBEdit47", "VO_POW", K::Numeric, R::Recalculation)
        // kW per fan: not negative
        .limits(0, 100).enabledBy(F::VoPow)
        .caption("Мощность вентиляторов ВО, (кВт)");
    // Heaters working all day (door frames, drain lines, valves, drip trays) and the
    // electric defrost, in the refining calculation only.
    b.add("DBEdit49", "VO_TEN", K::Numeric, R::Recalculation)
        // kW: not negative; 100 kW of heaters is past any cold room
        .limits(0, 100).enabledBy(F::Heaters)
        .caption("Мощность ТЭНов, работающих в камере круглосуточно, (кВт)");
    b.add("DBEdit50", "VO_OTTPOW", K::Numeric, R::Recalculation)
        .limits(0, 100).enabledBy(F::Heaters)
        .caption("Мощность ТЭНов оттайки, (кВт)");
    b.add("DBEdit51", "VO_OTTKOL", K::Whole, R::Recalculation)
        // defrosts a day: at most one an hour
        .limits(0, 24).enabledBy(F::Heaters)
        .caption("Количество оттаек в сутки");
    b.add("DBEdit52", "VO_OTTMIN", K::Whole, R::Recalculation)
        // minutes of one defrost: two hours is past any air cooler
        .limits(0, 120).enabledBy(F::Heaters)
        .caption("Продолжительность оттайки, (мин)");
    b.add("DBEdit53", "VO_OTTDOL", K::Numeric, R::Recalculation)
        // a share of the defrost heat
        .limits(0, 1).enabledBy(F::Heaters)
        .caption("Доля тепла оттайки, поступающая в камеру");

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

} // namespace vorn
