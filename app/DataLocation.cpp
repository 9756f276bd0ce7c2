#include "app/DataLocation.h"

#include "app/TemplateRefresh.h"

#include "data/platform/PlatformFile.h"

#include <filesystem>
#include <system_error>


namespace vorn {

namespace {
namespace fs = std::filesystem;

constexpr const char* kAppName = "vorn";

std::string env(const char* name) {
    return platform::environment(name);
}

bool isDir(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

} // namespace

std::string DataLocation::userFolder() {
#ifdef _WIN32
    const std::string base = env("APPDATA");
    return base.empty() ? std::string() : (fs::u8path(base) / kAppName).u8string();
#else
    // A relative XDG_DATA_HOME is invalid by the XDG rules and ignored.
    std::string base = env("XDG_DATA_HOME");
    if (base.empty() || base.front() != '/') {
        const std::string home = platform::homeFolder();
        if (home.empty())
            return {};
        base = (fs::u8path(home) / ".local" / "share").u8string();
    }
    return (fs::u8path(base) / kAppName).u8string();
#endif
}

std::vector<std::string> DataLocation::fillMissing(const std::string& from, const std::string& to) {
    std::vector<std::string> copied;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::u8path(from), ec)) {
        std::error_code fileEc;
        if (!e.is_regular_file(fileEc))
            continue;
        const fs::path target = fs::u8path(to) / e.path().filename();
        if (fs::exists(target, fileEc) || fileEc)
            continue;
        // copied under a temporary name first, so that a copy broken off half-way is never
        // taken for a table the user already has
        fs::path part = target;
        part += ".part";
        if (fs::copy_file(e.path(), part, fs::copy_options::overwrite_existing, fileEc))
            fs::rename(part, target, fileEc);
        if (fileEc) {
            fs::remove(part, fileEc);
            continue;
        }
        copied.push_back(e.path().filename().u8string());
    }
    return copied;
}

DataLocation DataLocation::resolve(const std::string& programDir, const std::string& given) {
    DataLocation loc;
    if (!given.empty()) {
        loc.kind = Kind::Given;
        loc.dataDir = given;
        return loc;
    }
    const fs::path program = fs::u8path(programDir);
    const fs::path beside = program / kDataFolder;
    if (isDir(beside)) {
        loc.kind = Kind::BesideProgram;
        loc.dataDir = beside.u8string();
        return loc;
    }
    const fs::path installed = (program / kInstalledRelative).lexically_normal();
    const std::string user = userFolder();
    const fs::path userData = user.empty() ? fs::path() : fs::u8path(user) / kDataFolder;
    if (isDir(installed) && !user.empty()) {
        std::error_code ec;
        fs::create_directories(userData, ec);
        if (isDir(userData)) {
            loc.kind = Kind::User;
            loc.dataDir = userData.u8string();
            loc.copied = fillMissing(installed.u8string(), loc.dataDir);
            TemplateRefresh::refresh(installed.u8string(), loc.dataDir);
            return loc;
        }
    }
    if (isDir(installed)) {
        loc.kind = Kind::Installed;
        loc.dataDir = installed.u8string();
        return loc;
    }
    if (!user.empty() && isDir(userData)) {
        loc.kind = Kind::User;
        loc.dataDir = userData.u8string();
        return loc;
    }
    // Nothing anywhere: the folder beside the program, which the start-up then reports.
    loc.kind = Kind::BesideProgram;
    loc.dataDir = beside.u8string();
    return loc;
}

} // namespace vorn
