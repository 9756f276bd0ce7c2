#include "data/Table.h"

#include "data/CodePage.h"
#include "data/FilterExpr.h"
#include "data/RecordLock.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace vorn {

FieldKind kindOf(char type, int length, int decimals) {
    switch (type) {
    case 'C':
        return length >= 0 ? FieldKind::Text : FieldKind::Unknown;
    case 'N':
    case 'F':
        if (length <= 0)
            return FieldKind::Unknown;
        if (decimals > 0 || length >= 11)
            return FieldKind::Float;
        return length <= 4 ? FieldKind::SmallInt : FieldKind::Int;
    case 'L':
        return length >= 1 ? FieldKind::Logical : FieldKind::Unknown;
    case 'D':
        return length == 8 ? FieldKind::Date : FieldKind::Unknown;
    default:
        return FieldKind::Unknown;
    }
}

FieldFamily familyOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::Text:
        return FieldFamily::Text;
    case FieldKind::SmallInt:
    case FieldKind::Int:
        return FieldFamily::Whole;
    case FieldKind::Float:
        return FieldFamily::Fractional;
    case FieldKind::Logical:
        return FieldFamily::Logical;
    case FieldKind::Date:
        return FieldFamily::Date;
    case FieldKind::Unknown:
        break;
    }
    return FieldFamily::Unknown;
}

const char* kindName(FieldKind kind) {
    switch (kind) {
    case FieldKind::Text:
        return "String";
    case FieldKind::SmallInt:
        return "SmallInt";
    case FieldKind::Int:
        return "Integer";
    case FieldKind::Float:
        return "Float";
    case FieldKind::Logical:
        return "Boolean";
    case FieldKind::Date:
        return "Date";
    case FieldKind::Unknown:
        break;
    }
    return "Unknown";
}

namespace {

const char kMsgClosed[] = "Cannot perform this operation on a closed dataset";
const char kMsgOpen[] = "Cannot perform this operation on an open dataset";
const char kMsgNotEditing[] = "Dataset not in edit or insert mode";
const char kMsgReadOnly[] = "Cannot modify a read-only dataset";
const char kMsgLocked[] = "Record is locked by another user";

constexpr size_t kHeaderSize = 32;
constexpr long kSettledSeconds = 3;
constexpr std::chrono::milliseconds kLocateRecheck{20};

// Writes by any table of this program, so that no table skips a look at its file after one.
std::atomic<unsigned long> ownWrites{0};
constexpr size_t kDescriptorSize = 32;

std::string notFound(const std::string& name) {
    return "Field '" + name + "' not found";
}

// Key under which a field name is looked up: blanks trimmed, case folded.
std::string nameKey(const std::string& name) {
    size_t b = 0, e = name.size();
    while (b < e && name[b] == ' ')
        ++b;
    while (e > b && name[e - 1] == ' ')
        --e;
    bool ascii = true;
    for (size_t i = b; i < e; ++i)
        ascii = ascii && static_cast<unsigned char>(name[i]) < 0x80;
    if (!ascii)
        return foldCase(name.substr(b, e - b));
    std::string k(name, b, e - b);
    for (char& c : k)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return k;
}

// The text between leading and trailing blanks of a field name.
void trimName(const std::string& name, size_t& b, size_t& e) {
    b = 0;
    e = name.size();
    while (b < e && name[b] == ' ')
        ++b;
    while (e > b && name[e - 1] == ' ')
        --e;
}

constexpr std::uint32_t kHashSeed = 2166136261u; // FNV-1a
constexpr std::uint32_t kHashPrime = 16777619u;

unsigned char asciiFold(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Hash of a folded name key.
std::uint32_t hashKey(const char* p, size_t n) {
    std::uint32_t h = kHashSeed;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ static_cast<unsigned char>(p[i])) * kHashPrime;
    return h;
}

// Trims blanks and NULs on the right of a stored field.
size_t trimmedLength(const char* p, size_t n) {
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0'))
        --n;
    return n;
}

// strtod over a copy, with a decimal comma accepted; anything not finite reads as 0.
double slowParse(const char* p, size_t n) {
    std::string s(p, n);
    for (char& ch : s)
        if (ch == ',')
            ch = '.';
    const double v = std::strtod(s.c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
}

// Reads a number the way dBase stores it: blanks around, optional sign, digits, a
// decimal point (a comma is taken as one too). Blank, overflow stars and anything that
// is not a number read as 0: a damaged field must not stop a scan of the table.
double parseNumber(const char* p, size_t n) {
    size_t i = 0;
    while (i < n && (p[i] == ' ' || p[i] == '\0'))
        ++i;
    while (n > i && (p[n - 1] == ' ' || p[n - 1] == '\0'))
        --n;
    if (i == n)
        return 0;
    bool negative = false;
    if (p[i] == '-' || p[i] == '+') {
        negative = p[i] == '-';
        ++i;
    }
    std::uint64_t mantissa = 0;
    int digits = 0, fraction = 0;
    bool point = false, any = false;
    for (; i < n; ++i) {
        const char c = p[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (digits < 18) {
                mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
                if (mantissa != 0)
                    ++digits;
                if (point)
                    ++fraction;
            } else if (!point) {
                return slowParse(p, n); // very long: rare
            }
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else if (c == 'e' || c == 'E') {
            return slowParse(p, n);
        } else {
            return 0;
        }
    }
    if (!any)
        return 0;
    static const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (mantissa >= (std::uint64_t(1) << 53) || fraction > 22)
        return slowParse(p, n);
    // An exact integer divided by an exact power of ten: correctly rounded.
    const double v = static_cast<double>(mantissa) / kPow10[fraction];
    return negative ? -v : v;
}

bool validDate(int y, int m, int d) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    int dim = kDays[m - 1];
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        dim = 29;
    return d <= dim;
}

bool parseDate(const char* p, size_t n, Date& out) {
    if (n != 8)
        return false;
    int v[8];
    for (int i = 0; i < 8; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        v[i] = p[i] - '0';
    }
    out.year = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
    out.month = v[4] * 10 + v[5];
    out.day = v[6] * 10 + v[7];
    return validDate(out.year, out.month, out.day);
}

// Whether the exact binary value of a (finite, >= 0) ends exactly one decimal digit after
// `keep` decimals: then that digit is a 5 with nothing after it, a tie.
bool isExactTie(double a, int keep) {
    if (a == 0)
        return false;
    int exp2 = 0;
    const double f = std::frexp(a, &exp2); // a = f * 2^exp2, f in [0.5, 1)
    auto m = static_cast<std::uint64_t>(std::ldexp(f, 53));
    int e = exp2 - 53; // a = m * 2^e
    while ((m & 1) == 0) {
        m >>= 1;
        ++e;
    }
    // m * 2^e with m odd and e < 0 has exactly -e decimals, the last one a 5.
    return -e == keep + 1;
}

// "%.*f" rounding half away from zero on the exact binary value, as the rest of the
// program rounds (printf alone rounds exact ties to even: 0.125 -> 0.12).
std::string formatFixed(double v, int decimals) {
    const int keep = std::min(std::max(decimals, 0), 60);
    if (std::isfinite(v) && !isExactTie(std::fabs(v), keep)) {
        // Not a tie: correct rounding to nearest is the answer, which to_chars gives
        // without printing a hundred digits.
        char buf[512];
        const auto r =
            std::to_chars(buf + 1, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, keep);
        if (r.ec == std::errc()) {
            char* b = buf + 1;
            bool zero = true;
            for (const char* p = b; p < r.ptr && zero; ++p)
                zero = *p == '0' || *p == '.';
            if (v < 0 && !zero)
                *--b = '-';
            return std::string(b, r.ptr);
        }
    }
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.100f", std::fabs(v));
    std::string s(buf);
    const size_t dot = s.find('.');
    std::string intPart = s.substr(0, dot);
    std::string frac = s.substr(dot + 1);
    const auto keepDigits = static_cast<size_t>(keep);
    // A 5 in the first dropped digit means a tie or more: away from zero either way.
    const bool roundUp = frac[keepDigits] >= '5';
    std::string digits = intPart + frac.substr(0, keepDigits);
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
            } else {
                ++digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
        }
    }
    const size_t intLen = digits.size() - keepDigits;
    std::string out = digits.substr(0, intLen);
    if (keepDigits > 0)
        out += "." + digits.substr(intLen);
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (v < 0 && !zero)
        out.insert(out.begin(), '-');
    return out;
}

