#include "data/FieldCodec.h"

#include "data/CodePage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// strtod over a copy, with a decimal comma accepted; anything not finite reads as 0.
double slowParse(const char* p, size_t n) {
    std::string s(p, n);
    for (char& ch : s)
        if (ch == ',')
            ch = '.';
    const double v = std::strtod(s.c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
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

} // namespace

std::string FieldCodec::nameKey(const std::string& name) {
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

// Reads a number the way dBase stores it: blanks around, optional sign, digits, a
// decimal point (a comma is taken as one too). Blank, overflow stars and anything that
// is not a number read as 0: a damaged field must not stop a scan of the table.
double FieldCodec::parseNumber(const char* p, size_t n) {
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

bool FieldCodec::validDate(int y, int m, int d) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    int dim = kDays[m - 1];
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        dim = 29;
    return d <= dim;
}

bool FieldCodec::parseDate(const char* p, size_t n, Date& out) {
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

// "%.*f" rounding half away from zero on the exact binary value, as the rest of the
// program rounds (printf alone rounds exact ties to even: 0.125 -> 0.12).
std::string FieldCodec::formatFixed(double v, int decimals) {
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

Value FieldCodec::decode(const StoredField& f, const char* p) {
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
    CodePage::appendUtf8(s, p, n, f.codePage);
    return Value(std::move(s));
}

void FieldCodec::encode(const StoredField& f, const Value& v, std::string& out) {
    const auto len = static_cast<size_t>(f.length);
    out.assign(len, ' ');
    switch (f.kind) {
    case FieldKind::Text: {
        if (v.isNull())
            return;
        const std::string bytes = CodePage::fromUtf8(v.toString(), f.codePage);
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

} // namespace vorn
