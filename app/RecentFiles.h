#pragma once
// The "Файл" menu's list of recently opened calculations and projects: newest first, each
// path once, at most kMax entries; files that no longer exist are left out when shown.
#include <string>
#include <vector>

namespace vorn {

class RecentFiles {
public:
    static constexpr int kMax = 8;

    // list with path put first (moved there when already listed), cut to kMax.
    static std::vector<std::string> add(std::vector<std::string> list, const std::string& path);
    // The entries that still name a regular file, in order.
    static std::vector<std::string> existing(const std::vector<std::string>& list);
};

} // namespace vorn
