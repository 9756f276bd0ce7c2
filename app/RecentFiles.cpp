#include "app/RecentFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vorn {

namespace {
namespace fs = std::filesystem;

// Two spellings of one file ("a/./b.vrn", "a/b.vrn") are one entry.
std::string normal(const std::string& path) {
    std::error_code ec;
    const fs::path abs = fs::absolute(fs::u8path(path), ec);
    return (ec ? fs::u8path(path) : abs).lexically_normal().u8string();
}
} // namespace

std::vector<std::string> RecentFiles::add(std::vector<std::string> list, const std::string& path) {
    if (path.empty())
        return list;
    const std::string key = normal(path);
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&key](const std::string& p) { return normal(p) == key; }),
               list.end());
    list.insert(list.begin(), key);
    if (list.size() > static_cast<size_t>(kMax))
        list.resize(kMax);
    return list;
}

std::vector<std::string> RecentFiles::existing(const std::vector<std::string>& list) {
    std::vector<std::string> out;
    for (const std::string& p : list) {
        std::error_code ec;
        if (fs::is_regular_file(fs::u8path(p), ec))
            out.push_back(p);
    }
    return out;
}

} // namespace vorn
