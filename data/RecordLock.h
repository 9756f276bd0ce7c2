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

    // The whole-file lock of the same scheme: every record's byte at once, so it cannot
    // be had while a record is locked, and no record can be locked while it is held.
    static std::int64_t fileOffset() { return kBase + 1; }
    static constexpr std::int64_t kFileLength = kBase;
    static bool lockFileWithin(platform::File& f, int waitMs);
    static void unlockFile(platform::File& f);

    // A byte inside the whole-file range that no record lock reaches (no table holds a
    // thousand million records): a shared lock on it waits only for a whole-file lock.
    // Readers hold it while they read, so they never see a table halfway through a
    // whole-table write.
    static std::int64_t readerOffset() { return kBase + kFileLength; }
};

} // namespace vorn
