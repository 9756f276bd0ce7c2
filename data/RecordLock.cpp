#include "data/RecordLock.h"

#include <chrono>
#include <thread>

namespace vorn {

bool RecordLock::tryLock(platform::File& f, std::int64_t offset, bool exclusive) {
    return f.tryLock(offset, exclusive);
}

bool RecordLock::lockWithin(platform::File& f, std::int64_t offset, int waitMs, bool exclusive) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!f.tryLock(offset, exclusive)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void RecordLock::unlock(platform::File& f, std::int64_t offset) {
    f.unlock(offset);
}

bool RecordLock::lockFileWithin(platform::File& f, int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!f.tryLock(fileOffset(), true, kFileLength)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void RecordLock::unlockFile(platform::File& f) {
    f.unlock(fileOffset(), kFileLength);
}

} // namespace vorn
