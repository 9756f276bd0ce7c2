#pragma once
// Byte-range locks on a table file, in the Clipper scheme other dBase programs use:
// one byte at 1,000,000,000 guards appends (the header), one byte at
// 1,000,000,000 + n guards record n (1-based). The bytes lie far past any data, so
// readers never touch them and are never blocked. The locks belong to the handle
// (Linux open-file-description locks, Windows LockFileEx): another process, or another
// handle of ours, sees them, and closing some other handle of the same file does not
// drop them.
#include "data/platform/PlatformFile.h"

#include <cstdint>

namespace vorn {

class RecordLock {
public:
    static constexpr std::int64_t kBase = 1000000000;

    // Tries once; false when another handle holds a conflicting lock. A shared lock is
    // what a read-only handle can take.
    static bool tryLock(platform::File& f, std::int64_t offset, bool exclusive = true);
    // Retries for up to waitMs milliseconds.
    static bool lockWithin(platform::File& f, std::int64_t offset, int waitMs,
                           bool exclusive = true);
    static void unlock(platform::File& f, std::int64_t offset);

    static std::int64_t recordOffset(long recNo1) { return kBase + recNo1; }
    static std::int64_t headerOffset() { return kBase; }
};

} // namespace vorn