struct StoredField {
    std::string name; // UTF-8, as stored
    char type = 'C';
    int length = 0;
    int decimals = 0;
    size_t offset = 0; // within the record, after the deletion flag
    FieldKind kind = FieldKind::Text;
};

// A field as the table object exposes it: a stored field or a calculated one.
struct FieldRef {
    bool calculated = false;
    int index = 0; // into fields or calcDecls
};

// Field name -> field, keyed by nameKey. Values and Locate look a field up on every call,
// so the lookup folds an ASCII name into a stack buffer instead of building a string.
class FieldIndex {
public:
    void clear() {
        entries_.clear();
        slots_.clear();
    }

    // First insertion of a key wins.
    void add(const std::string& name, FieldRef ref) {
        std::string key = nameKey(name);
        if (find(key.data(), key.size(), hashKey(key.data(), key.size()), false))
            return;
        entries_.push_back({std::move(key), ref});
        if (slots_.size() < entries_.size() * 2) {
            size_t n = 16;
            while (n < entries_.size() * 2)
                n *= 2;
            slots_.assign(n, -1);
            for (size_t i = 0; i < entries_.size(); ++i)
                place(static_cast<int>(i));
        } else {
            place(static_cast<int>(entries_.size() - 1));
        }
    }

    const FieldRef* find(const std::string& name) const {
        size_t b = 0, e = 0;
        trimName(name, b, e);
        const char* p = name.data() + b;
        const size_t n = e - b;
        // ASCII names, the usual case: hashed and compared with the letter case folded,
        // straight from the caller's text.
        std::uint32_t h = kHashSeed;
        unsigned char high = 0;
        for (size_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(p[i]);
            high |= c;
            h = (h ^ asciiFold(c)) * kHashPrime;
        }
        if (high < 0x80)
            return find(p, n, h, true);
        const std::string key = nameKey(name); // Cyrillic: rare
        return find(key.data(), key.size(), hashKey(key.data(), key.size()), false);
    }

private:
    struct Entry {
        std::string key;
        FieldRef ref;
    };

    // key: folded already, or ASCII to fold while comparing.
    const FieldRef* find(const char* key, size_t n, std::uint32_t hash, bool foldAscii) const {
        if (slots_.empty())
            return nullptr;
        const size_t mask = slots_.size() - 1;
        for (size_t s = hash & mask;; s = (s + 1) & mask) {
            const int i = slots_[s];
            if (i < 0)
                return nullptr;
            const Entry& en = entries_[static_cast<size_t>(i)];
            if (en.key.size() == n && (foldAscii ? sameFolded(en.key.data(), key, n)
                                                 : std::memcmp(en.key.data(), key, n) == 0))
                return &en.ref;
        }
    }

    static bool sameFolded(const char* folded, const char* ascii, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (folded[i] != static_cast<char>(asciiFold(static_cast<unsigned char>(ascii[i]))))
                return false;
        return true;
    }

    void place(int i) {
        const std::string& k = entries_[static_cast<size_t>(i)].key;
        const size_t mask = slots_.size() - 1;
        size_t s = hashKey(k.data(), k.size()) & mask;
        while (slots_[s] >= 0)
            s = (s + 1) & mask;
        slots_[s] = i;
    }

    std::vector<Entry> entries_;
    std::vector<int> slots_; // open addressing, at most half full; -1 is empty
};

struct CompiledComparison {
    int field = 0;
    FilterExpr::Op op = FilterExpr::Op::Eq;
    bool isText = false;
    double number = 0;
    std::string text;
};

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The system's reason in the user's language for the cases people meet; the C library
// would say it in English.
std::string reasonText(int err) {
    switch (err) {
    case ENOENT:
        return "файл не найден";
    case EACCES:
    case EPERM:
        return "нет доступа";
    case EISDIR:
        return "это папка, а не файл";
    case EROFS:
        return "файловая система только для чтения";
    case ENOSPC:
        return "нет места на диске";
    case ENOTDIR:
        return "в пути нет такой папки";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    default:
        return std::strerror(err);
    }
}

std::string sysError(const std::string& path, int err) {
    return "Не удаётся открыть файл " + path + ": " + reasonText(err);
}

bool readFully(int fd, char* buf, size_t n, off_t offset, size_t* got) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            *got = done;
            return false;
        }
        if (r == 0)
            break;
        done += static_cast<size_t>(r);
    }
    *got = done;
    return done == n;
}

void writeFully(int fd, const char* buf, size_t n, off_t offset, const std::string& path) {
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(fd, buf + done, n - done, offset + static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            throw DbfError("Ошибка записи в файл " + path + ": " + reasonText(errno));
        }
        done += static_cast<size_t>(r);
    }
}

} // namespace

