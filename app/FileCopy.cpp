#include "app/FileCopy.h"

#include "data/FileIo.h"

#include <filesystem>
#include <random>
#include <vector>

namespace vorn {

namespace fs = std::filesystem;

namespace {

using platform::ErrorKind;
using platform::SysError;

SysError kindOf(ErrorKind kind) {
    SysError e;
    e.kind = kind;
    return e;
}

[[noreturn]] void cannotOpen(const std::string& source, const SysError& err) {
    throw FileCopyError("Не удаётся открыть файл " + source + ": " + FileIo::reasonText(err));
}
[[noreturn]] void cannotCreate(const std::string& target, const SysError& err) {
    throw FileCopyError("Не удаётся создать файл " + target + ": " + FileIo::reasonText(err));
}

// What is in the way of a file at p: nothing (it may be created or replaced), a folder, a
// FIFO or a device. A FIFO is never opened: the open would wait for the other end.
SysError notAFile(const fs::path& p) {
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (!fs::exists(st))
        return {};
    if (fs::is_directory(st))
        return kindOf(ErrorKind::IsDirectory);
    if (!fs::is_regular_file(st))
        return kindOf(ErrorKind::NotRegular);
    return {};
}

// Removes an unfinished file on every way out.
struct Partial {
    platform::File file;
    fs::path path;
    ~Partial() {
        file.close();
        std::error_code ec;
        if (!path.empty())
            fs::remove(path, ec);
    }
};

} // namespace

std::string copyFile(const std::string& source, const std::string& target) {
    std::error_code ec;
    const fs::path src = fs::u8path(source);
    fs::path dst = fs::u8path(target);

    if (!fs::exists(src, ec))
        cannotOpen(source, kindOf(ErrorKind::NotFound));
    if (const SysError e = notAFile(src))
        cannotOpen(source, e);
    platform::File in;
    if (const SysError e = in.open(source, platform::File::Mode::Read))
        cannotOpen(source, e);

    if (fs::is_directory(dst, ec))
        dst /= src.filename();
    const std::string written = dst.u8string();

    // Copying a file onto itself would truncate it before reading: there is nothing to do.
    if (fs::equivalent(src, dst, ec))
        return written;

    // The file a link names is the one replaced, the link stays.
    const fs::path real = fs::is_symlink(dst, ec) ? fs::weakly_canonical(dst, ec) : dst;
    if (const SysError e = notAFile(real))
        cannotCreate(written, e);
    const bool replacing = fs::exists(real, ec);
    if (replacing) {
        // A file the user may not write is not replaced behind its back.
        platform::File probe;
        if (const SysError e = probe.open(real.u8string(), platform::File::Mode::ReadWrite))
            cannotCreate(written, e);
    }
    if (real.has_parent_path() && !fs::exists(real.parent_path(), ec)) {
        fs::create_directories(real.parent_path(), ec);
        if (ec)
            cannotCreate(written, kindOf(fs::exists(real.parent_path().parent_path(), ec)
                                             ? ErrorKind::NotDirectory
                                             : ErrorKind::Other));
    }

    // The bytes go into a new file beside the target, which replaces it once complete.
    Partial out;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && out.path.empty(); ++attempt) {
        const fs::path tmp = real.u8string() + ".part" + std::to_string(random() % 1000000);
        if (fs::exists(tmp, ec))
            continue;
        if (const SysError e = out.file.open(tmp.u8string(), platform::File::Mode::Create))
            cannotCreate(written, e);
        out.path = tmp;
    }
    if (out.path.empty())
        cannotCreate(written, kindOf(ErrorKind::Other));
    std::vector<char> buffer(64 * 1024);
    std::int64_t pos = 0;
    for (;;) {
        SysError readError;
        const size_t got = in.readAt(buffer.data(), buffer.size(), pos, &readError);
        if (readError)
            cannotOpen(source, readError);
        if (got == 0)
            break;
        try {
            FileIo::writeFully(out.file, buffer.data(), got, pos, written);
        } catch (const std::exception& e) {
            throw FileCopyError(e.what());
        }
        pos += static_cast<std::int64_t>(got);
    }
    if (const SysError e = out.file.flush())
        cannotCreate(written, e);
    out.file.close();
    // A replaced file keeps its permissions.
    if (replacing) {
        const fs::perms perms = fs::status(real, ec).permissions();
        if (!ec)
            fs::permissions(out.path, perms, fs::perm_options::replace, ec);
    }
    const auto stamp = fs::last_write_time(src, ec);
    if (!ec)
        fs::last_write_time(out.path, stamp, ec); // a copy without the old time is still a copy
    fs::rename(out.path, real, ec);
    if (ec)
        cannotCreate(written, kindOf(ErrorKind::Access));
    out.path.clear();
    return written;
}

} // namespace vorn
