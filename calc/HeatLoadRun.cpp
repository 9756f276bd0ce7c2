#include "calc/HeatLoadRun.h"

#include "calc/AirTableLookup.h"
#include "calc/CalcError.h"
#include "calc/CalcResults.h"
#include "calc/Gains.h"
#include "calc/NumberFormat.h"
#include "data/DataModule.h"
#include "data/CalcRecord.h"
#include "data/FieldCodec.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace vorn {

namespace {
// Surface film resistances, inside and outside, m²·K/W (1/22.7 and 1/9.37).
const double kFilmInside = 1 / 22.7;
const double kFilmOutside = 1 / 9.37;
// Air density at 0 °C, kg/m³, and the absolute zero offset.
const double kAirDensity0 = 1.293;
const double kKelvin = 273.15;
const double kSecondsPerDay = 86400;

const char* const kWallNames[6] = {"Стена А", "Стена Б", "Стена В", "Стена Г", "Потолок", "Пол"};

double airDensity(double t) {
    return kAirDensity0 / (1 + t / kKelvin);
}

// A number as a field with these decimals stores it and reads it back.
double asStored(double v, int decimals) {
    const std::string text = FieldCodec::formatFixed(v, decimals);
    return FieldCodec::parseNumber(text.data(), text.size());
}

int decimalsOf(const Table& t, const std::string& field) {
    const std::string key = FieldCodec::nameKey(field);
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldInfo f = t.field(i);
        if (FieldCodec::nameKey(f.name) == key)
            return f.decimals;
    }
    return 0;
}

// Minutes as hours and minutes: "2 ч 40 мин", "22 ч".
std::string hoursText(double minutes) {
    const long total = std::lround(minutes);
    const long h = total / 60;
    const long m = total % 60;
    std::string s = std::to_string(h) + " ч";
    if (m != 0)
        s += " " + std::to_string(m) + " мин";
    return s;
}

// A value read from the current row of a reference table; 0 when it has none.
double currentRowValue(const Table& t, const char* field) {
    return t.eof() ? 0.0 : t.asDouble(field);
}

// A value of the reference table's current row, recorded as an input of step; key names
// the row.
double rowField(CalcStep& step, const Table& t, const char* field, const std::string& caption,
                const char* unit, const std::string& key) {
    const double v = currentRowValue(t, field);
    step.input(field, caption, v, unit, t.tableName() + ": " + key);
    return v;
}
} // namespace

HeatLoadRun::HeatLoadRun(DataModule& dm, const std::array<bool, 9>& include,
                         CalcResults& results)
    : dm_(dm), include_(include), results_(results), work_(dm.taWork),
      storage_(dm.taWork.asString("OB_TERMR") == kRegimeStorage) {}

CalcStep HeatLoadRun::begin(int gain, std::string formula) const {
    CalcStep s;
    s.gain = gain;
    s.title = gainInfo(gain).name + std::string(" ") + gainInfo(gain).symbol;
    s.formula = std::move(formula);
    s.included = gain > kGainCount || included(gain);
    return s;
}

void HeatLoadRun::finish(CalcStep& step, int box) {
    step.result = results_.box(box);
    results_.steps.push_back(std::move(step));
}

double HeatLoadRun::field(CalcStep& step, const std::string& name, const std::string& caption,
                          const char* unit) const {
    const double v = work_.asDouble(name);
    step.input(name, caption, v, unit);
    return v;
}

std::string HeatLoadRun::textField(CalcStep& step, const std::string& name,
                                   const std::string& caption) const {
    std::string v = work_.asString(name);
    step.textInput(name, caption, v);
    return v;
}

double HeatLoadRun::heaterField(CalcStep& step, const char* name, const char* caption,
                                const char* unit) const {
    if (!work_.hasField(name))
        return 0;
    return field(step, name, caption, unit);
}

