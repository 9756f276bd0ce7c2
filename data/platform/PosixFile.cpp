// The platform layer on POSIX systems (Linux first: the record locks are open-file-
// description locks, which belong to the descriptor and not to the process).
#ifndef _WIN32
#include "data/platform/PlatformFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn::platform {

namespace {

SysError fromErrno(int err) {
    SysError e;
    e.native = err;
    switch (err) {
    case 0:
        e.kind = ErrorKind::None;
        break;
    case ENOENT:
        e.kind = ErrorKind::NotFound;
        break;
    case EACCES:
    case EPERM:
        e.kind = ErrorKind::Access;
        break;
    case EBUSY:
    case ETXTBSY:
        e.kind = ErrorKind::Busy;
        break;
    case EISDIR:
        e.kind = ErrorKind::IsDirectory;
        break;
    case EROFS:
        e.kind = ErrorKind::ReadOnlyFs;
        break;
    case ENOSPC:
    case EDQUOT:
        e.kind = ErrorKind::NoSpace;
        break;
    case ENOTDIR:
        e.kind = ErrorKind::NotDirectory;
        break;
    case EMFILE:
    case ENFILE:
        e.kind = ErrorKind::TooManyOpen;
        break;
    case EFBIG:
        e.kind = ErrorKind::TooLarge;
        break;
    default:
        e.kind = ErrorKind::Other;
        break;
    }
    return e;
}

std::int64_t nanos(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool setLock(int fd, std::int64_t offset, short type, std::int64_t length) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0; // required for OFD locks
    int rc;
    do {
        rc = ::fcntl(fd, F_OFD_SETLK, &fl);
    } while (rc == -1 && errno == EINTR);
    return rc == 0;
}

} // namespace

std::string nativeErrorText(const SysError& e) {
    return std::strerror(static_cast<int>(e.native));
}

File::~File() {
    close();
}

File::File(File&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

SysError File::open(const std::string& path, Mode mode) {
    close();
    // not blocking: opening a FIFO for reading would wait for a writer; a regular file,
    // the only kind kept open, is not affected
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR;
        break;
    case Mode::Create:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    }
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0)
        return fromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        SysError e = fromErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        if (!S_ISDIR(st.st_mode))
            e.kind = ErrorKind::NotRegular;
        ::close(fd);
        return e;
    }
    fd_ = fd;
    return {};
}

bool File::isOpen() const {
    return fd_ >= 0;
}

void File::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::size_t File::readAt(void* buf, std::size_t n, std::int64_t offset, SysError* err) const {
    std::size_t done = 0;
    char* p = static_cast<char*>(buf);
    while (done < n) {
        const ssize_t r =
            ::pread(fd_, p + done, n - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            if (err)
                *err = fromErrno(errno);
            break;
        }
        if (r == 0)
            break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

std::size_t File::writeAt(const void* buf, std::size_t n, std::int64_t offset, SysError& err) {
    std::size_t done = 0;
    const char* p = static_cast<const char*>(buf);
    while (done < n) {
        const ssize_t r = ::pwrite(fd_, p + done, n - done,
                                   static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            err = fromErrno(errno);
            break;
        }
        done += static_cast<std::size_t>(r);
    }
    return done;
}

SysError File::flush() {
    int rc;
    do {
        rc = ::fdatasync(fd_);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? SysError{} : fromErrno(errno);
}

SysError File::truncate(std::int64_t size) {
    int rc;
    do {
        rc = ::ftruncate(fd_, static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? SysError{} : fromErrno(errno);
}

bool File::stamp(FileStamp& out) const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return false;
    out.size = st.st_size;
    out.modified = nanos(st.st_mtim);
    out.changed = nanos(st.st_ctim);
    return true;
}

bool File::tryLock(std::int64_t offset, bool exclusive, std::int64_t length) {
    return setLock(fd_, offset, exclusive ? F_WRLCK : F_RDLCK, length);
}

void File::unlock(std::int64_t offset, std::int64_t length) {
    setLock(fd_, offset, F_UNLCK, length);
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

SysError removeFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return {};
    return fromErrno(errno);
}

void syncFolder(const std::string& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::string programPath() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void useUtf8Console() {}

std::tm localTime(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

} // namespace vorn::platform
#endif
