#include "app/CalcFolderSetting.h"

#include "data/Table.h"

namespace vorn {

namespace {
constexpr const char* kDir = "DIR";
}

std::string CalcFolderSetting::read(Table& taInit) {
    if (!taInit.isOpen() || taInit.eof())
        return {};
    return taInit.asString(kDir);
}

void CalcFolderSetting::write(Table& taInit, const std::string& folder) {
    // A settings table the user may not write keeps its folder; the dialogs still follow
    // the box for this run.
    if (!taInit.isOpen() || taInit.readOnly())
        return;
    if (taInit.recordCount() == 0) {
        taInit.append();
    } else {
        if (taInit.state() == Table::State::Browse && taInit.asString(kDir) == folder)
            return;
        taInit.edit();
    }
    taInit.setValue(kDir, Value(folder));
    taInit.first();
}

} // namespace vorn