void HeatLoadRun::airInputs(CalcStep& step, const AirLookupTrace& trace, bool enthalpy,
                            const std::string& what) const {
    const std::string table = dm_.taInt.tableName();
    const std::string column = enthalpy ? trace.column : "QP";
    const char* unit = enthalpy ? "кДж/кг" : "Вт";
    auto rowKey = [](double t) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "TEMVOZD %g", t);
        return std::string(buf);
    };
    if (!trace.found) {
        step.input(column, what + ": выше последней строки таблицы", 0, unit, table);
        return;
    }
    // interpolated between two rows, or the row's own value
    const bool between = trace.prevIsRow && trace.tPrev != trace.tRow;
    if (between)
        step.input(column, what + ", строка ниже", enthalpy ? trace.ePrev : trace.pPrev, unit,
                   table + ": " + rowKey(trace.tPrev));
    step.input(column, what + (between ? ", строка выше" : ""), enthalpy ? trace.eRow : trace.pRow,
               unit, table + ": " + rowKey(trace.tRow));
}

bool HeatLoadRun::included(int gain) const {
    return include_[static_cast<size_t>(gain - 1)];
}

double HeatLoadRun::setGain(int box, double value) {
    if (!included(box))
        value = 0;
    if (!std::isfinite(value))
        throw CalcError(std::string(gainInfo(box).name) +
                        " не может быть рассчитан: проверьте исходные данные.");
    results_.setBox(box, value);
    results_.setLabel(gainInfo(box).reportLabel, formatMask2(results_.box(box)));
    return results_.box(box);
}

void HeatLoadRun::walls() {
    CalcStep step = begin(1, "Qстен = Σ Sᵢ·(tнᵢ − tк) / Rᵢ / 1000\n"
                             "Rᵢ = 1/22,7 + (δмᵢ/1000)/λмᵢ + (δизᵢ/1000)/λизᵢ + 1/9,37");
    const double tChamber = field(step, "OB_TEMKAM", "Температура в камере tк", "°C");
    double total = 0;
    double rows[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        const std::string wall = kWallNames[i - 1];
        const double area = work_.asDouble("OB_S" + n);
        step.input("ob_s" + n, wall + ": площадь S", area, "м²");
        const double tOut = field(step, "ST_TEM" + n, wall + ": температура снаружи tн", "°C");
        StepRow row;
        row.caption = wall;
        double u = 0;
        double q = 0;
        const std::string material = textField(step, "ST_M" + n, wall + ": материал");
        const std::string insulation = textField(step, "ST_IZ" + n, wall + ": теплоизоляция");
        const double thickness = field(step, "ST_MT" + n, wall + ": толщина материала δм", "мм");
        const double insThickness =
            field(step, "ST_IZT" + n, wall + ": толщина теплоизоляции δиз", "мм");
        const bool found = findByName(dm_.taMater, "M_NAIM", material) &&
                           findByName(dm_.taIzolm, "IZ_NAIM", insulation);
        if (found) {
            const double kMaterial = rowField(step, dm_.taMater, "M_KTP",
                                              wall + ": теплопроводность материала λм",
                                              "Вт/(м·К)", material);
            const double kInsulation = rowField(step, dm_.taIzolm, "IZ_KTP",
                                                wall + ": теплопроводность теплоизоляции λиз",
                                                "Вт/(м·К)", insulation);
            if (kMaterial == 0)
                throw CalcError("Теплопроводность материала стен «" + material + "» (" + wall +
                                ") равна нулю: теплоприток через стены не может быть рассчитан. "
                                "Исправьте справочник материалов стен.");
            if (kInsulation == 0)
                throw CalcError("Теплопроводность теплоизоляции «" + insulation + "» (" + wall +
                                ") равна нулю: теплоприток через стены не может быть рассчитан. "
                                "Исправьте справочник теплоизоляции.");
            const double r = kFilmInside + (thickness / 1000) / kMaterial +
                             (insThickness / 1000) / kInsulation + kFilmOutside;
            if (r == 0 || !std::isfinite(r))
                throw CalcError("Термическое сопротивление (" + wall +
                                ") равно нулю: проверьте материалы и толщины.");
            q = area / r * (tOut - tChamber);
            u = 1 / r;
            rows[i - 1] = q;
            total += q;
        }
        // a surface whose material or insulation is not in its table counts 0
        row.values.push_back({"area_m2", "Площадь S", area, "м²"});
        row.values.push_back({"u_w_m2k", "Коэффициент теплопередачи 1/R", u, "Вт/(м²·К)"});
        row.values.push_back({"dt_k", "Разность температур tн − tк", tOut - tChamber, "К"});
        row.values.push_back({"q_w", "Теплоприток", q, "Вт"});
        step.rows.push_back(std::move(row));
    }
    step.rowsKey = "surfaces";
    step.value("total_w", "Сумма по шести поверхностям", total, "Вт");
    setGain(1, total / 1000);
    for (int i = 0; i < 6; ++i)
        results_.setLabel(70 + i, formatMask2(rows[i] / 1000));
    finish(step, 1);
}

