#include "data/WorkCopy.h"

#include "data/FileIo.h"
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
        throw std::runtime_error("Не удаётся создать временную папку для чтения файла " + source +
                                 ": " + FileIo::reasonText(FileIo::error(ec)));
    // Always ".vrn" inside: the name of the user's file is no concern of the copy.
    path_ = (fs::u8path(dir_) / "calculation.vrn").u8string();
    fs::copy_file(fs::u8path(source), fs::u8path(path_), ec);
    if (!ec) {
        // The copy is the program's own: writable whatever the user's file allows.
        fs::permissions(fs::u8path(path_), fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace, ec);
    }
    if (ec) {
        const platform::SysError err = FileIo::error(ec);
        removeNow();
        throw std::runtime_error(FileIo::openError(source, err));
    }
}

WorkCopy::~WorkCopy() {
    removeNow();
}

void WorkCopy::removeNow() {
    if (dir_.empty())
        return;
    std::error_code ec;
    fs::remove_all(fs::u8path(dir_), ec);
    dir_.clear();
}

} // namespace vorn