struct Table::Impl {
    Table* self = nullptr;
    std::string objectName, databaseName, tableName;
    bool readOnly = false;
    std::vector<FieldDecl> declared;
    std::vector<FieldDecl> calcDecls;

    State state = State::Closed;
    int fd = -1;
    std::string path; // the file actually opened

    // File layout, read at open.
    size_t headerLength = 0;
    size_t recordLength = 0;
    std::vector<StoredField> fields;

    // Exposed fields: index order = file order of exposed stored fields, then calculated.
    std::vector<FieldRef> exposed;
    FieldIndex byName;

    // Cache of the whole data region: records [0, count), each recordLength bytes.
    std::vector<char> cache;
    long count = 0;

    // Numbers of small tables parsed once per record and field (reference tables are
    // scanned several times per recalculation). Forgotten whenever cached bytes change.
    mutable std::vector<double> numbers;
    mutable std::vector<unsigned char> numberKnown;
    // What fstat said when the cache was last made to match the file. When those times
    // are too close to the clock, a later write could leave them unchanged (timestamps
    // are coarse), so the next look reads the file again whatever fstat says.
    off_t cachedSize = -1;
    struct timespec cachedMtime {};
    struct timespec cachedCtime {};
    bool cacheRacy = true;
    std::chrono::steady_clock::time_point lastLook{};
    unsigned long lastLookWrites = 0;

    long cursor = -1; // physical index of the current record, -1 when none
    bool atEof = true, atBof = true;

    // Edit / insert buffer.
    std::vector<char> editBuf;
    bool isModified = false;
    bool lockHeld = false;
    long lockedRec = -1;
    long cursorBeforeInsert = -1;

    std::vector<Value> calcValues;
    bool inCalc = false;

    std::string filterText;
    bool filtered = false;
    std::vector<CompiledComparison> compiledFilter;
    std::string locateKey;

    std::map<int, std::function<void()>> observers;
    int nextObserverId = 1;

    // ---- helpers ----
    void checkOpen() const {
        if (state == State::Closed)
            throw DbfError(kMsgClosed);
    }
    void checkClosed() const {
        if (state != State::Closed)
            throw DbfError(kMsgOpen);
    }

    const char* record(long i) const {
        return cache.data() + static_cast<size_t>(i) * recordLength;
    }
    const char* current() const {
        if (state == State::Edit || state == State::Insert)
            return editBuf.data();
        if (cursor >= 0 && cursor < count)
            return record(cursor);
        return nullptr;
    }

    bool passesFilter(const char* rec) const {
        for (const CompiledComparison& c : compiledFilter) {
            const StoredField& f = fields[static_cast<size_t>(c.field)];
            const char* p = rec + 1 + f.offset;
            const auto len = static_cast<size_t>(f.length);
            int cmp;
            if (c.isText) {
                thread_local std::string text;
                text.clear();
                CodePage::appendUtf8(text, p, trimmedLength(p, len));
                cmp = text.compare(c.text);
            } else {
                const double v = parseNumber(p, len);
                cmp = v < c.number ? -1 : (v > c.number ? 1 : 0);
            }
            const bool ok = c.op == FilterExpr::Op::Eq   ? cmp == 0
                            : c.op == FilterExpr::Op::Ge ? cmp >= 0
                                                         : cmp <= 0;
            if (!ok)
                return false;
        }
        return true;
    }

    bool visible(long i) const {
        const char* rec = record(i);
        if (rec[0] == '*')
            return false;
        return !filtered || passesFilter(rec);
    }

    void notify() {
        if (observers.empty())
            return;
        std::vector<std::function<void()>> calls;
        calls.reserve(observers.size());
        for (auto& o : observers)
            calls.push_back(o.second);
        for (auto& c : calls)
            c();
    }

    void runCalc() {
        if (calcDecls.empty() && !self->onCalcFields)
            return;
        if (inCalc)
            return;
        for (Value& v : calcValues)
            v = Value();
        if (!self->onCalcFields)
            return;
        inCalc = true;
        try {
            self->onCalcFields(*self);
        } catch (...) {
            inCalc = false;
            throw;
        }
        inCalc = false;
    }

    // The cursor has landed on a record (or on none): compute and tell the views.
    void recordChanged() {
        runCalc();
        notify();
    }

    // ---- file access ----
    void openFile() {
        path = self->filePath();
        const int flags = (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
        fd = ::open(path.c_str(), flags);
        if (fd < 0 && errno == ENOENT) {
            // Tables copied from Windows come in any letter case.
            const int err = errno;
            const std::string alt = caseInsensitiveMatch(path);
            if (!alt.empty()) {
                fd = ::open(alt.c_str(), flags);
                if (fd >= 0)
                    path = alt;
            }
            if (fd < 0 && alt.empty())
                errno = err;
        }
        if (fd < 0)
            throw DbfError(sysError(path, errno));
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            closeFd();
            throw DbfError(sysError(path, err));
        }
    }

    static std::string caseInsensitiveMatch(const std::string& p) {
        const size_t slash = p.rfind('/');
        const std::string dir = slash == std::string::npos ? "." : p.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
        DIR* d = ::opendir(dir.c_str());
        if (!d)
            return {};
        std::string found;
        const std::string key = foldCase(name);
        while (struct dirent* e = ::readdir(d)) {
            if (foldCase(e->d_name) == key) {
                found = (slash == std::string::npos ? std::string() : dir) + e->d_name;
                break;
            }
        }
        ::closedir(d);
        return found;
    }

    void closeFd() {
        if (fd >= 0)
            ::close(fd); // also drops every lock this descriptor holds
        fd = -1;
    }

    [[noreturn]] void notATable(const std::string& why) {
        const std::string p = path;
        closeFd();
        throw DbfError("Файл " + p + " не является таблицей dBase: " + why);
    }

