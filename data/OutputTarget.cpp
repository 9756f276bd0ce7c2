#include "data/OutputTarget.h"

#include <filesystem>

namespace vorn {

namespace fs = std::filesystem;

std::string outputRefused(const std::string& out) {
    return "Файл " + out + " не записан: ";
}

std::string outputTargetProblem(const std::string& out) {
    std::error_code ec;
    const fs::file_status st = fs::status(fs::u8path(out), ec);
    if (!fs::exists(st))
        return {};
    if (fs::is_directory(st))
        return outputRefused(out) + "это папка, а не файл";
    if (!fs::is_regular_file(st))
        return outputRefused(out) +
               "это не обычный файл (канал или устройство), он не будет заменен";
    return {};
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && fs::equivalent(fs::u8path(a), fs::u8path(b), ec);
}

} // namespace vorn
