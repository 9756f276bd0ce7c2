#include "input/ScreenState.h"

namespace vorn {

const char* const ScreenState::kStorage = "Хранение";
const char* const ScreenState::kCooling = "Охлаждение";
const char* const ScreenState::kOtherRegion = "Другой";
const char* const ScreenState::kOptionBoxFields[4] = {"VN_FLAG", "IN_TIP", "OS_REC", "VO_UTOCH"};

ScreenState::ScreenState()
    : workTimeCaption("Время работы оборуд."), productTurnoverCaption("Суточный оборот, (кг)"),
      taraTurnoverCaption("Суточный оборот, (кг)") {
    includeBoxes.fill(true);
}

void ScreenState::applyRegimeCaptions() {
    if (regimeIndex == 1) {
        workTimeCaption = "Время термообработки ";
        productTurnoverCaption = "Охлаждаемая масса,(кг)";
        taraTurnoverCaption = "Охлаждаемая масса,(кг)";
        storedMassVisible = false;
    } else {
        workTimeCaption = "Время работы оборуд.";
        // the regime rule's caption has no blank after the comma, unlike the initial one
        productTurnoverCaption = "Суточный оборот,(кг)";
        taraTurnoverCaption = "Суточный оборот,(кг)";
        storedMassVisible = true;
    }
}

} // namespace vorn
