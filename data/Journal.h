#pragma once
// Crash-safe writes of a table file, in place (other programs may hold the file open, so
// there is no temporary file to rename). A rollback journal beside the table,
// "NAME.dbf-journal", holds the bytes a write is about to replace and the file's length:
//
//   1. the journal is written and flushed;
//   2. the new bytes are written in place and flushed;
//   3. the journal is removed.
//
// A write killed at any byte leaves either a torn journal (the table not yet touched; the
// journal fails its length or checksum and is dropped) or a whole journal, from which the
// next open of the table puts the old bytes back and cuts an append off. So a record is
// always whole: the old one or the new one.
//
// The header lock of the table (RecordLock::headerOffset) marks a writer at work: it is held
// from step 1 to step 3, and a journal is only played back by whoever holds that lock. A
// writer that dies loses its locks, so its journal is then free to be played back.
#include "data/platform/PlatformFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// Bytes to write into a table at an offset.
struct Patch {
    std::int64_t offset = 0;
    std::string bytes;
};

class Journal {
public:
    static std::string pathFor(const std::string& tablePath);

    // Writes the patches into file (the table at path) through the journal. The caller
    // holds the header lock. A journal left by a dead writer is played back first; the
    // result tells whether that happened (the caller's copy of the file is then stale).
    // On a failed write the old bytes are put back at once when possible; otherwise the
    // journal stays for the next open. Throws DbfError naming the file.
    static bool write(platform::File& file, const std::string& path,
                      const std::vector<Patch>& patches);

    // Run before anything reads a table: plays back the journal of an interrupted write,
    // if there is one and no writer is at work on it. file is the table's own handle, open
    // read-only or read-write; a read-only one needs a second, writable handle for the
    // repair, and a table that cannot be repaired is refused (DbfError naming it). The
    // result tells whether the file was changed. Waits a moment for a live writer.
    static bool recover(platform::File& file, const std::string& path, bool readOnly);
    // The same for a table that is not open: for a copy of a file to be made whole (the
    // copy would leave the journal behind).
    static void repairFile(const std::string& path);
    // The same, for a caller that holds the header lock already.
    static bool recoverLocked(platform::File& file, const std::string& path, bool readOnly);

private:
    static bool playBack(platform::File& file, const std::string& path, bool readOnly);
};

} // namespace vorn
