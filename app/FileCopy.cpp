#include "app/FileCopy.h"

#include "data/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorn {

namespace fs = std::filesystem;

namespace {

// The reason in the user's words; 0 stands for a file that is no regular file.
std::string reason(int err) {
    return err ? FileIo::reasonText(err) : "это не обычный файл (канал или устройство)";
}
[[noreturn]] void cannotOpen(const std::string& source, int err) {
    throw FileCopyError("Не удаётся открыть файл " + source + ": " + reason(err));
}
[[noreturn]] void cannotCreate(const std::string& target, int err) {
    throw FileCopyError("Не удаётся создать файл " + target + ": " + reason(err));
}

// Closes a descriptor and removes an unfinished file on every way out.
struct Partial {
    int fd = -1;
    std::string path;
    ~Partial() {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
};

} // namespace

std::string copyFile(const std::string& source, const std::string& target) {
    std::error_code ec;
    const fs::path src = fs::u8path(source);
    fs::path dst = fs::u8path(target);

    struct stat st {};
    if (::stat(source.c_str(), &st) != 0)
        cannotOpen(source, errno);
    if (!S_ISREG(st.st_mode))
        cannotOpen(source, S_ISDIR(st.st_mode) ? EISDIR : 0);
    Partial in;
    in.fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0)
        cannotOpen(source, errno);

    if (fs::is_directory(dst, ec))
        dst /= src.filename();
    const std::string written = dst.u8string();

    // Copying a file onto itself would truncate it before reading: there is nothing to do.
    if (fs::equivalent(src, dst, ec))
        return written;

    // The file a link names is the one replaced, the link stays.
    const fs::path real = fs::is_symlink(dst, ec) ? fs::weakly_canonical(dst, ec) : dst;
    struct stat tst {};
    if (::stat(real.c_str(), &tst) == 0) {
        if (!S_ISREG(tst.st_mode))
            cannotCreate(written, S_ISDIR(tst.st_mode) ? EISDIR : 0);
        if (::access(real.c_str(), W_OK) != 0)
            cannotCreate(written, errno);
    }
    if (real.has_parent_path() && !fs::exists(real.parent_path(), ec)) {
        fs::create_directories(real.parent_path(), ec);
        if (ec)
            cannotCreate(written, ec.value());
    }

    Partial out;
    for (int attempt = 0; out.fd < 0; ++attempt) {
        const std::string tmp = real.string() + ".part" + std::to_string(::getpid()) +
                                (attempt ? "-" + std::to_string(attempt) : std::string());
        out.fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (out.fd >= 0)
            out.path = tmp;
        else if (errno != EEXIST || attempt > 100)
            cannotCreate(written, errno);
    }
    std::vector<char> buffer(64 * 1024);
    off_t pos = 0;
    for (;;) {
        const ssize_t got = ::read(in.fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            cannotOpen(source, errno);
        if (got == 0)
            break;
        try {
            FileIo::writeFully(out.fd, buffer.data(), static_cast<size_t>(got), pos, written);
        } catch (const std::exception&) {
            cannotCreate(written, errno);
        }
        pos += got;
    }
    // A replaced file keeps its permissions.
    if (tst.st_mode != 0)
        ::fchmod(out.fd, tst.st_mode & 07777);
    if (::fsync(out.fd) != 0 || ::close(out.fd) != 0) {
        out.fd = -1;
        cannotCreate(written, errno);
    }
    out.fd = -1;
    const auto stamp = fs::last_write_time(src, ec);
    if (!ec)
        fs::last_write_time(fs::path(out.path), stamp,
                            ec); // a copy without the old time is still a copy
    if (::rename(out.path.c_str(), real.c_str()) != 0)
        cannotCreate(written, errno);
    out.path.clear();
    return written;
}

} // namespace vorn