    // Reads and checks the header and the field descriptors. Nothing is written.
    void readStructure() {
        struct stat st {};
        fstat(fd, &st);
        const auto size = static_cast<size_t>(st.st_size);
        unsigned char h[kHeaderSize];
        size_t got = 0;
        if (size < kHeaderSize || !readFully(fd, reinterpret_cast<char*>(h), kHeaderSize, 0, &got))
            notATable("файл короче заголовка");
        const unsigned version = h[0];
        if (version == 0x04 || version == 0x8C) // dBase 7: another descriptor layout
            notATable("формат dBase 7 не поддерживается");
        headerLength = h[8] | (h[9] << 8);
        recordLength = h[10] | (h[11] << 8);
        if (headerLength < kHeaderSize + 1)
            notATable("неверная длина заголовка");
        if (recordLength == 0)
            notATable("нулевая длина записи");
        const size_t descEnd = std::min(headerLength, size);
        std::vector<unsigned char> desc(descEnd > kHeaderSize ? descEnd - kHeaderSize : 0);
        if (!desc.empty() &&
            !readFully(fd, reinterpret_cast<char*>(desc.data()), desc.size(), kHeaderSize, &got))
            notATable("не удалось прочитать описания полей");
        fields.clear();
        size_t pos = 0;
        size_t total = 1;
        // Descriptors end at the 0x0D terminator or at the header length, whichever
        // comes first.
        while (pos < desc.size() && desc[pos] != 0x0D) {
            if (pos + kDescriptorSize > desc.size()) {
                // Room for the terminator only (it is missing): the descriptors end here.
                // More than that is a descriptor the header length cuts.
                if (desc.size() - pos == 1 || desc[pos] == 0)
                    break;
                notATable("описание поля обрезано");
            }
            const unsigned char* d = desc.data() + pos;
            StoredField f;
            size_t nameLen = 0;
            while (nameLen < 11 && d[nameLen] != 0)
                ++nameLen;
            std::string raw(reinterpret_cast<const char*>(d), nameLen);
            while (!raw.empty() && raw.back() == ' ')
                raw.pop_back();
            f.name = cp866ToUtf8(raw);
            f.type = static_cast<char>(std::toupper(d[11]));
            f.length = d[16];
            f.decimals = d[17];
            if (f.type == 'C') // long text fields keep the high byte of the length here
                f.decimals = 0;
            f.offset = total - 1;
            f.kind = kindOf(f.type, f.length, f.decimals);
            total += static_cast<size_t>(d[16]);
            fields.push_back(f);
            pos += kDescriptorSize;
        }
        if (fields.empty())
            notATable("нет ни одного поля");
        if (total > recordLength) {
            // Some writers keep the length of a long text field in two bytes.
            size_t wide = 1;
            for (size_t i = 0; i < fields.size(); ++i) {
                const unsigned char* d = desc.data() + i * kDescriptorSize;
                wide += fields[i].type == 'C' ? static_cast<size_t>(d[16] | (d[17] << 8)) : d[16];
            }
            if (wide != recordLength)
                notATable("длина записи меньше суммы длин полей");
            size_t off = 0;
            for (size_t i = 0; i < fields.size(); ++i) {
                const unsigned char* d = desc.data() + i * kDescriptorSize;
                if (fields[i].type == 'C')
                    fields[i].length = d[16] | (d[17] << 8);
                fields[i].offset = off;
                off += static_cast<size_t>(fields[i].length);
            }
        }
        std::unordered_set<std::string> seen;
        for (const StoredField& f : fields)
            if (!seen.insert(nameKey(f.name)).second)
                notATable("поле " + f.name + " описано дважды");
    }

    // Re-reads the header record count and the whole data region. Other processes may
    // have appended or deleted records since the last look.
    void reload() {
        struct stat st {};
        if (fstat(fd, &st) != 0)
            return;
        unsigned char h[8];
        size_t got = 0;
        readFully(fd, reinterpret_cast<char*>(h), sizeof h, 0, &got);
        std::uint32_t headerCount = 0;
        if (got == sizeof h)
            headerCount = h[4] | (h[5] << 8) | (h[6] << 16) | (std::uint32_t(h[7] & 0x7F) << 24);
        const auto size = static_cast<size_t>(st.st_size);
        // A count larger than the file holds (a truncated copy): read the whole records
        // that are there, never a partial one.
        const size_t sound = size > headerLength ? (size - headerLength) / recordLength : 0;
        auto n = static_cast<long>(std::min<size_t>(headerCount, sound));
        cache.resize(static_cast<size_t>(n) * recordLength);
        if (n > 0) {
            readFully(fd, cache.data(), cache.size(), static_cast<off_t>(headerLength), &got);
            n = static_cast<long>(got / recordLength);
            cache.resize(static_cast<size_t>(n) * recordLength);
        }
        count = n;
        forgetNumbers();
        adoptStat(st);
        if (cursor >= count)
            cursor = count - 1;
    }

    // Remembers the file's size and times as matching the cache. Call after the read.
    void adoptStat(const struct stat& st) {
        cachedSize = st.st_size;
        cachedMtime = st.st_mtim;
        cachedCtime = st.st_ctim;
        // Two seconds covers the coarsest timestamps (FAT) and the kernel's clock tick; a
        // file's time in the future (another machine's clock) never counts as settled.
        struct timespec now {};
        clock_gettime(CLOCK_REALTIME, &now);
        const auto settled = [&now](const struct timespec& t) {
            return now.tv_sec - t.tv_sec >= kSettledSeconds;
        };
        // Every write sets both times; a settled mtime is enough to tell the next one.
        cacheRacy = !settled(st.st_mtim);
    }

    bool fileChanged() const {
        if (cacheRacy)
            return true;
        struct stat st {};
        if (fstat(fd, &st) != 0)
            return false;
        return st.st_size != cachedSize || !sameTime(st.st_mtim, cachedMtime) ||
               !sameTime(st.st_ctim, cachedCtime);
    }

    void refreshIfChanged() {
        if (fileChanged())
            reload();
        lastLook = std::chrono::steady_clock::now();
        lastLookWrites = ownWrites.load(std::memory_order_relaxed);
    }

    // Locate, run many times in a row by a recalculation, looks at the file again only
    // when this program wrote to some table since, or when the last look is older than a
    // moment: a change by another program within that moment shows at the next first().
    void refreshBeforeLocate() {
        if (ownWrites.load(std::memory_order_relaxed) != lastLookWrites ||
            std::chrono::steady_clock::now() - lastLook >= kLocateRecheck)
            refreshIfChanged();
    }

