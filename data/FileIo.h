#pragma once
// The system calls under a table file: opening it shared, reading and writing at an
// offset through interruptions, and the system's reasons in the user's language.
#include <cstddef>
#include <ctime>
#include <string>
#include <sys/types.h>

namespace vorn {

class FileIo {
public:
    // Opens path for reading (and writing unless readOnly) and returns the descriptor.
    // A name not found is looked for in any letter case in its folder (tables copied
    // from Windows); path becomes the name actually opened. Anything but a regular file
    // is refused. Throws DbfError with the system's reason.
    static int openShared(std::string& path, bool readOnly);

    // Reads n bytes at offset; false when fewer came (end of file or an error).
    static bool readFully(int fd, char* buf, size_t n, off_t offset, size_t* got);
    // Writes n bytes at offset, or throws DbfError naming path.
    static void writeFully(int fd, const char* buf, size_t n, off_t offset,
                           const std::string& path);

    // The system's reason for err, in Russian for the cases people meet.
    static std::string reasonText(int err);
    // The message of a file that cannot be opened: its path and the reason.
    static std::string openError(const std::string& path, int err);

    static bool sameTime(const struct timespec& a, const struct timespec& b);
};

} // namespace vorn
