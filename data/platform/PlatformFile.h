#pragma once
// The operating system under the table layer: files opened shared, positioned reads and
// writes, flushing, byte-range locks that do not wait, and the few path operations the
// journal of the crash-safe writes needs. PosixFile.cpp and Win32File.cpp implement it;
// no other file of the program includes a system header.
//
// Paths are UTF-8 everywhere (converted to UTF-16 on Windows).
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace vorn::platform {

// Why a call failed, in the terms the program explains to the user.
enum class ErrorKind {
    None,
    NotFound,
    Access,
    Busy, // held open or locked by another program (Windows sharing)
    IsDirectory,
    NotRegular, // a device, a pipe: not a file a table can live in
    ReadOnlyFs,
    NoSpace,
    NotDirectory,
    TooManyOpen,
    TooLarge, // the file-size limit of the process
    Other,
};

struct SysError {
    ErrorKind kind = ErrorKind::None;
    long native = 0; // errno or GetLastError()
    explicit operator bool() const { return kind != ErrorKind::None; }
};

// The system's own words for an error the program has no Russian text for.
std::string nativeErrorText(const SysError& e);

// Size and modification times of an open file; the times in nanoseconds since 1970.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modified = 0;
    std::int64_t changed = 0; // metadata change (POSIX ctime); the write time where none
};

class File {
public:
    enum class Mode {
        Read,      // shared, existing file
        ReadWrite, // shared, existing file
        Create,    // read-write, created or emptied; for the journal
    };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens path. Others may open, read and write the same file meanwhile. Anything but a
    // regular file is refused (IsDirectory, NotRegular).
    SysError open(const std::string& path, Mode mode);
    bool isOpen() const;
    void close(); // drops every lock this handle holds

    // Reads up to n bytes at offset; returns how many came (fewer only at the end of the
    // file or on an error, which err then holds).
    std::size_t readAt(void* buf, std::size_t n, std::int64_t offset,
                       SysError* err = nullptr) const;
    // Writes n bytes at offset; returns how many were written before an error.
    std::size_t writeAt(const void* buf, std::size_t n, std::int64_t offset, SysError& err);
    SysError flush(); // to the disk, not just to the system
    SysError truncate(std::int64_t size);
    bool stamp(FileStamp& out) const;

    // Byte-range lock of length bytes (one unless said), without waiting: false when
    // another handle (of this process or another) holds a conflicting lock. A shared lock
    // works on a read-only handle and conflicts only with exclusive ones. unlock takes the
    // same range the lock took.
    bool tryLock(std::int64_t offset, bool exclusive = true, std::int64_t length = 1);
    void unlock(std::int64_t offset, std::int64_t length = 1);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

bool fileExists(const std::string& path);
SysError removeFile(const std::string& path);
// Makes a file created or removed in dir survive a crash of the system (POSIX: the
// folder's entry is flushed; Windows needs nothing).
void syncFolder(const std::string& dir);

// The full path of the running program.
std::string programPath();
// The user's home folder: HOME, else the account's own; USERPROFILE on Windows. Empty
// when there is none.
std::string homeFolder();

// An environment variable in UTF-8 (Windows keeps them in UTF-16: a user folder with
// Cyrillic letters would not survive the ANSI code page); empty when unset.
std::string environment(const char* name);

// The program's arguments in UTF-8, the program's name first. Windows hands main() the
// arguments in the ANSI code page, where a file name outside it is lost: the wide command
// line is read instead.
std::vector<std::string> arguments(int argc, char** argv);

// Lets a console show the UTF-8 text the program writes (Windows: the console's output code
// page is UTF-8 until the program ends; elsewhere nothing to do).
void useUtf8Console();

// Local calendar time.
std::tm localTime(std::time_t t);

} // namespace vorn::platform
