#include "data/FileIo.h"

#include "data/Table.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {

namespace {

// The entry of p's folder whose name equals p's in any letter case, or empty.
std::string caseInsensitiveMatch(const std::string& p) {
    const size_t slash = p.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : p.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return {};
    std::string found;
    const std::string key = foldCase(name);
    while (struct dirent* e = ::readdir(d)) {
        if (foldCase(e->d_name) == key) {
            found = (slash == std::string::npos ? std::string() : dir) + e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

} // namespace

int FileIo::openShared(std::string& path, bool readOnly) {
    const int flags = (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags);
    if (fd < 0 && errno == ENOENT) {
        // Tables copied from Windows come in any letter case.
        const int err = errno;
        const std::string alt = caseInsensitiveMatch(path);
        if (!alt.empty()) {
            fd = ::open(alt.c_str(), flags);
            if (fd >= 0)
                path = alt;
        }
        if (fd < 0 && alt.empty())
            errno = err;
    }
    if (fd < 0)
        throw DbfError(openError(path, errno));
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        throw DbfError(openError(path, err));
    }
    return fd;
}

bool FileIo::sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The system's reason in the user's language for the cases people meet; the C library
// would say it in English.
std::string FileIo::reasonText(int err) {
    switch (err) {
    case ENOENT:
        return "файл не найден";
    case EACCES:
    case EPERM:
        return "нет доступа";
    case EISDIR:
        return "это папка, а не файл";
    case EROFS:
        return "файловая система только для чтения";
    case ENOSPC:
        return "нет места на диске";
    case ENOTDIR:
        return "в пути нет такой папки";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    default:
        return std::strerror(err);
    }
}

std::string FileIo::openError(const std::string& path, int err) {
    return "Не удаётся открыть файл " + path + ": " + reasonText(err);
}

bool FileIo::readFully(int fd, char* buf, size_t n, off_t offset, size_t* got) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            *got = done;
            return false;
        }
        if (r == 0)
            break;
        done += static_cast<size_t>(r);
    }
    *got = done;
    return done == n;
}

void FileIo::writeFully(int fd, const char* buf, size_t n, off_t offset, const std::string& path) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw DbfError("Ошибка записи в файл " + path + ": " + reasonText(errno));
        }
        done += static_cast<size_t>(r);
    }
}

} // namespace vorn
