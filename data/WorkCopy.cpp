#include "data/WorkCopy.h"

#include "data/FileIo.h"
#include "data/Journal.h"
#include "data/Table.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace vorn {

namespace fs = std::filesystem;

WorkCopy::WorkCopy(const std::string& source) {
    // A write interrupted in the source is undone there first: the copy takes no journal.
    // Where the source may only be read, the copy is made whole instead, from the journal
    // beside the source: what could be read is read, and nothing of the source changes.
    bool repairCopy = false;
    try {
        Journal::repairFile(source);
    } catch (const DbfError&) {
        if (!platform::fileExists(Journal::pathFor(source)))
            throw;
        repairCopy = true;
    }
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
    if (!ec && repairCopy)
        fs::copy_file(fs::u8path(Journal::pathFor(source)), fs::u8path(Journal::pathFor(path_)),
                      ec);
    if (ec) {
        const platform::SysError err = FileIo::error(ec);
        removeNow();
        throw std::runtime_error(FileIo::openError(source, err));
    }
    if (repairCopy) {
        try {
            Journal::repairFile(path_);
        } catch (const DbfError& e) {
            removeNow();
            std::string what = e.what();
            for (size_t at = what.find(path_); at != std::string::npos;
                 at = what.find(path_, at + source.size()))
                what.replace(at, path_.size(), source);
            throw std::runtime_error(what);
        }
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