void HeatLoadRun::ventilation() {
    CalcStep step = begin(2, "Qвен = G·(Iн − Iк)\n"
                             "G = V·n·ρк / 86400, ρк = 1,293 / (1 + tк/273,15)\n"
                             "n = 70 / √V (если кратность не введена самостоятельно)");
    const double volume = work_.asDouble("OB_KAMv");
    step.input("ob_kamv", "Объем камеры V", volume, "м³");
    double rate = 0;
    double flow = 0;
    double density = 0;
    double enthalpyOutside = 0;
    enthalpyInside_ = 0;
    humidityClass_ = 0;
    if (volume > 0) {
        const bool manual = work_.asBool("VN_FLAG");
        step.textInput("VN_FLAG", "Кратность введена самостоятельно", manual ? "да" : "нет");
        if (!manual) {
            // Automatic rate: 70 volumes per day over the square root of the volume, as
            // the record will hold it.
            automaticRate_ = asStored(70 / std::sqrt(volume), decimalsOf(work_, "VN_KR"));
            rate = *automaticRate_;
        } else {
            rate = field(step, "VN_KR", "Кратность вентиляции n", "1/сут");
        }
        const double chamberTemp = field(step, "OB_TEMKAM", "Температура в камере tк", "°C");
        density = airDensity(chamberTemp);
        flow = volume * rate * density / kSecondsPerDay;
        const double outsideHumidity =
            field(step, "OB_RGVLAJ", "Относительная влажность наружного воздуха", "%");
        humidityClass_ = 50;
        for (int e = 0; e <= 50; e += 5) {
            if (e + 48 <= outsideHumidity && outsideHumidity <= e + 52) {
                humidityClass_ = e + 50;
                break;
            }
        }
        const double tOutside =
            field(step, "OB_RGTMAX", "Температура наружного воздуха tн", "°C");
        const double humidityInside =
            field(step, "TE_VLAJ", "Относительная влажность в камере", "%");
        AirLookupTrace trace;
        enthalpyOutside = airTableLookup(dm_.taInt, static_cast<int>(tOutside), humidityClass_,
                                         true, "Влажность воздуха", &trace);
        airInputs(step, trace, true, "Энтальпия наружного воздуха");
        enthalpyInside_ = airTableLookup(dm_.taInt, static_cast<int>(chamberTemp),
                                         static_cast<int>(humidityInside), true,
                                         "Влажность в камере", &trace);
        airInputs(step, trace, true, "Энтальпия воздуха в камере");
    }
    step.value("volume_m3", "Объем камеры V", volume, "м³");
    step.value("air_changes_per_day", "Кратность вентиляции n", rate, "1/сут");
    step.value("air_density_kg_m3", "Плотность воздуха в камере ρк", density, "кг/м³");
    step.value("mass_flow_kg_s", "Расход воздуха G", flow, "кг/с");
    step.value("humidity_class_pct", "Влажность наружного воздуха по таблице", humidityClass_, "%");
    step.value("enthalpy_out_kj_kg", "Энтальпия наружного воздуха Iн", enthalpyOutside, "кДж/кг");
    step.value("enthalpy_in_kj_kg", "Энтальпия воздуха в камере Iк", enthalpyInside_, "кДж/кг");
    setGain(2, (enthalpyOutside - enthalpyInside_) * flow);
    results_.setLabel(77, formatMask2(rate));
    finish(step, 2);
}

