#include "app/FileCopy.h"

#include "data/FileIo.h"

#include <filesystem>
#include <random>
#include <vector>

namespace vorn {

namespace fs = std::filesystem;

namespace {

// The reason in the user's words.
std::string reason(const platform::SysError& err) {
    return err.kind == platform::ErrorKind::NotRegular
               ? "это не обычный файл (канал или устройство)"
               : FileIo::reasonText(err);
}
[[noreturn]] void cannotOpen(const std::string& source, const platform::SysError& err) {
    throw FileCopyError("Не удаётся открыть файл " + source + ": " + reason(err));
}
[[noreturn]] void cannotCreate(const std::string& target, const platform::SysError& err) {
    throw FileCopyError("Не удаётся создать файл " + target + ": " + reason(err));
}

// Closes the unfinished copy and removes it on every way out.
struct Partial {
    platform::File file;
    std::string path;
    ~Partial() {
        file.close();
        if (!path.empty()) {
            std::error_code ec;
            fs::remove(fs::u8path(path), ec);
        }
    }
};

} // namespace

std::string copyFile(const std::string& source, const std::string& target) {
    std::error_code ec;
    const fs::path src = fs::u8path(source);
    fs::path dst = fs::u8path(target);

    const fs::file_status st = fs::status(src, ec);
    if (ec || !fs::exists(st))
        cannotOpen(source, ec ? FileIo::error(ec) : FileIo::error(platform::ErrorKind::NotFound));
    if (fs::is_directory(st))
        cannotOpen(source, FileIo::error(platform::ErrorKind::IsDirectory));
    if (!fs::is_regular_file(st)) // a FIFO or a device: never opened, a read could wait forever
        cannotOpen(source, FileIo::error(platform::ErrorKind::NotRegular));
    platform::File in;
    if (const platform::SysError e = in.open(source, platform::File::Mode::Read))
        cannotOpen(source, e);

    if (fs::is_directory(dst, ec))
        dst /= src.filename();
    const std::string written = dst.u8string();

    // Copying a file onto itself would truncate it before reading: there is nothing to do.
    if (fs::equivalent(src, dst, ec))
        return written;

    // The file a link names is the one replaced, the link stays.
    const fs::path real = fs::is_symlink(dst, ec) ? fs::weakly_canonical(dst, ec) : dst;
    const fs::file_status tst = fs::status(real, ec);
    const bool replacing = fs::exists(tst);
    if (replacing) {
        if (fs::is_directory(tst))
            cannotCreate(written, FileIo::error(platform::ErrorKind::IsDirectory));
        if (!fs::is_regular_file(tst))
            cannotCreate(written, FileIo::error(platform::ErrorKind::NotRegular));
        platform::File probe; // a file we may not write is not replaced behind its back
        if (const platform::SysError e = probe.open(real.u8string(), platform::File::Mode::ReadWrite))
            cannotCreate(written, e);
    }
    if (real.has_parent_path() && !fs::exists(real.parent_path(), ec)) {
        fs::create_directories(real.parent_path(), ec);
        if (ec)
            cannotCreate(written, FileIo::error(ec));
    }

    // Written beside the target under a name of its own, then put in its place: an
    // interrupted copy never leaves half a file under the target's name.
    Partial out;
    std::random_device random;
    for (int attempt = 0; out.path.empty(); ++attempt) {
        const std::string tmp = real.u8string() + ".part" + std::to_string(random() % 1000000);
        if (fs::exists(fs::u8path(tmp), ec))
            continue;
        if (const platform::SysError e = out.file.open(tmp, platform::File::Mode::Create)) {
            if (attempt > 100)
                cannotCreate(written, e);
            continue;
        }
        out.path = tmp;
    }
    std::vector<char> buffer(64 * 1024);
    std::int64_t pos = 0;
    for (;;) {
        platform::SysError err;
        const std::size_t got = in.readAt(buffer.data(), buffer.size(), pos, &err);
        if (err)
            cannotOpen(source, err);
        if (got == 0)
            break;
        try {
            FileIo::writeFully(out.file, buffer.data(), got, pos, written);
        } catch (const std::exception& e) {
            throw FileCopyError(e.what());
        }
        pos += static_cast<std::int64_t>(got);
    }
    try {
        FileIo::flush(out.file, written);
    } catch (const std::exception& e) {
        throw FileCopyError(e.what());
    }
    out.file.close();
    in.close();
    // A replaced file keeps its permissions.
    if (replacing)
        fs::permissions(fs::u8path(out.path), tst.permissions(), ec);
    const auto stamp = fs::last_write_time(src, ec);
    if (!ec) // a copy without the old time is still a copy
        fs::last_write_time(fs::u8path(out.path), stamp, ec);
    fs::rename(fs::u8path(out.path), real, ec);
    if (ec && replacing) { // where a rename does not replace a file
        std::error_code removed;
        fs::remove(real, removed);
        fs::rename(fs::u8path(out.path), real, ec);
    }
    if (ec)
        cannotCreate(written, FileIo::error(ec));
    out.path.clear();
    return written;
}

} // namespace vorn
