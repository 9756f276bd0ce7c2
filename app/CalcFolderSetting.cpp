#include "app/CalcFolderSetting.h"

#include "data/CodePage.h"
#include "data/Table.h"

namespace vorn {

namespace {
constexpr const char* kDir = "DIR";

// The first character of text that the text rule would replace by a plain form.
std::string firstReplaced(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        const std::string c = text.substr(i, n);
        if (toStorableText(c).text != c)
            return c;
        i += n;
    }
    return {};
}
} // namespace

std::string CalcFolderSetting::read(Table& taInit) {
    if (!taInit.isOpen() || taInit.eof())
        return {};
    return taInit.asString(kDir);
}

std::string CalcFolderSetting::write(Table& taInit, const std::string& folder) {
    // A settings table the user may not write keeps its folder; the dialogs still follow
    // the box for this run.
    if (!taInit.isOpen() || taInit.readOnly())
        return {};
    const StorableText text = toStorableText(folder, TextCodePage::Cp866, "в файле настроек");
    if (text.refused())
        return "Папка расчетов не запомнена. " + text.refusal;
    if (text.text != folder)
        return "Папка расчетов не запомнена: знак \"" + firstReplaced(folder) +
               "\" в ее пути не может быть сохранен в файле настроек";
    for (int i = 0; i < taInit.fieldCount(); ++i) {
        const FieldInfo f = taInit.field(i);
        if (equalsIgnoreCase(f.name, kDir) &&
            utf8Characters(folder) > static_cast<size_t>(f.length))
            return "Папка расчетов не запомнена: путь длиннее " + std::to_string(f.length) +
                   " знаков";
    }
    if (taInit.recordCount() == 0) {
        taInit.append();
    } else {
        if (taInit.state() == Table::State::Browse && taInit.asString(kDir) == folder)
            return {};
        taInit.edit();
    }
    taInit.setValue(kDir, Value(folder));
    taInit.first();
    return {};
}

} // namespace vorn
