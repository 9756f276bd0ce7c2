// Scan, filter and Locate over a 100,000-row equipment catalogue, with our table layer and
// with shapelib doing the same work on the same file. Prints min / median of 5 runs and
// the ratio (shapelib time / ours: above 1 means we are faster). Then one record posted in
// place, journal and flushes included, as a field commit does it.
//   bench_table [ROWS]
#include "data/FileIo.h"
#include "data/Table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <shapefil.h>
#include <string>
#include <vector>

using namespace vorn;

namespace {

struct Spec {
    const char* name;
    char type;
    int length;
    int decimals;
};

// Shaped like the catalogues: codes and names, capacities at four outside temperatures,
// temperature differences, the air-cooler flag and prices.
const Spec kFields[] = {
    {"KOD", 'C', 10, 0},  {"NAME", 'C', 40, 0},   {"AGREG", 'C', 20, 0}, {"Q25", 'N', 8, 0},
    {"Q30", 'N', 8, 0},   {"Q35", 'N', 8, 0},     {"Q40", 'N', 8, 0},    {"T25", 'N', 4, 1},
    {"T30", 'N', 4, 1},   {"T35", 'N', 4, 1},     {"T40", 'N', 4, 1},    {"VO", 'N', 1, 0},
    {"CENA", 'N', 12, 2}, {"CENA_R", 'N', 12, 2}, {"DOST", 'L', 1, 0},
};

std::string field(const std::string& cp866, size_t n, bool right) {
    std::string s = cp866.substr(0, n);
    return right ? std::string(n - s.size(), ' ') + s : s + std::string(n - s.size(), ' ');
}

std::string num(double v, int len, int dec) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%*.*f", len, dec, v);
    return buf;
}

std::string nameOf(long i) {
    static const char* const kWords[] = {"Сплит-система", "Моноблок", "Агрегат",
                                         "Холодильная машина"};
    return std::string(kWords[i % 4]) + " МХ-" + std::to_string(1000 + i);
}

void generate(const std::string& path, long rows) {
    std::string header(32, '\0');
    const size_t nf = sizeof kFields / sizeof kFields[0];
    int rlen = 1;
    for (const Spec& s : kFields)
        rlen += s.length;
    const int hlen = 32 + 32 * static_cast<int>(nf) + 1;
    header[0] = 3;
    header[1] = 124;
    header[2] = 1;
    header[3] = 1;
    for (int k = 0; k < 4; ++k)
        header[4 + static_cast<size_t>(k)] = static_cast<char>((rows >> (8 * k)) & 0xFF);
    header[8] = static_cast<char>(hlen & 0xFF);
    header[9] = static_cast<char>(hlen >> 8);
    header[10] = static_cast<char>(rlen & 0xFF);
    header[11] = static_cast<char>(rlen >> 8);
    std::string out = header;
    for (const Spec& s : kFields) {
        std::string d(32, '\0');
        std::memcpy(&d[0], s.name, std::strlen(s.name));
        d[11] = s.type;
        d[16] = static_cast<char>(s.length);
        d[17] = static_cast<char>(s.decimals);
        out += d;
    }
    out += '\r';
    std::uint32_t seed = 12345;
    const auto rnd = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    for (long i = 0; i < rows; ++i) {
        out += (i % 50 == 49) ? '*' : ' '; // 2% deleted
        out += field("K" + std::to_string(100000 + i), 10, false);
        out += field(utf8ToCp866(nameOf(i)), 40, false);
        out += field(utf8ToCp866(i % 3 ? "Bitzer" : "Копеланд"), 20, false);
        const double q = 500 + rnd() % 60000;
        out += num(q, 8, 0) + num(q * 0.94, 8, 0) + num(q * 0.88, 8, 0) + num(q * 0.81, 8, 0);
        for (int k = 0; k < 4; ++k)
            out += num(4 + (rnd() % 60) / 10.0, 4, 1);
        out += num(rnd() % 2, 1, 0);
        const double price = 1000 + (rnd() % 10000000) / 100.0;
        out += num(price, 12, 2) + num(price * 90, 12, 2);
        out += (rnd() % 2) ? 'T' : 'F';
    }
    out += '\x1A';
    std::ofstream(path, std::ios::binary | std::ios::trunc) << out;
}

struct Timing {
    double min = 0, median = 0;
};