    void bindFields() {
        exposed.clear();
        byName.clear();
        std::unordered_map<std::string, int> fileIndex;
        for (size_t i = 0; i < fields.size(); ++i)
            fileIndex.emplace(nameKey(fields[i].name), static_cast<int>(i));
        if (declared.empty()) {
            for (size_t i = 0; i < fields.size(); ++i)
                exposed.push_back({false, static_cast<int>(i)});
        } else {
            std::vector<bool> used(fields.size(), false);
            for (const FieldDecl& decl : declared) {
                auto it = fileIndex.find(nameKey(decl.name));
                if (it == fileIndex.end())
                    throw DbfError(notFound(decl.name));
                const StoredField& f = fields[static_cast<size_t>(it->second)];
                if (familyOf(f.kind) != familyOf(decl.kind))
                    throw DbfError("Type mismatch for field '" + decl.name + "', expecting: " +
                                   kindName(decl.kind) + " actual: " + kindName(f.kind));
                used[static_cast<size_t>(it->second)] = true;
            }
            // Undeclared fields stay in the file untouched and out of reach.
            for (size_t i = 0; i < fields.size(); ++i)
                if (used[i])
                    exposed.push_back({false, static_cast<int>(i)});
        }
        for (size_t i = 0; i < calcDecls.size(); ++i)
            exposed.push_back({true, static_cast<int>(i)});
        for (const FieldRef& r : exposed) {
            const std::string& n = r.calculated ? calcDecls[static_cast<size_t>(r.index)].name
                                                : fields[static_cast<size_t>(r.index)].name;
            byName.add(n, r);
        }
        calcValues.assign(calcDecls.size(), Value());
    }

    FieldRef lookup(const std::string& name) const {
        const FieldRef* r = byName.find(name);
        if (!r)
            throw DbfError(notFound(name));
        return *r;
    }

    void compileFilter() {
        compiledFilter.clear();
        const FilterExpr expr = FilterExpr::parse(filterText);
        std::vector<CompiledComparison> out;
        for (const FilterExpr::Comparison& c : expr.comparisons()) {
            const FieldRef* r = byName.find(c.field);
            if (!r || r->calculated)
                throw DbfError(notFound(c.field));
            const StoredField& f = fields[static_cast<size_t>(r->index)];
            const FieldFamily fam = familyOf(f.kind);
            const bool numeric = fam == FieldFamily::Whole || fam == FieldFamily::Fractional;
            if (c.isText ? fam != FieldFamily::Text : !numeric)
                throw DbfError("Type mismatch in filter expression for field '" + c.field + "'");
            out.push_back({r->index, c.op, c.isText, c.number, c.text});
        }
        compiledFilter = std::move(out);
    }

    // ---- cursor ----
    void setCursor(long i) {
        cursor = i;
        atEof = atBof = false;
        if (i < 0)
            atEof = atBof = true;
    }

    long firstVisible(long from) const {
        for (long i = std::max(0L, from); i < count; ++i)
            if (visible(i))
                return i;
        return -1;
    }
    long lastVisible(long from) const {
        for (long i = std::min(from, count - 1); i >= 0; --i)
            if (visible(i))
                return i;
        return -1;
    }

    void goFirst() {
        setCursor(firstVisible(0));
        recordChanged();
    }

    // Ends an edit the way every cursor move does: posts a change, cancels otherwise.
    void endEdit() {
        if (state == State::Edit || state == State::Insert) {
            if (isModified)
                self->post();
            else
                self->cancel();
        }
    }

    void releaseLock() {
        if (lockHeld && fd >= 0)
            RecordLock::unlock(fd, RecordLock::recordOffset(lockedRec + 1));
        lockHeld = false;
        lockedRec = -1;
    }

    void forgetNumbers() {
        numberKnown.clear();
        numbers.clear();
    }

    // The number in stored field fi of the current record.
    double storedNumber(size_t fi) const {
        const StoredField& f = fields[fi];
        const auto len = static_cast<size_t>(f.length);
        constexpr size_t kMaxSlots = size_t(1) << 16;
        const size_t slots = static_cast<size_t>(count) * fields.size();
        if (state != State::Browse || cursor < 0 || cursor >= count || slots > kMaxSlots) {
            const char* rec = current();
            if (!rec)
                rec = blankRecord();
            return parseNumber(rec + 1 + f.offset, len);
        }
        if (numberKnown.size() != slots) {
            numberKnown.assign(slots, 0);
            numbers.assign(slots, 0);
        }
        const size_t slot = static_cast<size_t>(cursor) * fields.size() + fi;
        if (!numberKnown[slot]) {
            numbers[slot] = parseNumber(record(cursor) + 1 + f.offset, len);
            numberKnown[slot] = 1;
        }
        return numbers[slot];
    }

    void writeRecordAt(long i, const char* data) {
        forgetNumbers();
        writeFully(fd, data, recordLength,
                   static_cast<off_t>(headerLength + static_cast<size_t>(i) * recordLength), path);
        if (i < count)
            std::memcpy(cache.data() + static_cast<size_t>(i) * recordLength, data, recordLength);
    }

    void touchHeaderDate() {
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        const char d[3] = {static_cast<char>(tm.tm_year % 256), static_cast<char>(tm.tm_mon + 1),
                           static_cast<char>(tm.tm_mday)};
        writeFully(fd, d, 3, 1, path);
    }

    void noteOwnWrite() {
        ownWrites.fetch_add(1, std::memory_order_relaxed);
        struct stat st {};
        if (fstat(fd, &st) == 0)
            adoptStat(st);
        else
            cacheRacy = true;
    }

    // ---- values ----
    Value readStored(const StoredField& f, const char* rec) const {
        if (!rec)
            rec = blankRecord();
        const char* p = rec + 1 + f.offset;
        const auto len = static_cast<size_t>(f.length);
        switch (f.kind) {
        case FieldKind::SmallInt:
        case FieldKind::Int:
        case FieldKind::Float:
            return Value(parseNumber(p, len));
        case FieldKind::Logical: {
            const char c = len ? p[0] : ' ';
            return Value(c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == 'J' || c == 'j');
        }
        case FieldKind::Date: {
            Date d;
            if (parseDate(p, len, d))
                return Value(d);
            return Value();
        }
        case FieldKind::Text:
        case FieldKind::Unknown:
            break;
        }
        const size_t n = trimmedLength(p, len);
        if (n == 0)
            return Value();
        std::string s;
        CodePage::appendUtf8(s, p, n);
        return Value(std::move(s));
    }

    const char* blankRecord() const {
        thread_local std::vector<char> blank;
        if (blank.size() < recordLength + 1)
            blank.assign(recordLength + 1, ' ');
        return blank.data();
    }

