#include "document/ControlState.h"

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

} // namespace vorn