Timing timeIt(const std::function<long()>& work, long& result) {
    std::vector<double> ms;
    for (int r = 0; r < 5; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        result = work();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

// Case folding of cp866 bytes for the shapelib Locate: Latin and Cyrillic.
unsigned char fold866(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0x80 && c <= 0x8F)
        return static_cast<unsigned char>(c + 0x20);
    if (c >= 0x90 && c <= 0x9F)
        return static_cast<unsigned char>(c + 0x50);
    if (c == 0xF0)
        return 0xF1;
    return c;
}

bool sameFolded(const char* a, const std::string& key) {
    size_t n = std::strlen(a);
    while (n > 0 && a[n - 1] == ' ')
        --n;
    if (n != key.size())
        return false;
    for (size_t i = 0; i < n; ++i)
        if (fold866(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(key[i]))
            return false;
    return true;
}

void report(const char* task, const Timing& ours, const Timing& shp, long a, long b) {
    std::printf("%-8s ours %8.2f ms (median %8.2f)   shapelib %8.2f ms (median %8.2f)   "
                "ratio %.2fx   results %ld / %ld%s\n",
                task, ours.min, ours.median, shp.min, shp.median, shp.min / ours.min, a, b,
                a == b ? "" : "  MISMATCH");
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 100000;
    namespace fs = std::filesystem;
    const std::string dir =
        (fs::temp_directory_path() / ("vorn-bench-" + std::to_string(std::random_device{}())))
            .string();
    fs::create_directories(dir);
    const std::string path = dir + "/kat12.dbf";
    generate(path, rows);
    std::printf("%ld rows, %s\n", rows, path.c_str());

    const long lo = 20000, hi = 24000;
    const std::string target = nameOf(rows - 7); // near the end
    std::string key = utf8ToCp866(target);
    for (char& c : key)
        c = static_cast<char>(fold866(static_cast<unsigned char>(c)));

    Table t;
    t.setTableName(path);
    t.setReadOnly(true);
    t.open();
    DBFHandle h = DBFOpen(path.c_str(), "rb");
    if (!h) {
        std::fprintf(stderr, "shapelib cannot open %s\n", path.c_str());
        return 1;
    }
    const int q25 = DBFGetFieldIndex(h, "Q25");
    const int nameIdx = DBFGetFieldIndex(h, "NAME");
    long a = 0, b = 0;

    // Scan: walk every visible record and read one number.
    const Timing ourScan = timeIt(
        [&] {
            double sum = 0;
            long n = 0;
            for (t.first(); !t.eof(); t.next()) {
                sum += t.asDouble("Q25");
                ++n;
            }
            return n + static_cast<long>(sum) % 7;
        },
        a);
    const Timing shpScan = timeIt(
        [&] {
            double sum = 0;
            long n = 0;
            const int count = DBFGetRecordCount(h);
            for (int i = 0; i < count; ++i) {
                if (DBFIsRecordDeleted(h, i))
                    continue;
                sum += DBFReadDoubleAttribute(h, i, q25);
                ++n;
            }
            return n + static_cast<long>(sum) % 7;
        },
        b);
    report("scan", ourScan, shpScan, a, b);

    // Filter: the selection's capacity band, counted.
    const std::string expr = "Q25 >= " + std::to_string(lo) + " and Q25 <= " + std::to_string(hi);
    const Timing ourFilter = timeIt(
        [&] {
            t.setFilter(expr);
            t.setFiltered(true);
            long n = 0;
            for (t.first(); !t.eof(); t.next())
                ++n;
            t.setFiltered(false);
            return n;
        },
        a);
    const Timing shpFilter = timeIt(
        [&] {
            long n = 0;
            const int count = DBFGetRecordCount(h);
            for (int i = 0; i < count; ++i) {
                if (DBFIsRecordDeleted(h, i))
                    continue;
                const double q = DBFReadDoubleAttribute(h, i, q25);
                if (q >= lo && q <= hi)
                    ++n;
            }
            return n;
        },
        b);
    report("filter", ourFilter, shpFilter, a, b);

    // Locate: a name near the end, case-insensitive.
    const Timing ourLocate = timeIt(
        [&] {
            t.first();
            return t.locate("NAME", Value(foldCase(target))) ? t.recNo() : 0L;
        },
        a);
    const Timing shpLocate = timeIt(
        [&] {
            const int count = DBFGetRecordCount(h);
            for (int i = 0; i < count; ++i) {
                if (DBFIsRecordDeleted(h, i))
                    continue;
                if (sameFolded(DBFReadStringAttribute(h, i, nameIdx), key))
                    return static_cast<long>(i + 1);
            }
            return 0L;
        },
        b);
    report("locate", ourLocate, shpLocate, a, b);

    DBFClose(h);
    t.close();
    std::remove(path.c_str());

    // Post: a record as long as a calculation's (1,272 bytes), one field changed, posted.
    const std::string calc = dir + "/calc.vrn";
    {
        std::string out(32, '\0');
        out[0] = 3;
        out[4] = 1;
        const int fields = 6, hlen = 32 + 32 * fields + 1, rlen = 1272;
        out[8] = static_cast<char>(hlen & 0xFF);
        out[9] = static_cast<char>(hlen >> 8);
        out[10] = static_cast<char>(rlen & 0xFF);
        out[11] = static_cast<char>(rlen >> 8);
        for (int k = 0; k < fields; ++k) {
            std::string d(32, '\0');
            d[0] = 'F';
            d[1] = static_cast<char>('0' + k);
            d[11] = k < 5 ? 'C' : 'N';
            d[16] = static_cast<char>(k < 5 ? 254 : 1);
            out += d;
        }
        out += '\r';
        out += ' ' + std::string(1270, 'x') + '1';
        out += '\x1A';
        std::ofstream(calc, std::ios::binary | std::ios::trunc) << out;
    }
    Table c;
    c.setTableName(calc);
    c.open();
    for (const bool flushed : {true, false}) {
        FileIo::setFlushes(flushed);
        std::vector<double> ms;
        for (int r = 0; r < 200; ++r) {
            const auto t0 = std::chrono::steady_clock::now();
            c.edit();
            c.setValue("F5", Value(static_cast<double>(r % 9 + 1)));
            c.post();
            const auto t1 = std::chrono::steady_clock::now();
            ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("post     ours %8.3f ms (median %8.3f, max %8.3f) over %zu posts with the "
                    "journal, %s\n",
                    ms[1], ms[ms.size() / 2], ms.back(), ms.size(),
                    flushed ? "flushed to the disk" : "not flushed (the cost of the rest)");
    }
    FileIo::setFlushes(true);
    c.close();
    std::remove(calc.c_str());
    fs::remove_all(dir);
    return 0;
}
