#include "document/ControlState.h"

#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "document/Session.h"

namespace vorn {

using F = ScreenFlag;

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
    case F::Heaters:
        return screen.voKolvoEnabled;
    }
    return true;
}

bool controlEnabled(const ControlSpec& spec, const Session& session) {
    return session.isOpen() && screenFlag(spec.enabledBy, session.screen()) &&
           controlDisabledReason(spec, session).empty();
}

std::string controlDisabledReason(const ControlSpec& spec, const Session& session) {
    if (spec.enabledBy != F::Heaters || !session.isOpen())
        return {};
    const Table& work = session.data().taWork;
    return hasHeaterFields(work) ? std::string() : std::string(kHeaterFieldsMissing);
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

} // namespace vorn
