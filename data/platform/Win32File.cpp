// The platform layer on Windows: files opened shared for read and write, reads and writes
// at OVERLAPPED offsets, LockFileEx on the same bytes as the POSIX locks (so other Windows
// dBase programs using the Clipper scheme see our record locks, and we theirs), UTF-8 paths
// turned into UTF-16.
#ifdef _WIN32
#include "data/platform/PlatformFile.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <algorithm>
#include <cstdlib>
#include <string>
#include <windows.h>
#include <shellapi.h>

namespace vorn::platform {

namespace {

constexpr std::int64_t kEpochDiff100ns = 116444736000000000LL; // 1601-01-01 to 1970-01-01

std::wstring wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
    return w;
}

std::string narrow(const wchar_t* w, int len) {
    if (len <= 0)
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w, len, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w, len, &s[0], n, nullptr, nullptr);
    return s;
}

SysError fromWin(DWORD err) {
    SysError e;
    e.native = static_cast<long>(err);
    switch (err) {
    case ERROR_SUCCESS:
        e.kind = ErrorKind::None;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
        e.kind = ErrorKind::NotFound;
        break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
        e.kind = ErrorKind::NotDirectory;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
        e.kind = ErrorKind::Access;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        e.kind = ErrorKind::Busy;
        break;
    case ERROR_WRITE_PROTECT:
        e.kind = ErrorKind::ReadOnlyFs;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        e.kind = ErrorKind::NoSpace;
        break;
    case ERROR_TOO_MANY_OPEN_FILES:
        e.kind = ErrorKind::TooManyOpen;
        break;
    case ERROR_FILE_TOO_LARGE:
        e.kind = ErrorKind::TooLarge;
        break;
    default:
        e.kind = ErrorKind::Other;
        break;
    }
    return e;
}

SysError lastError() {
    return fromWin(::GetLastError());
}

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED ov{};
    ov.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    ov.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return ov;
}

std::int64_t unixNanos(const LARGE_INTEGER& t) {
    return (t.QuadPart - kEpochDiff100ns) * 100;
}

constexpr DWORD kChunk = 1u << 30;

} // namespace

std::string nativeErrorText(const SysError& e) {
    wchar_t* buf = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(e.native), 0, reinterpret_cast<LPWSTR>(&buf), 0, nullptr);
    std::string text = buf ? narrow(buf, static_cast<int>(n)) : std::string();
    if (buf)
        ::LocalFree(buf);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "ошибка Windows " + std::to_string(e.native);
    return text;
}

File::~File() {
    close();
}

File::File(File&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

SysError File::open(const std::string& path, Mode mode) {
    close();
    const std::wstring w = wide(path);
    const DWORD access = mode == Mode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = mode == Mode::Create ? CREATE_ALWAYS : OPEN_EXISTING;
    // Shared as dBase programs open tables: others may read and write meanwhile.
    HANDLE h =
        ::CreateFileW(w.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SysError e = lastError();
        const DWORD attrs = ::GetFileAttributesW(w.c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
            e.kind = ErrorKind::IsDirectory;
        return e;
    }
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        SysError e;
        e.kind = ErrorKind::NotRegular;
        return e;
    }
    handle_ = h;
    return {};
}

bool File::isOpen() const {
    return handle_ != nullptr;
}

void File::close() {
    if (handle_)
        ::CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

std::size_t File::readAt(void* buf, std::size_t n, std::int64_t offset, SysError* err) const {
    std::size_t done = 0;
    char* p = static_cast<char*>(buf);
    while (done < n) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - done, kChunk));
        OVERLAPPED ov = at(offset + static_cast<std::int64_t>(done));
        DWORD got = 0;
        if (!::ReadFile(static_cast<HANDLE>(handle_), p + done, want, &got, &ov)) {
            const DWORD e = ::GetLastError();
            if (e != ERROR_HANDLE_EOF && err)
                *err = fromWin(e);
            break;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

std::size_t File::writeAt(const void* buf, std::size_t n, std::int64_t offset, SysError& err) {
    std::size_t done = 0;
    const char* p = static_cast<const char*>(buf);
    while (done < n) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - done, kChunk));
        OVERLAPPED ov = at(offset + static_cast<std::int64_t>(done));
        DWORD put = 0;
        if (!::WriteFile(static_cast<HANDLE>(handle_), p + done, want, &put, &ov)) {
            err = lastError();
            break;
        }
        if (put == 0) {
            err = fromWin(ERROR_DISK_FULL);
            break;
        }
        done += put;
    }
    return done;
}