void HeatLoadRun::infiltration() {
    CalcStep step = begin(
        3, "Qинф = qд·τ·1,1·(1 − k)\n"
           "qд = 0,692·F·(Iа − Iк)·ρк·Ψ·√(h·|1 − ρа/ρк|), F = h·b\n"
           "Ψ = (2 / (1 + (ρк/ρа)^0,33333))^1,5, ρ = 1,293 / (1 + t/273,15)\n"
           "τ = (60·M + c·p) / 86400, c = 15 (автоматическая дверь) или 25 (ручная)\n"
           "M = Gоб·kт / 1000, p = [(Gоб + Gтары) / Gптс] + 1");
    const double doorHeight = field(step, "IN_DV", "Высота двери h", "м");
    const double doorWidth = field(step, "IN_DH", "Ширина двери b", "м");
    const double doorArea = doorHeight * doorWidth;
    const double tWallA = field(step, "ST_TEM1", "Температура снаружи стены А tа", "°C");
    const double tChamber = field(step, "OB_TEMKAM", "Температура в камере tк", "°C");
    const double rhoIn = airDensity(tChamber);
    const double rhoA = airDensity(tWallA);
    const double densityFactor = std::pow(2 / (1 + std::pow(rhoIn / rhoA, 0.33333)), 1.5);
    const int humidity = humidityClass_ == 0 ? 50 : humidityClass_;
    AirLookupTrace trace;
    const double enthalpyA = airTableLookup(dm_.taInt, static_cast<int>(tWallA), humidity, true,
                                            "Влажность воздуха", &trace);
    airInputs(step, trace, true, "Энтальпия воздуха у стены А");
    // The door exchanges air whichever side is denser: a chamber warmer than the air at
    // wall А gives a flow of the same size, and the enthalpy difference gives its sign.
    const double rootArgument = doorHeight * std::fabs(1 - rhoA / rhoIn);
    if (rootArgument < 0)
        throw CalcError("Высота двери отрицательна: теплоприток от инфильтрации не может быть "
                        "рассчитан. Исправьте высоту двери.");
    const double doorFlow = 0.692 * doorArea * (enthalpyA - enthalpyInside_) * rhoIn *
                            densityFactor * std::sqrt(rootArgument);

    const double productTurnover = field(step, "TE_POBOR", "Суточный оборот продукта Gоб", "кг");
    const std::string goods = textField(step, "IN_TOV", "Тип товара");
    const double goodsFactor = goods == "Штабели на поддонах" ? 0.8 : 1.0;
    const double tonnes = productTurnover * goodsFactor / 1000;
    double passages = 1;
    const double capacity =
        field(step, "IN_GPTS", "Грузоподъемность транспортного средства Gптс", "кг");
    const double tara = field(step, "TE_TOBOR", "Суточный оборот тары Gтары", "кг");
    if (capacity > 0) {
        passages = std::trunc((productTurnover + tara) / capacity) + 1;
        if (passages < 1)
            passages = 1;
    }
    results_.label3 = formatMask0(passages);
    results_.setLabel(97, formatMask0(passages));
    double openShare;
    const bool automatic = work_.asBool("IN_TIP");
    step.textInput("IN_TIP", "Автоматическая дверь", automatic ? "да" : "нет");
    if (automatic) {
        openShare = (60 * tonnes + 15 * passages) / kSecondsPerDay;
        results_.setLabel(79, "Автоматическая");
    } else {
        openShare = (60 * tonnes + 25 * passages) / kSecondsPerDay;
        results_.setLabel(79, "Ручная");
    }
    const std::string curtain = textField(step, "IN_ZAV", "Завеса");
    double reduction = 0;
    if (curtain == "Штора")
        reduction = 0.2;
    else if (curtain == "Возд. завеса")
        reduction = 0.7;
    step.value("door_area_m2", "Площадь двери F", doorArea, "м²");
    step.value("air_density_in_kg_m3", "Плотность воздуха в камере ρк", rhoIn, "кг/м³");
    step.value("air_density_out_kg_m3", "Плотность воздуха у стены А ρа", rhoA, "кг/м³");
    step.value("density_factor", "Коэффициент Ψ", densityFactor, "");
    step.value("enthalpy_out_kj_kg", "Энтальпия воздуха у стены А Iа", enthalpyA, "кДж/кг");
    step.value("enthalpy_in_kj_kg", "Энтальпия воздуха в камере Iк", enthalpyInside_, "кДж/кг");
    step.value("door_flow_kw", "Теплоприток через открытую дверь qд", doorFlow, "кВт");
    step.value("goods_t", "Масса товара за сутки M", tonnes, "т");
    step.value("passages", "Число проходов в сутки p", passages, "");
    step.value("open_time_fraction", "Доля суток, когда дверь открыта τ", openShare, "");
    step.value("curtain_reduction", "Снижение завесой k", reduction, "");
    setGain(3, doorFlow * openShare * 1.1 * (1 - reduction));
    finish(step, 3);
}

