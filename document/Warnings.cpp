// The warnings of the open calculation: each check adds its sentence here, so that the
// screen, the command line and the report list the same ones in the same order.
#include "data/DataModule.h"
#include "document/MissingRows.h"
#include "document/Session.h"

namespace vorn {

std::vector<std::string> Session::warnings() const {
    std::vector<std::string> out;
    if (!isOpen())
        return out;
    if (!choiceFits())
        out.emplace_back(kChoiceMisfitWarning);
    const auto& [own, taken] = replacedProduct_;
    if (!own.empty() && equalsIgnoreCase(dm_.taWork.asString("TE_PTIP"), taken))
        out.push_back(replacedProductWarning(own, taken));
    for (std::string& missing : missingReferenceRows(dm_))
        out.push_back(std::move(missing));
    // the defrosts leave the equipment fewer hours than the capacity assumes
    if (!results().defrostWarning.empty())
        out.push_back(results().defrostWarning);
    return out;
}

} // namespace vorn
