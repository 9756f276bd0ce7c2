#include "data/FileIo.h"

#include "data/Table.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

namespace vorn {

namespace {

namespace fs = std::filesystem;

std::atomic<long long> writeBudget{-1};
std::atomic<bool> flushes{true};

// The entry of p's folder whose name equals p's in any letter case, or empty.
std::string caseInsensitiveMatch(const std::string& p) {
    const fs::path path = fs::u8path(p);
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string key = foldCase(path.filename().u8string());
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path name = it->path().filename();
        if (foldCase(name.u8string()) == key)
            return (path.has_parent_path() ? path.parent_path() / name : name).u8string();
    }
    return {};
}

} // namespace

platform::File FileIo::openShared(std::string& path, bool readOnly) {
    const auto mode = readOnly ? platform::File::Mode::Read : platform::File::Mode::ReadWrite;
    platform::File f;
    platform::SysError err = f.open(path, mode);
    if (err.kind == platform::ErrorKind::NotFound) {
        // Tables copied from Windows come in any letter case.
        const std::string alt = caseInsensitiveMatch(path);
        if (!alt.empty() && alt != path && !f.open(alt, mode)) {
            path = alt;
            err = {};
        }
    }
    if (err)
        throw DbfError(openError(path, err));
    return f;
}

// The system's reason in the user's language for the cases people meet; the C library
// would say it in English.
platform::SysError FileIo::error(platform::ErrorKind kind) {
    platform::SysError e;
    e.kind = kind;
    return e;
}

platform::SysError FileIo::error(const std::error_code& ec) {
    using platform::ErrorKind;
    platform::SysError e;
    e.native = ec.value();
    if (ec == std::errc::no_such_file_or_directory)
        e.kind = ErrorKind::NotFound;
    else if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        e.kind = ErrorKind::Access;
    else if (ec == std::errc::is_a_directory)
        e.kind = ErrorKind::IsDirectory;
    else if (ec == std::errc::no_space_on_device)
        e.kind = ErrorKind::NoSpace;
    else if (ec == std::errc::read_only_file_system)
        e.kind = ErrorKind::ReadOnlyFs;
    else if (ec == std::errc::not_a_directory)
        e.kind = ErrorKind::NotDirectory;
    else
        e.kind = ErrorKind::Other;
    return e;
}

std::string FileIo::reasonText(const platform::SysError& err) {
    using platform::ErrorKind;
    switch (err.kind) {
    case ErrorKind::None:
        return {};
    case ErrorKind::NotFound:
        return "файл не найден";
    case ErrorKind::Access:
        return "нет доступа";
    case ErrorKind::Busy:
        return "файл занят другой программой";
    case ErrorKind::IsDirectory:
        return "это папка, а не файл";
    case ErrorKind::NotRegular:
        return "это не обычный файл";
    case ErrorKind::ReadOnlyFs:
        return "файловая система только для чтения";
    case ErrorKind::NoSpace:
        return "нет места на диске";
    case ErrorKind::NotDirectory:
        return "в пути нет такой папки";
    case ErrorKind::TooManyOpen:
        return "открыто слишком много файлов";
    case ErrorKind::TooLarge:
        return "превышен допустимый размер файла";
    case ErrorKind::Other:
        break;
    }
    return platform::nativeErrorText(err);
}

std::string FileIo::openError(const std::string& path, const platform::SysError& err) {
    return "Не удаётся открыть файл " + path + ": " + reasonText(err);
}

bool FileIo::readFully(const platform::File& f, char* buf, std::size_t n, std::int64_t offset,
                       std::size_t* got) {
    *got = f.readAt(buf, n, offset);
    return *got == n;
}

void FileIo::writeFully(platform::File& f, const char* buf, std::size_t n, std::int64_t offset,
                        const std::string& path) {
    std::size_t allowed = n;
    long long budget = writeBudget.load(std::memory_order_relaxed);
    if (budget >= 0) {
        allowed = static_cast<std::size_t>(std::min<long long>(budget, static_cast<long long>(n)));
        writeBudget.store(budget - static_cast<long long>(allowed), std::memory_order_relaxed);
    }
    platform::SysError err;
    const std::size_t done = f.writeAt(buf, allowed, offset, err);
    if (!err && done < n) {
        err.kind = platform::ErrorKind::NoSpace;
        err.native = 0;
    }
    if (err)
        throw DbfError("Ошибка записи в файл " + path + ": " + reasonText(err));
}

void FileIo::flush(platform::File& f, const std::string& path) {
    if (!flushes.load(std::memory_order_relaxed))
        return;
    const platform::SysError err = f.flush();
    if (err)
        throw DbfError("Ошибка записи в файл " + path + ": " + reasonText(err));
}

void FileIo::flushFolder(const std::string& dir) {
    if (flushes.load(std::memory_order_relaxed))
        platform::syncFolder(dir);
}

void FileIo::setFlushes(bool on) {
    flushes.store(on, std::memory_order_relaxed);
}

void FileIo::failWritesAfter(long long bytes) {
    writeBudget.store(bytes, std::memory_order_relaxed);
}

} // namespace vorn
