#include "app/Executors.h"

#include "data/Table.h"

#include <algorithm>

namespace vorn {

namespace {
constexpr const char* kName = "NAME";
constexpr const char* kExecutor = "OB_ISP";

// Sort key: folded case, with ё placed right after е as in the alphabet (UTF-8 puts it
// after я).
std::string sortKey(const std::string& name) {
    std::string key = foldCase(name);
    const std::string yo = "\xD1\x91";        // ё
    const std::string after = "\xD0\xB5\x7F"; // е, then past every other letter
    for (size_t pos = key.find(yo); pos != std::string::npos; pos = key.find(yo, pos))
        key.replace(pos, yo.size(), after), pos += after.size();
    return key;
}

std::string currentExecutor(Table& taWork) {
    if (!taWork.isOpen())
        return {};
    return taWork.asString(kExecutor);
}
} // namespace

std::vector<std::string> Executors::names(Table& taIsp) {
    std::vector<std::string> out;
    if (!taIsp.isOpen())
        return out;
    for (taIsp.first(); !taIsp.eof(); taIsp.next())
        out.push_back(taIsp.asString(kName));
    taIsp.first();
    std::stable_sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return sortKey(a) < sortKey(b);
    });
    return out;
}

std::vector<std::string> Executors::add(Table& taIsp, Table& taWork) {
    const std::string name = currentExecutor(taWork);
    if (!name.empty() && taIsp.isOpen() && !taIsp.locate(kName, Value(name), true)) {
        taIsp.append();
        taIsp.setValue(kName, Value(name));
    }
    return names(taIsp);
}

std::vector<std::string> Executors::remove(Table& taIsp, Table& taWork) {
    const std::string name = currentExecutor(taWork);
    if (!name.empty() && taIsp.isOpen() && taIsp.locate(kName, Value(name), true)) {
        taIsp.deleteRecord();
        taWork.edit();
        taWork.setValue(kExecutor, Value(std::string()));
    }
    return names(taIsp);
}

} // namespace vorn
