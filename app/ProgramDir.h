#pragma once
// The folder the running program lies in, for DATA beside it and the installed tables.
#include "data/platform/PlatformFile.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace vorn {

inline std::string programDirOf(const char* argv0) {
    std::filesystem::path exe = std::filesystem::u8path(platform::programPath());
    if (exe.empty()) {
        std::error_code ec;
        exe = std::filesystem::absolute(argv0, ec);
    }
    return exe.parent_path().u8string();
}

} // namespace vorn