void HeatLoadRun::product() {
    CalcStep step = begin(4, "Qпрод = Qп + Qт\n"
                             "Qт = Gтары·cт·(tт0 − tт1) / D, D = 86400 (хранение) или 3600·τобр");
    const std::string regime = textField(step, "OB_TERMR", "Режим обработки");
    const bool cooling = regime == kRegimeCooling;
    double productPart = 0;
    double taraPart = 0;
    double divisor = 0;
    Table& prod = dm_.taProd;
    if ((storage_ || cooling) && !prod.eof()) {
        divisor = kSecondsPerDay;
        if (cooling) {
            const double hours = field(step, "OB_TIMEWRK", "Время термообработки τобр", "ч");
            if (hours == 0)
                throw CalcError("Время термообработки равно нулю: теплоприток от "
                                "термообработки не может быть рассчитан. Укажите время "
                                "термообработки.");
            divisor = 3600 * hours;
        }
        const std::string name = textField(step, "TE_PTIP", "Продукт");
        const double mass = field(step, "TE_POBOR", "Масса продукта Gп", "кг");
        const double t0 = field(step, "TE_PT0", "Начальная температура продукта tп0", "°C");
        const double t1 = field(step, "TE_PT1", "Конечная температура продукта tп1", "°C");
        // only the product's values the formula uses are inputs
        auto prodField = [&](const char* f, const char* caption, const char* unit) {
            return rowField(step, prod, f, caption, unit, name);
        };
        auto cp1 = [&] {
            return prodField("CP1", "Теплоемкость выше точки замерзания c1", "кДж/(кг·К)");
        };
        auto cp2 = [&] {
            return prodField("CP2", "Теплоемкость ниже точки замерзания c2", "кДж/(кг·К)");
        };
        const double freezing = prodField("TZAM", "Температура замерзания tз", "°C");
        if (freezing < t1) {
            step.formula += "\nQп = Gп·c1·(tп0 − tп1) / D (продукт не замерзает)";
            productPart = mass * cp1() * (t0 - t1) / divisor;
        } else if (freezing < t0) {
            step.formula += "\nQп = (Gп·c1·(tп0 − tз) + Gп·L + Gп·c2·(tз − tп1)) / D";
            const double c1 = cp1();
            const double latent = prodField("LSKR", "Теплота замерзания L", "кДж/кг");
            const double c2 = cp2();
            productPart =
                (mass * c1 * (t0 - freezing) + mass * latent + mass * c2 * (freezing - t1)) /
                divisor;
        } else {
            step.formula += "\nQп = Gп·c2·(tп0 − tп1) / D (продукт поступает замороженным)";
            productPart = mass * cp2() * (t0 - t1) / divisor;
        }
        const std::string taraName = textField(step, "TE_TTIP", "Тара");
        const double taraMass = field(step, "TE_TOBOR", "Масса тары Gтары", "кг");
        const double sp =
            rowField(step, dm_.taTara, "SP", "Теплоемкость тары cт", "кДж/(кг·К)", taraName);
        const double tt0 = field(step, "TE_TT0", "Начальная температура тары tт0", "°C");
        const double tt1 = field(step, "TE_TT1", "Конечная температура тары tт1", "°C");
        taraPart = taraMass * sp * (tt0 - tt1) / divisor;
    } else {
        step.formula += "\nпродукт не выбран или режим не задан: Qп = Qт = 0";
    }
    step.value("divisor_s", "Делитель D", divisor, "с");
    step.value("product_kw", "Теплоприток от продукта Qп", productPart, "кВт");
    step.value("packaging_kw", "Теплоприток от тары Qт", taraPart, "кВт");
    setGain(4, productPart + taraPart);
    results_.setLabel(81, formatMask2(productPart));
    results_.setLabel(82, formatMask2(taraPart));
    finish(step, 4);
}