    // Formats v for field f into out (exactly f.length bytes). Throws when it cannot.
    void encode(const StoredField& f, const Value& v, std::string& out) const {
        const auto len = static_cast<size_t>(f.length);
        out.assign(len, ' ');
        switch (f.kind) {
        case FieldKind::Text: {
            if (v.isNull())
                return;
            const std::string bytes = utf8ToCp866(v.toString());
            out.replace(0, std::min(len, bytes.size()), bytes, 0, std::min(len, bytes.size()));
            return;
        }
        case FieldKind::SmallInt:
        case FieldKind::Int:
        case FieldKind::Float: {
            if (v.isNull())
                return;
            double d;
            if (v.isText()) {
                const std::string t = v.toString();
                d = parseNumber(t.data(), t.size());
            } else {
                d = v.toDouble();
            }
            if (!std::isfinite(d))
                throw DbfError("Invalid value for field '" + f.name + "'");
            const std::string s = formatFixed(d, f.decimals);
            if (s.size() > len)
                throw DbfError("Value " + s + " does not fit field '" + f.name + "' (width " +
                               std::to_string(f.length) + ")");
            out.replace(len - s.size(), s.size(), s);
            return;
        }
        case FieldKind::Logical: {
            bool b = false;
            if (v.isText()) {
                const std::string t = v.toString();
                b = !t.empty() && std::strchr("TtYyJj", t[0]) != nullptr;
            } else {
                b = v.toBool();
            }
            out[0] = b ? 'T' : 'F';
            return;
        }
        case FieldKind::Date: {
            if (v.isNull())
                return;
            Date d{};
            if (v.isDate()) {
                d = v.toDate();
            } else if (v.isText()) {
                std::string t = v.toString();
                t.erase(std::remove(t.begin(), t.end(), '-'), t.end());
                if (t.empty())
                    return;
                if (!parseDate(t.data(), t.size(), d))
                    throw DbfError("Invalid date for field '" + f.name + "'");
            } else {
                throw DbfError("Invalid date for field '" + f.name + "'");
            }
            if (!validDate(d.year, d.month, d.day) || d.year > 9999)
                throw DbfError("Invalid date for field '" + f.name + "'");
            char buf[32]; // room for any int, though the date is checked above
            std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
            out.assign(buf, 8);
            return;
        }
        case FieldKind::Unknown:
            break;
        }
        throw DbfError("Field '" + f.name + "' is of a type that cannot be written");
    }

    // Whether the record's field equals the Locate value.
    bool fieldEquals(const StoredField& f, const char* rec, const Value& v,
                     const std::string& textKey, double number, bool caseInsensitive) const {
        const char* p = rec + 1 + f.offset;
        const auto len = static_cast<size_t>(f.length);
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::Unknown: {
            const size_t n = trimmedLength(p, len);
            if (n != textKey.size())
                return false;
            if (!caseInsensitive)
                return std::memcmp(p, textKey.data(), n) == 0;
            const unsigned char* fold = CodePage::foldTable();
            for (size_t i = 0; i < n; ++i)
                if (fold[static_cast<unsigned char>(p[i])] !=
                    static_cast<unsigned char>(textKey[i]))
                    return false;
            return true;
        }
        case FieldKind::SmallInt:
        case FieldKind::Int:
        case FieldKind::Float: {
            const double d = parseNumber(p, len);
            return std::fabs(d - number) <= 1e-9 * std::max(1.0, std::fabs(number));
        }
        default:
            return readStored(f, rec) == v;
        }
    }
};

Table::Table(std::string objectName) : d(std::make_unique<Impl>()) {
    d->self = this;
    d->objectName = std::move(objectName);
}

Table::~Table() {
    d->releaseLock();
    d->closeFd();
}

const std::string& Table::objectName() const {
    return d->objectName;
}

void Table::setDatabaseName(const std::string& dir) {
    d->checkClosed();
    d->databaseName = dir;
}
void Table::setTableName(const std::string& name) {
    d->checkClosed();
    d->tableName = name;
}
const std::string& Table::databaseName() const {
    return d->databaseName;
}
const std::string& Table::tableName() const {
    return d->tableName;
}

std::string Table::filePath() const {
    if (d->databaseName.empty() || (!d->tableName.empty() && d->tableName[0] == '/'))
        return d->tableName;
    if (d->databaseName.back() == '/')
        return d->databaseName + d->tableName;
    return d->databaseName + "/" + d->tableName;
}

void Table::setReadOnly(bool readOnly) {
    d->checkClosed();
    d->readOnly = readOnly;
}
bool Table::readOnly() const {
    return d->readOnly;
}

void Table::setDeclaredFields(std::vector<FieldDecl> fields) {
    d->checkClosed();
    d->declared = std::move(fields);
}

void Table::addCalculatedField(const std::string& name, FieldKind kind) {
    d->checkClosed();
    d->calcDecls.push_back({name, kind});
}

void Table::open() {
    if (d->state != State::Closed)
        return;
    d->openFile();
    try {
        d->readStructure();
        d->bindFields();
        d->reload();
        if (d->filtered)
            d->compileFilter();
    } catch (...) {
        d->closeFd();
        throw;
    }
    d->state = State::Browse;
    d->isModified = false;
    d->goFirst();
    if (afterOpen)
        afterOpen(*this); // a failure here leaves the table open
}

void Table::close() {
    if (d->state == State::Closed)
        return;
    if (beforeClose)
        beforeClose(*this);
    // A change not posted is dropped: nothing of the edit buffer reaches the file.
    d->releaseLock();
    d->closeFd();
    d->state = State::Closed;
    d->cache.clear();
    d->cache.shrink_to_fit();
    d->forgetNumbers();
    d->count = 0;
    d->cursor = -1;
    d->atEof = d->atBof = true;
    d->isModified = false;
    d->compiledFilter.clear();
    d->calcValues.clear();
    d->notify();
}

bool Table::isOpen() const {
    return d->state != State::Closed;
}
Table::State Table::state() const {
    return d->state;
}

void Table::first() {
    d->checkOpen();
    d->endEdit();
    // Picks up what other processes appended or deleted; an unchanged file is not re-read.
    d->refreshIfChanged();
    d->goFirst();
}

void Table::next() {
    d->checkOpen();
    d->endEdit();
    long i = d->firstVisible(d->cursor + 1);
    if (i < 0 && d->cursor >= 0 && d->fileChanged()) {
        // Records appended by another process since the last look.
        d->reload();
        i = d->firstVisible(d->cursor + 1);
    }
    if (i < 0) {
        d->atEof = true; // stays on the last record, as dBase does
        if (d->cursor < 0)
            d->atBof = true;
        return;
    }
    d->setCursor(i);
    d->recordChanged();
}

void Table::prior() {
    d->checkOpen();
    d->endEdit();
    const long i = d->cursor < 0 ? -1 : d->lastVisible(d->cursor - 1);
    if (i < 0) {
        d->atBof = true;
        if (d->cursor < 0)
            d->atEof = true;
        return;
    }
    d->setCursor(i);
    d->recordChanged();
}

