#include "app/WorkCopy.h"

#include "data/Journal.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace vorn {

namespace fs = std::filesystem;

WorkCopy::WorkCopy(const std::string& source) {
    // A write interrupted in the source is undone there first: the copy takes no journal.
    Journal::repairFile(source);
    std::random_device random;
    std::error_code ec;
    const fs::path tmp = fs::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
        const fs::path dir = tmp / ("vorn-" + std::to_string(random() % 100000000));
        if (fs::create_directory(dir, ec))
            dir_ = dir.u8string();
    }
    if (dir_.empty())
        throw std::runtime_error("не удалось создать временную папку");
    path_ = (fs::u8path(dir_) / fs::u8path(source).filename()).u8string();
    try {
        fs::copy_file(fs::u8path(source), fs::u8path(path_));
    } catch (...) {
        std::error_code ec;
        fs::remove_all(fs::u8path(dir_), ec);
        throw;
    }
}

WorkCopy::~WorkCopy() {
    std::error_code ec;
    fs::remove_all(fs::u8path(dir_), ec);
}

} // namespace vorn
