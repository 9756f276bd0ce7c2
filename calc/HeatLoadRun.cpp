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
#include <string>

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

// A value read from the current row of a reference table; 0 when it has none.
double currentRowValue(const Table& t, const char* field) {
    return t.eof() ? 0.0 : t.asDouble(field);
}
} // namespace

HeatLoadRun::HeatLoadRun(DataModule& dm, const std::array<bool, 9>& include,
                         CalcResults& results)
    : dm_(dm), include_(include), results_(results), work_(dm.taWork),
      storage_(dm.taWork.asString("OB_TERMR") == kRegimeStorage) {}

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
    const double tChamber = work_.asDouble("OB_TEMKAM");
    double total = 0;
    double rows[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        const std::string material = work_.asString("ST_M" + n);
        if (!findByName(dm_.taMater, "M_NAIM", material))
            continue;
        const std::string insulation = work_.asString("ST_IZ" + n);
        if (!findByName(dm_.taIzolm, "IZ_NAIM", insulation))
            continue;
        const double kMaterial = dm_.taMater.asDouble("M_KTP");
        const double kInsulation = dm_.taIzolm.asDouble("IZ_KTP");
        if (kMaterial == 0)
            throw CalcError("Теплопроводность материала стен «" + material + "» (" +
                            kWallNames[i - 1] +
                            ") равна нулю: теплоприток через стены не может быть рассчитан. "
                            "Исправьте справочник материалов стен.");
        if (kInsulation == 0)
            throw CalcError("Теплопроводность теплоизоляции «" + insulation + "» (" +
                            kWallNames[i - 1] +
                            ") равна нулю: теплоприток через стены не может быть рассчитан. "
                            "Исправьте справочник теплоизоляции.");
        const double r = kFilmInside + (work_.asDouble("ST_MT" + n) / 1000) / kMaterial +
                         (work_.asDouble("ST_IZT" + n) / 1000) / kInsulation + kFilmOutside;
        if (r == 0 || !std::isfinite(r))
            throw CalcError(std::string("Термическое сопротивление (") + kWallNames[i - 1] +
                            ") равно нулю: проверьте материалы и толщины.");
        const double q = work_.asDouble("OB_S" + n) / r * (work_.asDouble("ST_TEM" + n) - tChamber);
        rows[i - 1] = q;
        total += q;
    }
    setGain(1, total / 1000);
    for (int i = 0; i < 6; ++i)
        results_.setLabel(70 + i, formatMask2(rows[i] / 1000));
}

void HeatLoadRun::ventilation() {
    const double volume = work_.asDouble("OB_KAMv");
    double rate = 0;
    double flow = 0;
    double enthalpyOutside = 0;
    enthalpyInside_ = 0;
    humidityClass_ = 0;
    if (volume > 0) {
        if (!work_.asBool("VN_FLAG")) {
            // Automatic rate: 70 volumes per day over the square root of the volume, as
            // the record will hold it.
            automaticRate_ = asStored(70 / std::sqrt(volume), decimalsOf(work_, "VN_KR"));
            rate = *automaticRate_;
        } else {
            rate = work_.asDouble("VN_KR");
        }
        const double chamberTemp = work_.asDouble("OB_TEMKAM");
        flow = volume * rate * airDensity(chamberTemp) / kSecondsPerDay;
        const double outsideHumidity = work_.asDouble("OB_RGVLAJ");
        humidityClass_ = 50;
        for (int e = 0; e <= 50; e += 5) {
            if (e + 48 <= outsideHumidity && outsideHumidity <= e + 52) {
                humidityClass_ = e + 50;
                break;
            }
        }
        enthalpyOutside = airTableLookup(dm_.taInt, static_cast<int>(work_.asDouble("OB_RGTMAX")),
                                         humidityClass_, true);
        enthalpyInside_ =
            airTableLookup(dm_.taInt, static_cast<int>(chamberTemp),
                           static_cast<int>(work_.asDouble("TE_VLAJ")), true, "Влажность в камере");
    }
    setGain(2, (enthalpyOutside - enthalpyInside_) * flow);
    results_.setLabel(77, formatMask2(rate));
}

void HeatLoadRun::infiltration() {
    const double doorHeight = work_.asDouble("IN_DV");
    const double doorArea = doorHeight * work_.asDouble("IN_DH");
    const double tWallA = work_.asDouble("ST_TEM1");
    const double rhoIn = airDensity(work_.asDouble("OB_TEMKAM"));
    const double rhoA = airDensity(tWallA);
    const double densityFactor = std::pow(2 / (1 + std::pow(rhoIn / rhoA, 0.33333)), 1.5);
    const int humidity = humidityClass_ == 0 ? 50 : humidityClass_;
    const double enthalpyA = airTableLookup(dm_.taInt, static_cast<int>(tWallA), humidity, true);
    // The door exchanges air whichever side is denser: a chamber warmer than the air at
    // wall А gives a flow of the same size, and the enthalpy difference gives its sign.
    const double rootArgument = doorHeight * std::fabs(1 - rhoA / rhoIn);
    if (rootArgument < 0)
        throw CalcError("Высота двери отрицательна: теплоприток от инфильтрации не может быть "
                        "рассчитан. Исправьте высоту двери.");
    const double doorFlow = 0.692 * doorArea * (enthalpyA - enthalpyInside_) * rhoIn *
                            densityFactor * std::sqrt(rootArgument);

    const double productTurnover = work_.asDouble("TE_POBOR");
    const double goodsFactor = work_.asString("IN_TOV") == "Штабели на поддонах" ? 0.8 : 1.0;
    const double tonnes = productTurnover * goodsFactor / 1000;
    double passages = 1;
    const double capacity = work_.asDouble("IN_GPTS");
    if (capacity > 0) {
        passages = std::trunc((productTurnover + work_.asDouble("TE_TOBOR")) / capacity) + 1;
        if (passages < 1)
            passages = 1;
    }
    results_.label3 = formatMask0(passages);
    results_.setLabel(97, formatMask0(passages));
    double openShare;
    if (work_.asBool("IN_TIP")) {
        openShare = (60 * tonnes + 15 * passages) / kSecondsPerDay;
        results_.setLabel(79, "Автоматическая");
    } else {
        openShare = (60 * tonnes + 25 * passages) / kSecondsPerDay;
        results_.setLabel(79, "Ручная");
    }
    const std::string curtain = work_.asString("IN_ZAV");
    double reduction = 0;
    if (curtain == "Штора")
        reduction = 0.2;
    else if (curtain == "Возд. завеса")
        reduction = 0.7;
    setGain(3, doorFlow * openShare * 1.1 * (1 - reduction));
}