void Table::last() {
    d->checkOpen();
    d->endEdit();
    d->refreshIfChanged();
    d->setCursor(d->lastVisible(d->count - 1));
    d->recordChanged();
}

bool Table::eof() const {
    return d->state == State::Closed || d->atEof;
}
bool Table::bof() const {
    return d->state == State::Closed || d->atBof;
}

Value Table::value(const std::string& field) const {
    d->checkOpen();
    const FieldRef r = d->lookup(field);
    if (r.calculated)
        return d->calcValues[static_cast<size_t>(r.index)];
    const auto fi = static_cast<size_t>(r.index);
    switch (d->fields[fi].kind) {
    case FieldKind::SmallInt:
    case FieldKind::Int:
    case FieldKind::Float:
        return Value(d->storedNumber(fi));
    default:
        return d->readStored(d->fields[fi], d->current());
    }
}

void Table::setValue(const std::string& field, const Value& v) {
    d->checkOpen();
    const FieldRef r = d->lookup(field);
    if (r.calculated) {
        if (!d->inCalc)
            throw DbfError("Field '" + field + "' cannot be modified");
        Value stored = v;
        const FieldKind k = d->calcDecls[static_cast<size_t>(r.index)].kind;
        if (!v.isNull() && (familyOf(k) == FieldFamily::Whole || k == FieldKind::Float))
            stored = Value(v.toDouble());
        d->calcValues[static_cast<size_t>(r.index)] = stored;
        return;
    }
    if (d->state != State::Edit && d->state != State::Insert)
        throw DbfError(kMsgNotEditing);
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    std::string bytes;
    d->encode(f, v, bytes); // throws before anything changes
    char* dst = d->editBuf.data() + 1 + f.offset;
    if (std::memcmp(dst, bytes.data(), bytes.size()) != 0) {
        std::memcpy(dst, bytes.data(), bytes.size());
        d->isModified = true;
    }
    d->recordChanged();
}

void Table::edit() {
    d->checkOpen();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (d->readOnly)
        throw DbfError(kMsgReadOnly);
    if (d->cursor < 0 || d->count == 0) {
        append(); // nothing to edit in an empty table: start a new record
        return;
    }
    const long i = d->cursor;
    if (!RecordLock::tryLock(d->fd, RecordLock::recordOffset(i + 1)))
        throw DbfError(kMsgLocked);
    d->lockHeld = true;
    d->lockedRec = i;
    // Edit what the file holds now, not what we read earlier.
    std::vector<char> fresh(d->recordLength);
    size_t got = 0;
    if (readFully(d->fd, fresh.data(), fresh.size(),
                  static_cast<off_t>(d->headerLength + static_cast<size_t>(i) * d->recordLength),
                  &got)) {
        d->forgetNumbers();
        std::memcpy(d->cache.data() + static_cast<size_t>(i) * d->recordLength, fresh.data(),
                    fresh.size());
        if (fresh[0] == '*') {
            d->releaseLock();
            throw DbfError("Record/Key deleted.");
        }
    }
    d->editBuf.assign(d->record(i), d->record(i) + d->recordLength);
    d->isModified = false;
    d->state = State::Edit;
    d->recordChanged();
}

void Table::post() {
    d->checkOpen();
    if (d->state == State::Edit) {
        if (d->isModified) {
            d->writeRecordAt(d->cursor, d->editBuf.data());
            d->touchHeaderDate();
            d->noteOwnWrite();
        }
        d->releaseLock();
        d->state = State::Browse;
        d->isModified = false;
        d->recordChanged();
        return;
    }
    if (d->state != State::Insert)
        return;
    // Append under the header lock: recount, write the record over the old end-of-file
    // mark, then a new mark, then the count.
    if (!RecordLock::lockWithin(d->fd, RecordLock::headerOffset(), 2000))
        throw DbfError(kMsgLocked);
    try {
        d->reload();
        struct stat st {};
        fstat(d->fd, &st);
        if (static_cast<size_t>(st.st_size) < d->headerLength)
            throw DbfError("Файл " + d->path + " повреждён: заголовок длиннее файла");
        const long i = d->count;
        const off_t end =
            static_cast<off_t>(d->headerLength + static_cast<size_t>(i + 1) * d->recordLength);
        d->editBuf[0] = ' ';
        writeFully(d->fd, d->editBuf.data(), d->recordLength,
                   end - static_cast<off_t>(d->recordLength), d->path);
        const char eofMark = 0x1A;
        writeFully(d->fd, &eofMark, 1, end, d->path);
        const auto n = static_cast<std::uint32_t>(i + 1);
        const char cnt[4] = {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                             static_cast<char>((n >> 16) & 0xFF),
                             static_cast<char>((n >> 24) & 0xFF)};
        writeFully(d->fd, cnt, 4, 4, d->path);
        d->touchHeaderDate();
        d->forgetNumbers();
        d->cache.insert(d->cache.end(), d->editBuf.begin(), d->editBuf.end());
        d->count = i + 1;
        d->noteOwnWrite();
        d->setCursor(i);
    } catch (...) {
        RecordLock::unlock(d->fd, RecordLock::headerOffset());
        throw;
    }
    RecordLock::unlock(d->fd, RecordLock::headerOffset());
    d->state = State::Browse;
    d->isModified = false;
    d->recordChanged();
}

void Table::cancel() {
    d->checkOpen();
    if (d->state == State::Edit) {
        d->releaseLock();
    } else if (d->state == State::Insert) {
        d->setCursor(d->cursorBeforeInsert);
        if (d->cursor >= d->count)
            d->setCursor(d->lastVisible(d->count - 1));
    } else {
        return;
    }
    d->state = State::Browse;
    d->isModified = false;
    d->recordChanged();
}

void Table::append() {
    d->checkOpen();
    if (d->readOnly)
        throw DbfError(kMsgReadOnly);
    d->endEdit();
    d->cursorBeforeInsert = d->cursor;
    d->editBuf.assign(d->recordLength, ' ');
    d->isModified = false;
    d->state = State::Insert;
    d->atEof = d->atBof = false;
    d->recordChanged();
}

