#include "project/OfferOutput.h"

#include <filesystem>

namespace vorn {

namespace fs = std::filesystem;

namespace {
bool same(const fs::path& a, const std::string& b) {
    std::error_code ec;
    return !b.empty() && fs::equivalent(a, fs::u8path(b), ec);
}
} // namespace

std::string offerOutputProblem(const std::string& out, const ProjectSummary& summary) {
    const fs::path o = fs::u8path(out);
    std::error_code ec;
    const fs::file_status st = fs::status(o, ec);
    if (!fs::exists(st))
        return {}; // a new file: the writer tells what goes wrong
    const std::string refused = "Файл " + out + " не записан: ";
    if (fs::is_directory(st))
        return refused + "это папка, а не файл";
    if (!fs::is_regular_file(st))
        return refused + "это не обычный файл (канал или устройство), он не будет заменен";
    if (same(o, summary.projectPath))
        return refused + "это сам файл проекта " + summary.projectPath;
    for (const ChamberLine& c : summary.chambers)
        if (same(o, c.path))
            return refused + "это файл расчета камеры " + c.path;
    return {};
}

} // namespace vorn