void HeatLoadRun::respiration() {
    CalcStep step = begin(5, storage_ ? "Qдых = Mхр/1000·r1/3600 + Gп/1000·0,5·(r1 + r0)/3600"
                                      : "Qдых = Gп/1000·0,5·(r1 + r0)/3600");
    step.formula += "\nr(t) = Q1 + (Q2 − Q1)·t/10 при 0 ≤ t < 10, Q2 + (Q3 − Q2)·(t − 10)/10 при "
                    "10 ≤ t ≤ 30, иначе 0 (округляется до целого)";
    double value = 0;
    double r0 = 0, r1 = 0;
    const double t0 = field(step, "TE_PT0", "Начальная температура продукта t0", "°C");
    if (included(5) && !(t0 < 0)) {
        const Table& prod = dm_.taProd;
        const std::string name = work_.asString("TE_PTIP");
        const char* unit = "кДж/(т·ч)";
        const double q1 = rowField(step, prod, "Q1", "Тепловыделение при 0 °C Q1", unit, name);
        const double q2 = rowField(step, prod, "Q2", "Тепловыделение при 10 °C Q2", unit, name);
        const double q3 = rowField(step, prod, "Q3", "Тепловыделение при 20 °C Q3", unit, name);
        // Rate per tonne and hour, rounded to a whole number, ties to the even neighbour.
        auto rate = [&](double t) {
            double r = 0;
            if (t >= 0 && t < 10)
                r = q1 + (q2 - q1) * t / 10;
            else if (t >= 10 && t <= 30)
                r = q2 + (q3 - q2) * (t - 10) / 10;
            return std::nearbyint(r);
        };
        r1 = rate(field(step, "TE_PT1", "Конечная температура продукта t1", "°C"));
        r0 = rate(t0);
        const double mass = field(step, "TE_POBOR", "Суточный оборот продукта Gп", "кг");
        const double turnover = mass / 1000 * 0.5 * (r1 + r0) / 3600;
        if (storage_) {
            const double stored = field(step, "TE_PMAS", "Хранимая масса продукта Mхр", "кг");
            value = stored / 1000 * r1 / 3600 + turnover;
        } else {
            value = turnover;
        }
    } else {
        step.formula += "\nначальная температура ниже 0 °C или теплоприток не учитывается: 0";
    }
    step.value("rate_initial", "Тепловыделение при начальной температуре r0", r0, "кДж/(т·ч)");
    step.value("rate_final", "Тепловыделение при конечной температуре r1", r1, "кДж/(т·ч)");
    step.value("respiration_kw", "Теплоприток от дыхания", value, "кВт");
    setGain(5, value);
    finish(step, 5);
}

void HeatLoadRun::lighting() {
    CalcStep step = begin(6, "Qосв = qосв·τосв·L·B / 24 / 1000");
    const double power = field(step, "OS_POW", "Мощность освещения qосв", "Вт/м²");
    const double hours = field(step, "OS_TIME", "Время работы освещения τосв", "ч/сут");
    const double length = field(step, "OB_KAMDL", "Длина камеры L", "м");
    const double width = field(step, "OB_KAMSH", "Ширина камеры B", "м");
    const double value = power * hours * length * width / 24 / 1000;
    step.value("floor_area_m2", "Площадь пола L·B", length * width, "м²");
    setGain(6, value);
    finish(step, 6);
}

