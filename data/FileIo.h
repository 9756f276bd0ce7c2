#pragma once
// A table file through the platform layer: opened shared, read and written at an offset
// in whole, and the system's reasons in the user's language.
#include "data/platform/PlatformFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

namespace vorn {

class FileIo {
public:
    // Opens path for reading (and writing unless readOnly). A name not found is looked
    // for in any letter case in its folder (tables copied from Windows); path becomes the
    // name actually opened. Anything but a regular file is refused. Throws DbfError with
    // the system's reason.
    static platform::File openShared(std::string& path, bool readOnly);

    // Reads n bytes at offset; false when fewer came (end of file or an error).
    static bool readFully(const platform::File& f, char* buf, std::size_t n, std::int64_t offset,
                          std::size_t* got);
    // Writes n bytes at offset, or throws DbfError naming path.
    static void writeFully(platform::File& f, const char* buf, std::size_t n, std::int64_t offset,
                           const std::string& path);
    // Flushes f to the disk, or throws DbfError naming path.
    static void flush(platform::File& f, const std::string& path);
    // Flushes the entries of folder dir (a file created there), where the system needs it.
    static void flushFolder(const std::string& dir);

    // An error of the given kind, and the reason of a failed std::filesystem call.
    static platform::SysError error(platform::ErrorKind kind);
    static platform::SysError error(const std::error_code& ec);

    // The system's reason for err, in Russian for the cases people meet.
    static std::string reasonText(const platform::SysError& err);
    // The message of a file that cannot be opened: its path and the reason.
    static std::string openError(const std::string& path, const platform::SysError& err);

    // For the tests of torn writes: every write after the next `bytes` bytes (counted over
    // all files) fails as a full disk would, the one crossing the mark after writing its
    // part. A negative count turns this off.
    static void failWritesAfter(long long bytes);
    // For the fuzzer, which writes thousands of throw-away files: flush() does nothing.
    static void setFlushes(bool on);
};

} // namespace vorn
