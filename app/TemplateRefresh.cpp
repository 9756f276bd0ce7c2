#include "app/TemplateRefresh.h"

#include "app/FileCopy.h"
#include "data/CalcRecord.h"
#include "data/Table.h"

#include <filesystem>
#include <map>

namespace vorn {

namespace {
namespace fs = std::filesystem;

// Every field of the table's first record as text, by field name; empty when it cannot
// be read.
std::map<std::string, std::string> recordTexts(const std::string& path, bool* heaters) {
    std::map<std::string, std::string> out;
    Table t;
    t.setTableName(path);
    t.setReadOnly(true);
    t.open();
    t.first();
    *heaters = true;
    for (const HeaterField& h : heaterFields())
        *heaters = *heaters && t.hasField(h.name);
    for (int i = 0; i < t.fieldCount() && !t.eof(); ++i) {
        const FieldInfo f = t.field(i);
        out[foldCase(f.name)] = valueText(t.value(f.name));
    }
    t.close();
    return out;
}
} // namespace

std::vector<std::string> TemplateRefresh::refresh(const std::string& installedDir,
                                                  const std::string& userDir) {
    std::vector<std::string> done;
    for (const char* name : kTemplates) {
        const std::string user = (fs::u8path(userDir) / name).u8string();
        const std::string installed = (fs::u8path(installedDir) / name).u8string();
        std::error_code ec;
        if (!fs::is_regular_file(fs::u8path(user), ec))
            continue;
        try {
            bool userCurrent = false;
            const auto mine = recordTexts(user, &userCurrent);
            if (userCurrent)
                continue;
            bool installedCurrent = false;
            std::map<std::string, std::string> theirs;
            if (fs::is_regular_file(fs::u8path(installed), ec))
                theirs = recordTexts(installed, &installedCurrent);
            bool unchanged = installedCurrent;
            for (const auto& [field, text] : mine)
                if (unchanged) {
                    const auto it = theirs.find(field);
                    unchanged = it != theirs.end() && it->second == text;
                }
            if (unchanged)
                copyFile(installed, user);
            else
                addHeaterFields(user);
            done.push_back(name);
        } catch (const std::exception&) {
            // left as it is: a new calculation still gets the fields when it is created
        }
    }
    return done;
}

} // namespace vorn
