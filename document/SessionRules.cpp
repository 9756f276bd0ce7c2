// The input rules: what a control's change writes into the rest of the record before the
// recalculation (the regime, the walls, the option boxes, the product, the region, the
// chamber and stacking heights, the full-load estimate).
#include "document/Session.h"

#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/ControlTable.h"
#include "document/SessionDetail.h"

#include <cmath>

namespace vorn {

using namespace session_detail;

void Session::deriveStackingHeight() {
    // The chamber height less 0.5 m, in fixed point with four decimals; 0 below 0.5 m.
    const double height = dm_.taWork.asDouble("OB_KAMVS");
    double stacking = 0;
    if (!(height < 0.5))
        stacking = (std::nearbyint(height * 10000) - 5000) / 10000;
    put("IN_VSHTAB", Value(stacking));
}

void Session::positionTara() {
    findByName(dm_.taTara, "NAIM", dm_.taWork.asString("TE_TTIP"));
}

void Session::regimeFromRecord() {
    const int index = dm_.taWork.asString("OB_TERMR") == ScreenState::kStorage ? 0 : 1;
    if (index == screen_.regimeIndex)
        return;
    screen_.regimeIndex = index;
    regimeRule();
}

void Session::regimeRule() {
    put("OB_TERMR", Value(screen_.regimeText()));
    screen_.applyRegimeCaptions();
    runRecalculation();
}

void Session::wallsRule() {
    Table& work = dm_.taWork;
    if (screen_.identShown) {
        for (int n = 2; n <= 6; ++n) {
            const std::string s = std::to_string(n);
            for (const char* f : {"ST_M", "ST_MT", "ST_IZ", "ST_IZT", "ST_TEM"})
                put(f + s, work.value(std::string(f) + "1"));
        }
    }
    runRecalculation();
}

void Session::optionBoxRule() {
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return;
    screen_.vnKrEnabled = work.asBool("VN_FLAG");
    const bool refined = work.asBool("VO_UTOCH");
    screen_.voKolvoEnabled = refined;
    screen_.voPowEnabled = refined;
    screen_.voProcEnabled = !refined;
    if (work.asBool("OS_REC")) {
        // the recommended lighting power, W/m²
        screen_.osPowEnabled = false;
        put("OS_POW", Value(5));
    } else {
        screen_.osPowEnabled = true;
    }
    runRecalculation();
}

void Session::categoryRule() {
    Table& work = dm_.taWork;
    Table& prod = dm_.taProd;
    prod.setFiltered(false);
    prod.setFilter(categoryFilter(screen_.category));
    prod.setFiltered(true);
    if (!findByName(prod, "NAIM", work.asString("TE_PTIP"))) {
        prod.first();
        put("TE_PTIP", currentName(prod));
    }
    productRule();
}

void Session::productRule() {
    Table& work = dm_.taWork;
    if (!work.isOpen()) {
        if (showMessage)
            showMessage("База не открылась !");
        return;
    }
    Table& prod = dm_.taProd;
    if (!findByName(prod, "NAIM", work.asString("TE_PTIP"))) {
        prod.first();
        put("TE_PTIP", currentName(prod));
    }
    positionTara();
    runRecalculation();
}

void Session::chamberTemperatureRule() {
    Table& work = dm_.taWork;
    // in storage the product and the packaging end at the chamber temperature
    if (work.asString("OB_TERMR") == ScreenState::kStorage) {
        const Value t = work.value("OB_TEMKAM");
        put("TE_PT1", t);
        put("TE_TT1", t);
    }
    runRecalculation();
}

void Session::regionRule() {
    Table& work = dm_.taWork;
    if (work.asString("OB_RGNAIM") == ScreenState::kOtherRegion) {
        screen_.regionFieldsEnabled = true;
    } else {
        const Table& region = dm_.taRegion;
        put("OB_RGTMAX", region.eof() ? Value() : region.value("REG_TEM"));
        put("OB_RGVLAJ", region.eof() ? Value() : region.value("REG_VLAJ"));
        screen_.regionFieldsEnabled = false;
    }
    regionTemperatureRule();
}

void Session::regionTemperatureRule() {
    const Value t = dm_.taWork.value("OB_RGTMAX");
    for (int n = 1; n <= 6; ++n)
        put("ST_TEM" + std::to_string(n), t);
    runRecalculation();
}

void Session::stackingHeightRule() {
    deriveStackingHeight();
    runRecalculation();
}

void Session::fullLoadRule() {
    Table& work = dm_.taWork;
    // share of the chamber a full load takes: 0.7 at a slow turnover, 0.5 at a fast one
    const double f = screen_.turnoverSpeed == 0 ? 0.7 : 0.5;
    const double mass = work.asDouble("OB_KAMDL") * work.asDouble("OB_KAMSH") *
                        work.asDouble("IN_VSHTAB") * work.asDouble("IN_PLOTN") * f;
    // whole kilograms, an exact half to the even neighbour (the default rounding mode)
    put("TE_PMAS", Value(std::nearbyint(mass)));
    // in storage a tenth of the stored mass turns over daily
    const double turnover = work.asString("OB_TERMR") == ScreenState::kStorage ? 0.1 * mass : mass;
    put("TE_POBOR", Value(std::nearbyint(turnover)));
    runRecalculation();
}

void Session::runRule(const ControlSpec& spec) {
    switch (spec.rule) {
    case ControlRule::None:
        return;
    case ControlRule::Recalculation:
    case ControlRule::IncludeBox:
        runRecalculation();
        return;
    case ControlRule::Region:
        regionRule();
        return;
    case ControlRule::RegionTemperature:
        regionTemperatureRule();
        return;
    case ControlRule::ChamberTemperature:
        chamberTemperatureRule();
        return;
    case ControlRule::StackingHeight:
        stackingHeightRule();
        return;
    case ControlRule::Walls:
        wallsRule();
        return;
    case ControlRule::OptionBox:
        optionBoxRule();
        return;
    case ControlRule::Regime:
        regimeRule();
        return;
    case ControlRule::Category:
        categoryRule();
        return;
    case ControlRule::Product:
        productRule();
        return;
    case ControlRule::FullLoad:
        fullLoadRule();
        return;
    }
}

void Session::currencyEdit11Change() {
    if (!selectionOpened)
        return;
    for (const char* f : {"OBR_NAIM", "OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"})
        put(f, Value(""));
    put("PROIZSYS", Value(0));
}

} // namespace vorn
