// The warnings of the open calculation: each check adds its sentence here, so that the
// screen, the command line and the report list the same ones in the same order.
#include "document/Session.h"

namespace vorn {

std::vector<std::string> Session::warnings() const {
    std::vector<std::string> out;
    if (!isOpen())
        return out;
    if (!choiceFits())
        out.emplace_back(kChoiceMisfitWarning);
    // the defrosts leave the equipment fewer hours than the capacity assumes
    if (!results().defrostWarning.empty())
        out.push_back(results().defrostWarning);
    return out;
}

} // namespace vorn