void Table::deleteRecord() {
    d->checkOpen();
    if (d->readOnly)
        throw DbfError(kMsgReadOnly);
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    const bool editing = d->state == State::Edit;
    if (d->cursor < 0)
        throw DbfError("Cannot delete: the table is empty");
    const long i = d->cursor;
    if (!editing && !RecordLock::tryLock(d->fd, RecordLock::recordOffset(i + 1)))
        throw DbfError(kMsgLocked);
    if (!editing) {
        d->lockHeld = true;
        d->lockedRec = i;
    }
    try {
        const char flag = '*';
        writeFully(d->fd, &flag, 1,
                   static_cast<off_t>(d->headerLength + static_cast<size_t>(i) * d->recordLength),
                   d->path);
        d->cache[static_cast<size_t>(i) * d->recordLength] = '*';
        d->noteOwnWrite();
    } catch (...) {
        if (!editing)
            d->releaseLock();
        throw;
    }
    d->releaseLock();
    d->state = State::Browse;
    d->isModified = false;
    long j = d->firstVisible(i + 1);
    if (j < 0)
        j = d->lastVisible(i - 1);
    d->setCursor(j);
    d->recordChanged();
}

bool Table::locate(const std::string& field, const Value& v, bool caseInsensitive) {
    d->checkOpen();
    const FieldRef r = d->lookup(field);
    d->endEdit();
    d->refreshBeforeLocate();
    if (r.calculated) {
        // Calculated values exist only for the record in the cursor: walk it.
        const long saved = d->cursor;
        const bool savedEof = d->atEof, savedBof = d->atBof;
        const std::string key = caseInsensitive ? foldCase(v.toString()) : v.toString();
        for (long i = d->firstVisible(0); i >= 0; i = d->firstVisible(i + 1)) {
            d->setCursor(i);
            d->runCalc();
            const Value got = d->calcValues[static_cast<size_t>(r.index)];
            const bool eq = got.isText() && v.isText() ? (caseInsensitive ? foldCase(got.toString())
                                                                          : got.toString()) == key
                                                       : got == v;
            if (eq) {
                d->notify();
                return true;
            }
        }
        d->setCursor(saved);
        d->atEof = savedEof;
        d->atBof = savedBof;
        d->runCalc();
        return false;
    }
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    std::string& key = d->locateKey; // reused: no allocation per search
    key.clear();
    double number = 0;
    const FieldFamily fam = familyOf(f.kind);
    if (fam == FieldFamily::Text || fam == FieldFamily::Unknown) {
        if (!v.isNull() && !CodePage::toCp866Exact(v.toString(), key))
            return false; // not representable on disk: no stored value can equal it
        key.resize(trimmedLength(key.data(), key.size()));
        if (caseInsensitive)
            for (char& c : key)
                c = static_cast<char>(CodePage::foldTable()[static_cast<unsigned char>(c)]);
    } else if (fam == FieldFamily::Whole || fam == FieldFamily::Fractional) {
        if (v.isText()) {
            const std::string t = v.toString();
            char* end = nullptr;
            number = std::strtod(t.c_str(), &end);
            if (t.empty() || (end && *end != '\0'))
                return false;
        } else {
            number = v.toDouble();
        }
    }
    for (long i = 0; i < d->count; ++i) {
        const char* rec = d->record(i);
        if (rec[0] == '*' || !d->fieldEquals(f, rec, v, key, number, caseInsensitive))
            continue;
        if (d->filtered && !d->passesFilter(rec))
            continue;
        d->setCursor(i);
        d->recordChanged();
        return true;
    }
    return false;
}

bool Table::hasField(const std::string& name) const {
    if (d->state == State::Closed) {
        const std::string k = nameKey(name);
        for (const FieldDecl& f : d->declared)
            if (nameKey(f.name) == k)
                return true;
        for (const FieldDecl& f : d->calcDecls)
            if (nameKey(f.name) == k)
                return true;
        return false;
    }
    return d->byName.find(name) != nullptr;
}

int Table::fieldCount() const {
    if (d->state == State::Closed)
        return static_cast<int>(d->declared.size() + d->calcDecls.size());
    return static_cast<int>(d->exposed.size());
}

FieldInfo Table::field(int index) const {
    FieldInfo info;
    if (index < 0 || index >= fieldCount())
        throw DbfError("Field index out of range: " + std::to_string(index));
    if (d->state == State::Closed) {
        const auto i = static_cast<size_t>(index);
        const bool calc = i >= d->declared.size();
        const FieldDecl& decl = calc ? d->calcDecls[i - d->declared.size()] : d->declared[i];
        info.name = decl.name;
        info.kind = decl.kind;
        info.calculated = calc;
        info.type = calc ? 0 : 'C';
        return info;
    }
    const FieldRef r = d->exposed[static_cast<size_t>(index)];
    if (r.calculated) {
        const FieldDecl& decl = d->calcDecls[static_cast<size_t>(r.index)];
        info.name = decl.name;
        info.type = 0;
        info.kind = decl.kind;
        info.calculated = true;
        return info;
    }
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    info.name = f.name;
    info.type = f.type;
    info.length = f.length;
    info.decimals = f.decimals;
    info.kind = f.kind;
    return info;
}

void Table::setFilter(const std::string& expr) {
    FilterExpr::parse(expr); // refuse bad text before anything changes
    if (d->state == State::Closed || !d->filtered) {
        d->filterText = expr;
        return;
    }
    d->endEdit();
    const std::string old = d->filterText;
    d->filterText = expr;
    try {
        d->compileFilter();
    } catch (...) {
        d->filterText = old;
        d->compileFilter();
        throw;
    }
    d->reload();
    d->goFirst();
}

const std::string& Table::filter() const {
    return d->filterText;
}

void Table::setFiltered(bool on) {
    if (d->state == State::Closed) {
        d->filtered = on;
        return;
    }
    d->endEdit();
    if (on)
        d->compileFilter(); // throws with the table unfiltered
    else
        d->compiledFilter.clear();
    d->filtered = on;
    d->reload();
    d->goFirst();
}

bool Table::filtered() const {
    return d->filtered;
}

int Table::recordCount() const {
    d->checkOpen();
    d->refreshIfChanged();
    long n = 0;
    for (long i = 0; i < d->count; ++i)
        if (d->visible(i))
            ++n;
    return static_cast<int>(n);
}

long Table::recNo() const {
    if (d->state == State::Closed || d->state == State::Insert || d->cursor < 0)
        return 0;
    return d->cursor + 1;
}

bool Table::modified() const {
    return d->isModified;
}

int Table::addObserver(std::function<void()> callback) {
    const int id = d->nextObserverId++;
    d->observers.emplace(id, std::move(callback));
    return id;
}

void Table::removeObserver(int id) {
    d->observers.erase(id);
}

} // namespace vorn
