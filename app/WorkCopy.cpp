#include "app/WorkCopy.h"

#include "data/FileIo.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vorn {

namespace fs = std::filesystem;

WorkCopy::WorkCopy(const std::string& source) {
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / "vorn-XXXXXX").string();
    if (ec || !mkdtemp(pattern.data()))
        throw std::runtime_error("Не удаётся создать временную папку для чтения файла " + source +
                                 ": " + FileIo::reasonText(ec ? ec.value() : errno));
    dir_ = pattern;
    // Always ".vrn" inside: the name of the user's file is no concern of the copy.
    path_ = (fs::path(dir_) / "calculation.vrn").string();
    fs::copy_file(fs::u8path(source), fs::path(path_), ec);
    if (!ec) {
        // The copy is the program's own: writable whatever the user's file allows.
        fs::permissions(fs::path(path_), fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace, ec);
    }
    if (ec) {
        const int err = ec.value();
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
    fs::remove_all(dir_, ec);
    dir_.clear();
}

} // namespace vorn