void HeatLoadRun::personnel() {
    CalcStep step = begin(7, "Qперс = n·τ·qч / 24 / 1000");
    // Heat of one person at the chamber temperature; 85 only names an existing column.
    AirLookupTrace trace;
    const double tChamber = field(step, "OB_TEMKAM", "Температура в камере", "°C");
    const double personHeat = airTableLookup(dm_.taInt, static_cast<int>(tChamber), 85, false,
                                             "Влажность воздуха", &trace);
    airInputs(step, trace, false, "Тепловыделение одного человека");
    const double persons = field(step, "PER_KOL", "Число рабочих n", "чел.");
    const double hours = field(step, "OS_TIME", "Время работы в камере τ", "ч/сут");
    const double value = persons * hours * personHeat / 24 / 1000;
    step.value("person_heat_w", "Тепловыделение одного человека qч", personHeat, "Вт");
    setGain(7, value);
    finish(step, 7);
}

void HeatLoadRun::transport() {
    // Half the full power, for the lighting hours.
    CalcStep step = begin(8, "Qптс = Nптс·τ / 24 / 2");
    const double power = field(step, "TRS_POW", "Полная мощность ПТС Nптс", "кВт");
    const double hours = field(step, "OS_TIME", "Время работы в камере τ", "ч/сут");
    const double value = power * hours / 24 / 2;
    setGain(8, value);
    finish(step, 8);
}

void HeatLoadRun::formQx() {
    double sum = 0;
    for (int n = 1; n <= 8; ++n)
        sum += results_.box(n);
    if (storage_) {
        const double hours = work_.asDouble("OB_TIMEWRK");
        if (hours == 0)
            throw CalcError("Время работы оборудования равно нулю: потребная "
                            "холодопроизводительность не может быть рассчитана. Укажите время "
                            "работы оборудования.");
        qx_ = sum * 24 / hours;
    } else {
        qx_ = sum;
    }
}

void HeatLoadRun::fans() {
    const bool refining = work_.asBool("VO_UTOCH");
    const bool heaterLayout = hasHeaterFields(work_);
    CalcStep step = begin(9, {});
    step.textInput("VO_UTOCH", "Уточняющий расчет", refining ? "да" : "нет");
    double fansKw = 0;
    double heaters = 0;
    double defrost = 0;
    if (refining) {
        step.formula = "Qво = Nв·nв";
        if (heaterLayout)
            step.formula += " + Qтэн + Qотт\nQотт = d·Nотт·nотт·τотт / 1440";
        const double power = field(step, "VO_POW", "Мощность вентилятора ВО Nв", "кВт");
        const double count = field(step, "VO_KOLVO", "Количество вентиляторов ВО nв", "шт.");
        fansKw = power * count;
        heaters = heaterField(step, "VO_TEN", "ТЭНы в камере, круглосуточно Qтэн", "кВт");
        const double defrostPower =
            heaterField(step, "VO_OTTPOW", "Мощность ТЭНов оттайки Nотт", "кВт");
        const double defrosts = heaterField(step, "VO_OTTKOL", "Оттаек в сутки nотт", "");
        const double minutes = heaterField(step, "VO_OTTMIN", "Продолжительность оттайки τотт", "мин");
        const double share =
            heaterField(step, "VO_OTTDOL", "Доля тепла оттайки, поступающая в камеру d", "");
        if (defrosts * minutes > 24 * 60)
            throw CalcError("Оттайки занимают больше суток (" + formatMask0(defrosts) + " × " +
                            formatMask0(minutes) +
                            " мин): теплоприток от оттайки не может быть рассчитан. Уменьшите "
                            "число оттаек или их продолжительность.");
        defrost = share * defrostPower * defrosts * minutes / 1440;
        results_.heatersInGain9 = heaterLayout;
        if (heaterLayout)
            step.title = kGain9HeatersName + std::string(" ") + gainInfo(9).symbol;
        // The equipment does not run while it defrosts.
        const double hoursLeft = 24 - defrosts * minutes / 60;
        const double hoursAssumed = storage_ ? work_.asDouble("OB_TIMEWRK") : 18;
        if (defrosts * minutes > 0 && hoursLeft < hoursAssumed)
            results_.defrostWarning =
                "Оттайки занимают " + hoursText(defrosts * minutes) +
                " в сутки: оборудованию остается " + hoursText(hoursLeft * 60) +
                " работы вместо расчетных " + hoursText(hoursAssumed * 60) +
                " (во время оттайки оно не работает)";
    } else {
        step.formula = "Qво = Qx·П / 100 (предварительный учет, ТЭНы и оттайка входят в долю)\n"
                       "Qx = (Q1 + … + Q8)·24 / τраб (хранение), Q1 + … + Q8 (охлаждение)";
        const double share =
            field(step, "VO_PROC", "Предварительный учет теплопритока от ВО П", "% от Qx");
        fansKw = qx_ * share / 100;
        step.value("qx_kw", "Qx", qx_, "кВт");
    }
    step.value("fans_kw", "Двигатели вентиляторов", fansKw, "кВт");
    step.value("heaters_kw", "ТЭНы в камере Qтэн", heaters, "кВт");
    step.value("defrost_kw", "Оттайка Qотт", defrost, "кВт");
    setGain(9, fansKw + heaters + defrost);
    // Heaters and defrost come all day: the capacity scales them like gains 1 to 8.
    heatersShown_ = included(9) ? roundBox(heaters + defrost) : 0;
    finish(step, 9);
}

