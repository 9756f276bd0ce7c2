#include "data/DbfCreate.h"

#include "data/platform/PlatformFile.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>

namespace vorn {

namespace {

constexpr int kMaxFields = 128;        // dBase III
constexpr int kMaxRecordLength = 4000; // dBase III/IV

std::string fieldError(const DbfFieldSpec& f, const std::string& what) {
    return "Field '" + f.name + "': " + what;
}

void checkField(const DbfFieldSpec& f) {
    if (f.name.empty() || f.name.size() > 10)
        throw DbfError("Field name '" + f.name + "' must have 1 to 10 characters");
    for (unsigned char c : f.name)
        if (!(std::isalnum(c) || c == '_') || c >= 0x80)
            throw DbfError("Field name '" + f.name + "' must be ASCII letters, digits or '_'");
    switch (f.type) {
    case 'C':
        if (f.length < 1 || f.length > 254 || f.decimals != 0)
            throw DbfError(fieldError(f, "text length must be 1 to 254, no decimals"));
        break;
    case 'N':
        if (f.length < 1 || f.length > 20 || f.decimals < 0 ||
            (f.decimals > 0 && f.decimals > f.length - 2))
            throw DbfError(fieldError(f, "bad numeric width or decimals"));
        break;
    case 'L':
        if (f.length != 1 || f.decimals != 0)
            throw DbfError(fieldError(f, "logical fields have length 1"));
        break;
    case 'D':
        if (f.length != 8 || f.decimals != 0)
            throw DbfError(fieldError(f, "date fields have length 8"));
        break;
    default:
        throw DbfError(fieldError(f, std::string("unsupported type '") + f.type + "'"));
    }
}

Date today() {
    const std::tm tm = platform::localTime(std::time(nullptr));
    return Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

void putLe16(std::string& out, size_t at, unsigned v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void putLe32(std::string& out, size_t at, unsigned long v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

std::string formatDbfField(const DbfFieldSpec& f, const Value& v) {
    const size_t len = static_cast<size_t>(f.length);
    if (v.isNull())
        return std::string(len, ' ');
    switch (f.type) {
    case 'C': {
        if (!v.isText())
            throw DbfError(fieldError(f, "expects text"));
        const std::string& utf8 = v.toString();
        std::string bytes = utf8ToCp866(utf8);
        size_t inQ = 0, outQ = 0;
        for (char c : utf8)
            inQ += c == '?';
        for (char c : bytes)
            outQ += c == '?';
        if (outQ != inQ)
            throw DbfError(fieldError(f, "'" + utf8 + "' cannot be written in code page 866"));
        if (bytes.size() > len)
            throw DbfError(fieldError(f, "'" + utf8 + "' is longer than " +
                                             std::to_string(f.length) + " characters"));
        return bytes + std::string(len - bytes.size(), ' ');
    }
    case 'N': {
        if (!v.isNumber())
            throw DbfError(fieldError(f, "expects a number"));
        double d = v.toDouble();
        if (!std::isfinite(d))
            throw DbfError(fieldError(f, "expects a finite number"));
        char buf[64];
        int n = std::snprintf(buf, sizeof buf, "%*.*f", f.length, f.decimals, d);
        std::string s(buf, n > 0 ? static_cast<size_t>(n) : 0);
        // A value that rounds to zero keeps no minus sign.
        if (std::strtod(s.c_str(), nullptr) == 0) {
            n = std::snprintf(buf, sizeof buf, "%*.*f", f.length, f.decimals, 0.0);
            s.assign(buf, static_cast<size_t>(n));
        }
        if (s.size() > len)
            throw DbfError(fieldError(f, "value " + v.toString() + " does not fit N(" +
                                             std::to_string(f.length) + "," +
                                             std::to_string(f.decimals) + ")"));
        return s;
    }
    case 'L':
        if (!v.isLogical())
            throw DbfError(fieldError(f, "expects a logical value"));
        return v.toBool() ? "T" : "F";
    case 'D': {
        if (!v.isDate())
            throw DbfError(fieldError(f, "expects a date"));
        Date d = v.toDate();
        if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31)
            throw DbfError(fieldError(f, "invalid date"));
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
        return std::string(buf, 8);
    }
    default:
        throw DbfError(fieldError(f, "unsupported type"));
    }
}

void createDbf(const std::string& path, const std::vector<DbfFieldSpec>& fields,
               const std::vector<DbfRow>& rows, Date headerDate) {
    if (fields.empty() || fields.size() > static_cast<size_t>(kMaxFields))
        throw DbfError("A table needs 1 to " + std::to_string(kMaxFields) + " fields");
    std::set<std::string> names;
    int recordLength = 1;
    for (const DbfFieldSpec& f : fields) {
        checkField(f);
        if (!names.insert(foldCase(f.name)).second)
            throw DbfError("Duplicate field name '" + f.name + "'");
        recordLength += f.length;
    }
    if (recordLength > kMaxRecordLength)
        throw DbfError("Record length " + std::to_string(recordLength) + " exceeds " +
                       std::to_string(kMaxRecordLength));

    // Every value is formatted before the file is touched, so a refused value leaves nothing.
    std::string body;
    body.reserve(rows.size() * static_cast<size_t>(recordLength) + 1);
    for (size_t r = 0; r < rows.size(); ++r) {
        const DbfRow& row = rows[r];
        if (row.size() != fields.size())
            throw DbfError("Row " + std::to_string(r + 1) + " has " + std::to_string(row.size()) +
                           " values for " + std::to_string(fields.size()) + " fields");
        body += ' ';
        for (size_t i = 0; i < fields.size(); ++i) {
            try {
                body += formatDbfField(fields[i], row[i]);
            } catch (const DbfError& e) {
                throw DbfError("Row " + std::to_string(r + 1) + ": " + e.what());
            }
        }
    }
    body += '\x1A';

    if (headerDate.year == 0)
        headerDate = today();
    const size_t headerLength = 32 + 32 * fields.size() + 1;
    std::string header(headerLength, '\0');
    header[0] = 0x03;
    header[1] = static_cast<char>((headerDate.year - 1900) & 0xFF);
    header[2] = static_cast<char>(headerDate.month);
    header[3] = static_cast<char>(headerDate.day);
    putLe32(header, 4, static_cast<unsigned long>(rows.size()));
    putLe16(header, 8, static_cast<unsigned>(headerLength));
    putLe16(header, 10, static_cast<unsigned>(recordLength));
    header[29] = 0x26; // language driver: Russian OEM (cp866)
    for (size_t i = 0; i < fields.size(); ++i) {
        const size_t at = 32 + 32 * i;
        const DbfFieldSpec& f = fields[i];
        for (size_t k = 0; k < f.name.size(); ++k)
            header[at + k] = static_cast<char>(std::toupper(static_cast<unsigned char>(f.name[k])));
        header[at + 11] = f.type;
        header[at + 16] = static_cast<char>(f.length);
        header[at + 17] = static_cast<char>(f.decimals);
    }
    header[headerLength - 1] = 0x0D;

    const std::filesystem::path target = std::filesystem::u8path(path);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out)
        throw DbfError("Cannot create '" + path + "'");
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.write(body.data(), static_cast<std::streamsize>(body.size()));
    out.close();
    if (!out) {
        std::error_code ec;
        std::filesystem::remove(target, ec);
        throw DbfError("Cannot write '" + path + "'");
    }
}

} // namespace vorn
