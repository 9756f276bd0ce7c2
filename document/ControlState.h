#pragma once
// The state a control of the input screen shows for the open calculation: enabled,
// visible, and the caption the regime rule switches.
#include "document/ControlTable.h"

#include <string>

namespace vorn {

class Session;
class ScreenState;

// Enabled: a calculation is open and the control's flag is set. Visible likewise.
bool controlEnabled(const ControlSpec& spec, const Session& session);
bool controlVisible(const ControlSpec& spec, const Session& session);
bool screenFlag(ScreenFlag flag, const ScreenState& screen);
// Why a control is disabled beyond the screen state, in the user's words: the heater and
// defrost fields on a calculation of the earlier layout. Empty otherwise.
std::string controlDisabledReason(const ControlSpec& spec, const Session& session);

// The caption a regime-switched control shows now (OB_TIMEWRK, TE_POBOR, TE_TOBOR);
// empty for every other control, whose caption is the window's own.
std::string stateCaption(const ControlSpec& spec, const ScreenState& screen);

} // namespace vorn
