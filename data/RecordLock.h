#pragma once
// Byte-range locks on a table file, in the Clipper scheme other dBase programs use:
// one byte at 1,000,000,000 guards appends (the header), one byte at
// 1,000,000,000 + n guards record n (1-based). The bytes lie far past any data, so
// readers never touch them and are never blocked. The locks are open-file-description
// locks (F_OFD_SETLK): they belong to our descriptor, another process (or another
// descriptor of ours) sees them, and closing some other descriptor of the same file
// does not drop them.
#include <cstdint>

namespace vorn {

class RecordLock {
public:
    static constexpr std::int64_t kBase = 1000000000;

    // Tries once; false when another descriptor holds a conflicting lock.
    static bool tryLock(int fd, std::int64_t offset);
    // Retries for up to waitMs milliseconds.
    static bool lockWithin(int fd, std::int64_t offset, int waitMs);
    static void unlock(int fd, std::int64_t offset);

    static std::int64_t recordOffset(long recNo1) { return kBase + recNo1; }
    static std::int64_t headerOffset() { return kBase; }
};

} // namespace vorn
