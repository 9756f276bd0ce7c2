#include "data/RecordLock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace vorn {

namespace {
bool setLock(int fd, std::int64_t offset, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = 1;
    fl.l_pid = 0; // required for OFD locks
    int rc;
    do {
        rc = fcntl(fd, F_OFD_SETLK, &fl);
    } while (rc == -1 && errno == EINTR);
    return rc == 0;
}
} // namespace

bool RecordLock::tryLock(int fd, std::int64_t offset) {
    return setLock(fd, offset, F_WRLCK);
}

bool RecordLock::lockWithin(int fd, std::int64_t offset, int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!tryLock(fd, offset)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void RecordLock::unlock(int fd, std::int64_t offset) {
    setLock(fd, offset, F_UNLCK);
}

} // namespace vorn