void HeatLoadRun::product() {
    const std::string regime = work_.asString("OB_TERMR");
    const bool cooling = regime == kRegimeCooling;
    double productPart = 0;
    double taraPart = 0;
    Table& prod = dm_.taProd;
    if ((storage_ || cooling) && !prod.eof()) {
        double divisor = kSecondsPerDay;
        if (cooling) {
            const double hours = work_.asDouble("OB_TIMEWRK");
            if (hours == 0)
                throw CalcError("Время термообработки равно нулю: теплоприток от "
                                "термообработки не может быть рассчитан. Укажите время "
                                "термообработки.");
            divisor = 3600 * hours;
        }
        const double mass = work_.asDouble("TE_POBOR");
        const double t0 = work_.asDouble("TE_PT0");
        const double t1 = work_.asDouble("TE_PT1");
        const double freezing = prod.asDouble("TZAM");
        const double cp1 = prod.asDouble("CP1");
        const double cp2 = prod.asDouble("CP2");
        if (freezing < t1) {
            productPart = mass * cp1 * (t0 - t1) / divisor;
        } else if (freezing < t0) {
            productPart = (mass * cp1 * (t0 - freezing) + mass * prod.asDouble("LSKR") +
                           mass * cp2 * (freezing - t1)) /
                          divisor;
        } else {
            productPart = mass * cp2 * (t0 - t1) / divisor;
        }
        taraPart = work_.asDouble("TE_TOBOR") * currentRowValue(dm_.taTara, "SP") *
                   (work_.asDouble("TE_TT0") - work_.asDouble("TE_TT1")) / divisor;
    }
    setGain(4, productPart + taraPart);
    results_.setLabel(81, formatMask2(productPart));
    results_.setLabel(82, formatMask2(taraPart));
}

void HeatLoadRun::respiration() {
    double value = 0;
    const double t0 = work_.asDouble("TE_PT0");
    if (included(5) && !(t0 < 0)) {
        const Table& prod = dm_.taProd;
        const double q1 = currentRowValue(prod, "Q1");
        const double q2 = currentRowValue(prod, "Q2");
        const double q3 = currentRowValue(prod, "Q3");
        // Rate per tonne and hour, rounded to a whole number, ties to the even neighbour.
        auto rate = [&](double t) {
            double r = 0;
            if (t >= 0 && t < 10)
                r = q1 + (q2 - q1) * t / 10;
            else if (t >= 10 && t <= 30)
                r = q2 + (q3 - q2) * (t - 10) / 10;
            return std::nearbyint(r);
        };
        const double r1 = rate(work_.asDouble("TE_PT1"));
        const double r0 = rate(t0);
        const double turnover = work_.asDouble("TE_POBOR") / 1000 * 0.5 * (r1 + r0) / 3600;
        if (storage_)
            value = work_.asDouble("TE_PMAS") / 1000 * r1 / 3600 + turnover;
        else
            value = turnover;
    }
    setGain(5, value);
}

void HeatLoadRun::lighting() {
    const double value = work_.asDouble("OS_POW") * work_.asDouble("OS_TIME") *
                         work_.asDouble("OB_KAMDL") * work_.asDouble("OB_KAMSH") / 24 / 1000;
    setGain(6, value);
}

void HeatLoadRun::personnel() {
    // Heat of one person at the chamber temperature; 85 only names an existing column.
    const double personHeat =
        airTableLookup(dm_.taInt, static_cast<int>(work_.asDouble("OB_TEMKAM")), 85, false);
    const double value =
        work_.asDouble("PER_KOL") * work_.asDouble("OS_TIME") * personHeat / 24 / 1000;
    setGain(7, value);
}

void HeatLoadRun::transport() {
    // Half the full power, for the lighting hours.
    const double value = work_.asDouble("TRS_POW") * work_.asDouble("OS_TIME") / 24 / 2;
    setGain(8, value);
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
    double value;
    if (work_.asBool("VO_UTOCH"))
        value = work_.asDouble("VO_POW") * work_.asDouble("VO_KOLVO");
    else
        value = qx_ * work_.asDouble("VO_PROC") / 100;
    setGain(9, value);
}

bool HeatLoadRun::requiredCapacity() {
    const double kz = work_.asDouble("OB_KZAPAS");
    const CalcResults& b = results_;
    double value;
    if (storage_) {
        double sum = 0;
        for (int n = 1; n <= 8; ++n)
            sum += b.box(n);
        // OB_TIMEWRK is not zero here: formQx() checked it.
        value = b.box(9) + sum * 24 / work_.asDouble("OB_TIMEWRK") * kz;
    } else {
        const double sum =
            b.box(1) + b.box(2) + b.box(3) + b.box(5) + b.box(6) + b.box(7) + b.box(8);
        value = (b.box(4) + b.box(9)) + sum * 24 / 18 * kz;
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
}

} // namespace vorn