SysError File::flush() {
    return ::FlushFileBuffers(static_cast<HANDLE>(handle_)) ? SysError{} : lastError();
}

SysError File::truncate(std::int64_t size) {
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = size;
    return ::SetFileInformationByHandle(static_cast<HANDLE>(handle_), FileEndOfFileInfo, &info,
                                        sizeof info)
               ? SysError{}
               : lastError();
}

bool File::stamp(FileStamp& out) const {
    LARGE_INTEGER size{};
    FILE_BASIC_INFO info{};
    if (!::GetFileSizeEx(static_cast<HANDLE>(handle_), &size) ||
        !::GetFileInformationByHandleEx(static_cast<HANDLE>(handle_), FileBasicInfo, &info,
                                        sizeof info))
        return false;
    out.size = size.QuadPart;
    out.modified = unixNanos(info.LastWriteTime);
    out.changed = unixNanos(info.ChangeTime);
    return true;
}

bool File::tryLock(std::int64_t offset, bool exclusive, std::int64_t length) {
    OVERLAPPED ov = at(offset);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    const auto n = static_cast<std::uint64_t>(length);
    return ::LockFileEx(static_cast<HANDLE>(handle_), flags, 0, static_cast<DWORD>(n & 0xFFFFFFFFu),
                        static_cast<DWORD>(n >> 32), &ov) != 0;
}

void File::unlock(std::int64_t offset, std::int64_t length) {
    OVERLAPPED ov = at(offset);
    const auto n = static_cast<std::uint64_t>(length);
    ::UnlockFileEx(static_cast<HANDLE>(handle_), 0, static_cast<DWORD>(n & 0xFFFFFFFFu),
                   static_cast<DWORD>(n >> 32), &ov);
}

bool fileExists(const std::string& path) {
    return ::GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

SysError removeFile(const std::string& path) {
    if (::DeleteFileW(wide(path).c_str()))
        return {};
    const DWORD e = ::GetLastError();
    return e == ERROR_FILE_NOT_FOUND ? SysError{} : fromWin(e);
}

void syncFolder(const std::string&) {
    // NTFS and SMB make a new file's entry durable with the file's own flush.
}

std::string programPath() {
    std::wstring buf(32768, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, &buf[0], static_cast<DWORD>(buf.size()));
    return narrow(buf.data(), static_cast<int>(n));
}

std::string homeFolder() {
    const wchar_t* home = _wgetenv(L"USERPROFILE");
    return home && *home ? narrow(home, static_cast<int>(wcslen(home))) : std::string();
}

std::string environment(const char* name) {
    const wchar_t* v = _wgetenv(wide(name).c_str());
    return v ? narrow(v, static_cast<int>(wcslen(v))) : std::string();
}

std::vector<std::string> arguments(int argc, char** argv) {
    int n = 0;
    wchar_t** w = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!w || n != argc) {
        // not the command line main() was given (a caller's own argv): taken as it is
        if (w)
            ::LocalFree(w);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out.push_back(narrow(w[i], static_cast<int>(wcslen(w[i]))));
    ::LocalFree(w);
    return out;
}

namespace {
UINT consoleCodePage = 0;
void restoreConsole() {
    ::SetConsoleOutputCP(consoleCodePage);
}
} // namespace

void useUtf8Console() {
    // the console is the user's: its code page is given back when the program ends
    if (consoleCodePage != 0 || ::GetConsoleOutputCP() == CP_UTF8 || !::GetConsoleWindow())
        return;
    consoleCodePage = ::GetConsoleOutputCP();
    if (::SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsole);
    else
        consoleCodePage = 0;
}

std::tm localTime(std::time_t t) {
    std::tm tm{};
    ::localtime_s(&tm, &t);
    return tm;
}

} // namespace vorn::platform
#endif
