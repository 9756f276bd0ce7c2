#include "app/WorkCopy.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vorn {

namespace fs = std::filesystem;

WorkCopy::WorkCopy(const std::string& source) {
    std::string pattern = (fs::temp_directory_path() / "vorn-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("не удалось создать временную папку");
    dir_ = pattern;
    path_ = (fs::path(dir_) / fs::u8path(source).filename()).u8string();
    try {
        fs::copy_file(fs::u8path(source), fs::u8path(path_));
    } catch (...) {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        throw;
    }
}

WorkCopy::~WorkCopy() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

} // namespace vorn
