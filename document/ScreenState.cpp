#include "document/ScreenState.h"

namespace vorn {


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

bool ScreenState::operator==(const ScreenState& o) const {
    return regimeIndex == o.regimeIndex && category == o.category &&
           turnoverSpeed == o.turnoverSpeed && includeBoxes == o.includeBoxes &&
           identShown == o.identShown && optionBoxesShown == o.optionBoxesShown &&
           workTimeCaption == o.workTimeCaption &&
           productTurnoverCaption == o.productTurnoverCaption &&
           taraTurnoverCaption == o.taraTurnoverCaption &&
           storedMassVisible == o.storedMassVisible && vnKrEnabled == o.vnKrEnabled &&
           voKolvoEnabled == o.voKolvoEnabled && voPowEnabled == o.voPowEnabled &&
           voProcEnabled == o.voProcEnabled && osPowEnabled == o.osPowEnabled &&
           regionFieldsEnabled == o.regionFieldsEnabled;
}

} // namespace vorn
