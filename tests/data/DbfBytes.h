#pragma once
// Builds DBF files byte by byte for the table tests, including broken ones.
#include "Fixtures.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vorn::test {

struct FieldSpec {
    std::string name;
    char type;
    int length;
    int decimals = 0;
};

struct DbfBytes {
    std::vector<FieldSpec> fields;
    std::vector<std::string> records; // each: deletion flag + field bytes (cp866)
    long countOverride = -1;
    long headerLengthOverride = -1;
    long recordLengthOverride = -1;
    bool terminator = true;
    bool eofMark = true;

    int recordLength() const {
        int n = 1;
        for (const FieldSpec& f : fields)
            n += f.length;
        return n;
    }

    std::string bytes() const {
        std::string h(32, '\0');
        h[0] = 0x03;
        h[1] = 124;
        h[2] = 1;
        h[3] = 31;
        const auto put16 = [&h](size_t at, long v) {
            h[at] = static_cast<char>(v & 0xFF);
            h[at + 1] = static_cast<char>((v >> 8) & 0xFF);
        };
        const long n = countOverride >= 0 ? countOverride : static_cast<long>(records.size());
        for (int i = 0; i < 4; ++i)
            h[4 + static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
        const long hlen = headerLengthOverride >= 0
                              ? headerLengthOverride
                              : 32 + 32 * static_cast<long>(fields.size()) + 1;
        put16(8, hlen);
        put16(10, recordLengthOverride >= 0 ? recordLengthOverride : recordLength());
        std::string out = h;
        for (const FieldSpec& f : fields) {
            std::string d(32, '\0');
            d.replace(0, std::min<size_t>(f.name.size(), 10), f.name.substr(0, 10));
            d[11] = f.type;
            d[16] = static_cast<char>(f.length & 0xFF);
            d[17] = static_cast<char>(f.decimals);
            out += d;
        }
        if (terminator)
            out += '\r';
        while (static_cast<long>(out.size()) < hlen)
            out += '\0';
        if (static_cast<long>(out.size()) > hlen)
            out.resize(static_cast<size_t>(hlen));
        for (const std::string& r : records)
            out += r;
        if (eofMark)
            out += '\x1A';
        return out;
    }
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace vorn::test
