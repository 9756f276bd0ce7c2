#include "app/FileCopy.h"

#include "data/FileIo.h"
#include "data/platform/PlatformFile.h"

#include <filesystem>
#include <random>
#include <vector>

namespace vorn {

namespace fs = std::filesystem;

namespace {

std::string reason(const platform::SysError& err) {
    return err.kind == platform::ErrorKind::NotRegular
               ? "это не обычный файл (канал или устройство)"
               : FileIo::reasonText(err);
}
platform::SysError kind(platform::ErrorKind k) {
    return {k, 0};
}
[[noreturn]] void cannotOpen(const std::string& source, const platform::SysError& err) {
    throw FileCopyError("Не удаётся открыть файл " + source + ": " + reason(err));
}
[[noreturn]] void cannotCreate(const std::string& target, const std::string& why) {
    throw FileCopyError("Не удаётся создать файл " + target + ": " + why);
}
[[noreturn]] void cannotCreate(const std::string& target, const platform::SysError& err) {
    cannotCreate(target, reason(err));
}

// Removes an unfinished file on every way out.
struct Partial {
    platform::File file;
    std::string path;
    ~Partial() {
        file.close();
        if (!path.empty())
            platform::removeFile(path);
    }
};

} // namespace

std::string copyFile(const std::string& source, const std::string& target) {
    std::error_code ec;
    const fs::path src = fs::u8path(source);
    fs::path dst = fs::u8path(target);

    platform::PathInfo st;
    if (const platform::SysError err = platform::pathInfo(source, st))
        cannotOpen(source, err);
    if (st.type != platform::PathInfo::Regular)
        cannotOpen(source, kind(st.type == platform::PathInfo::Directory
                                    ? platform::ErrorKind::IsDirectory
                                    : platform::ErrorKind::NotRegular));
    platform::File in;
    if (const platform::SysError err = in.open(source, platform::File::Mode::Read))
        cannotOpen(source, err);

    if (fs::is_directory(dst, ec))
        dst /= src.filename();
    const std::string written = dst.u8string();

    // Copying a file onto itself would truncate it before reading: there is nothing to do.
    if (fs::equivalent(src, dst, ec))
        return written;

    // The file a link names is the one replaced, the link stays.
    const fs::path real = fs::is_symlink(dst, ec) ? fs::weakly_canonical(dst, ec) : dst;
    const std::string realPath = real.u8string();
    platform::PathInfo tst;
    const bool replacing = !platform::pathInfo(realPath, tst);
    if (replacing) {
        if (tst.type != platform::PathInfo::Regular)
            cannotCreate(written, kind(tst.type == platform::PathInfo::Directory
                                           ? platform::ErrorKind::IsDirectory
                                           : platform::ErrorKind::NotRegular));
        if (!platform::writable(realPath))
            cannotCreate(written, kind(platform::ErrorKind::Access));
    }
    if (real.has_parent_path() && !fs::exists(real.parent_path(), ec)) {
        fs::create_directories(real.parent_path(), ec);
        if (ec)
            cannotCreate(written, ec.message());
    }

    Partial out;
    std::random_device random;
    for (int attempt = 0; !out.file.isOpen(); ++attempt) {
        const std::string tmp = realPath + ".part" + std::to_string(random() % 1000000);
        const platform::SysError err = out.file.open(tmp, platform::File::Mode::CreateNew);
        if (!err)
            out.path = tmp;
        else if (err.kind != platform::ErrorKind::Exists || attempt > 100)
            cannotCreate(written, err);
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
        if (out.file.writeAt(buffer.data(), got, pos, err) != got)
            cannotCreate(written, err ? err : kind(platform::ErrorKind::NoSpace));
        pos += static_cast<std::int64_t>(got);
    }
    const platform::SysError flushed = out.file.flush();
    out.file.close();
    if (flushed)
        cannotCreate(written, flushed);
    // A replaced file keeps its permissions.
    if (replacing)
        fs::permissions(fs::u8path(out.path), fs::status(real, ec).permissions(), ec);
    const auto stamp = fs::last_write_time(src, ec);
    if (!ec)
        fs::last_write_time(fs::u8path(out.path), stamp,
                            ec); // a copy without the old time is still a copy
    fs::rename(fs::u8path(out.path), real, ec);
    if (ec)
        cannotCreate(written, ec.message());
    out.path.clear();
    return written;
}

} // namespace vorn