bool HeatLoadRun::requiredCapacity() {
    const double kz = work_.asDouble("OB_KZAPAS");
    const CalcResults& b = results_;
    const double fansShown = b.box(9) - heatersShown_;
    double value;
    if (storage_) {
        double sum = 0;
        for (int n = 1; n <= 8; ++n)
            sum += b.box(n);
        // OB_TIMEWRK is not zero here: formQx() checked it.
        value = fansShown + (sum + heatersShown_) * 24 / work_.asDouble("OB_TIMEWRK") * kz;
    } else {
        const double sum =
            b.box(1) + b.box(2) + b.box(3) + b.box(5) + b.box(6) + b.box(7) + b.box(8);
        value = (b.box(4) + fansShown) + (sum + heatersShown_) * 24 / 18 * kz;
    }
    if (!std::isfinite(value))
        throw CalcError("Потребная холодопроизводительность не может быть рассчитана: "
                        "проверьте исходные данные.");
    const double before = results_.box(11);
    results_.setBox(11, value);
    return results_.box(11) != before;
}

void HeatLoadRun::totals() {
    double sum = 0;
    for (int n = 1; n <= 9; ++n)
        sum += results_.box(n);
    results_.setBox(10, sum);
    const std::string capacity = formatMask2(results_.box(11));
    results_.setLabel(gainInfo(11).reportLabel, capacity);
    results_.systemsListLabel98 = capacity;
    results_.setLabel(gainInfo(10).reportLabel, formatMask2(results_.box(10)));

    CalcStep step;
    step.gain = CalcStep::kCapacity;
    step.title = gainInfo(11).name;
    step.formula = "ΣQ = Q1 + … + Q9\n";
    step.formula += storage_ ? "Qтреб = Qв + (Q1 + … + Q8 + Qтэн + Qотт)·24 / τраб·kз"
                             : "Qтреб = (Qпрод + Qв) + (Q1 + Q2 + Q3 + Q5 + … + Q8 + Qтэн + "
                               "Qотт)·24 / 18·kз";
    step.formula += "\nQв = Qво − Qтэн − Qотт (вентиляторы работают с оборудованием)";
    textField(step, "OB_TERMR", "Режим обработки");
    const double hours = storage_ ? field(step, "OB_TIMEWRK", "Время работы оборудования τраб", "ч")
                                  : 18;
    const double kz = field(step, "OB_KZAPAS", "Коэффициент запаса kз", "");
    for (int n = 1; n <= kGainCount; ++n)
        step.input("CurrencyEdit" + std::to_string(n), results_.caption(n), results_.box(n), "кВт");
    step.value("sum_kw", "Суммарный теплоприток ΣQ", results_.box(10), "кВт");
    step.value("working_hours", "Часы работы, на которые приводится сумма", hours, "ч");
    step.value("safety_factor", "Коэффициент запаса kз", kz, "");
    step.value("fans_kw", "Вентиляторы без приведения Qв", results_.box(9) - heatersShown_, "кВт");
    step.value("heaters_defrost_kw", "ТЭНы и оттайка Qтэн + Qотт", heatersShown_, "кВт");
    step.value("required_kw", "Потребная холодопроизводительность Qтреб", results_.box(11), "кВт");
    finish(step, 11);
}

} // namespace vorn
