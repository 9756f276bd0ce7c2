// vorn-path add|remove DIR: puts DIR on the machine's PATH or takes it off, for the
// installer. The installer's own string functions hold 1024 characters, and a longer PATH,
// common on office machines, would come back cut short; here it is read and written whole.
// Entries are compared without regard to case or a trailing backslash; every other entry,
// and the value's type (REG_EXPAND_SZ keeps %SystemRoot% and the like), is kept as it is.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

std::wstring trimmed(std::wstring s) {
    while (!s.empty() && (s.back() == L'\\' || s.back() == L' '))
        s.pop_back();
    return s;
}

bool same(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(trimmed(a).c_str(), trimmed(b).c_str()) == 0;
}

std::vector<std::wstring> split(const std::wstring& path) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find(L';', start);
        const std::wstring part = path.substr(start, end == std::wstring::npos ? end : end - start);
        if (!part.empty())
            out.push_back(part);
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return out;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || (std::wcscmp(argv[1], L"add") != 0 && std::wcscmp(argv[1], L"remove") != 0)) {
        std::fwprintf(stderr, L"usage: vorn-path add|remove DIR\n");
        return 2;
    }
    const bool add = std::wcscmp(argv[1], L"add") == 0;
    const std::wstring dir = argv[2];

    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return 1;
    DWORD type = REG_EXPAND_SZ, bytes = 0;
    std::wstring value;
    LONG rc = RegQueryValueExW(key, L"Path", nullptr, &type, nullptr, &bytes);
    if (rc == ERROR_SUCCESS && bytes > 0) {
        value.resize(bytes / sizeof(wchar_t) + 1);
        rc = RegQueryValueExW(key, L"Path", nullptr, &type,
                              reinterpret_cast<BYTE*>(&value[0]), &bytes);
        if (rc != ERROR_SUCCESS) {
            RegCloseKey(key);
            return 1; // never write a PATH that was not read whole
        }
        value.resize(wcsnlen(value.c_str(), value.size()));
    } else if (rc != ERROR_FILE_NOT_FOUND && rc != ERROR_SUCCESS) {
        RegCloseKey(key);
        return 1;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        type = REG_EXPAND_SZ;

    std::vector<std::wstring> parts = split(value);
    bool present = false;
    std::vector<std::wstring> kept;
    for (const std::wstring& p : parts) {
        if (same(p, dir))
            present = true;
        else
            kept.push_back(p);
    }
    if (add == present) {
        RegCloseKey(key);
        return 0; // already as asked
    }
    if (add)
        kept.push_back(dir);
    std::wstring out;
    for (const std::wstring& p : kept)
        out += (out.empty() ? L"" : L";") + p;
    rc = RegSetValueExW(key, L"Path", 0, type, reinterpret_cast<const BYTE*>(out.c_str()),
                        static_cast<DWORD>((out.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return 1;
    // consoles opened from now on see the change
    DWORD_PTR result;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000, &result);
    return 0;
}
