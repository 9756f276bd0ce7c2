// What opening a calculation derives from its record (the screen state, the product and
// category, the region, the boxes), and what closing it writes back (the include boxes).
#include "document/Session.h"

#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/SessionDetail.h"

namespace vorn {

using namespace session_detail;

namespace {
const char* const kDefaultCategory = "Мясные";
} // namespace

void Session::openSteps() {
    Table& work = dm_.taWork;
    // The bound box "По первой строке" shows the record; turning on, it copies row 1.
    const bool ident = work.asBool("ST_IDENT");
    if (ident != screen_.identShown) {
        screen_.identShown = ident;
        if (ident)
            wallsRule();
    }
    regimeFromRecord();
    loadProductAndCategory();
    // A record of the region "Другой" opens with its climate fields ready for typing;
    // any other region's climate comes from the region list.
    const std::string region = work.asString("OB_RGNAIM");
    screen_.regionFieldsEnabled = region == ScreenState::kOtherRegion;
    if (!region.empty())
        dm_.taRegion.locate("REG_NAIM", Value(region));
    if (refillExecutors)
        refillExecutors();
    // Bound and include boxes whose shown state changes run their click handlers.
    for (size_t i = 0; i < screen_.optionBoxesShown.size(); ++i) {
        const bool on = work.asBool(ScreenState::kOptionBoxFields[i]);
        if (on != screen_.optionBoxesShown[i]) {
            screen_.optionBoxesShown[i] = on;
            optionBoxRule();
        }
    }
    for (size_t i = 0; i < screen_.includeBoxes.size(); ++i) {
        const bool on = work.asBool("CH" + std::to_string(i + 1));
        if (on != screen_.includeBoxes[i]) {
            screen_.includeBoxes[i] = on;
            runRecalculation();
        }
    }
}

void Session::closeSteps() {
    if (readOnly_)
        return; // nothing of a file that may not be written is written back
    Table& work = dm_.taWork;
    editRecord(work);
    for (int i = 0; i < 9; ++i)
        work.setValue("CH" + std::to_string(i + 1),
                      Value(screen_.includeBoxes[static_cast<size_t>(i)]));
    work.post();
}

void Session::loadProductAndCategory() {
    Table& work = dm_.taWork;
    Table& prod = dm_.taProd;
    prod.setFiltered(false);
    prod.first();
    if (findByName(prod, "NAIM", work.asString("TE_PTIP"))) {
        screen_.category = prod.asString("TIP");
    } else {
        screen_.category = kDefaultCategory;
        prod.first();
        put("TE_PTIP", currentName(prod));
    }
    positionTara();
    deriveStackingHeight();
}

} // namespace vorn
