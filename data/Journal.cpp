#include "data/Journal.h"

#include "data/FileIo.h"
#include "data/RecordLock.h"
#include "data/Table.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

// Layout, little-endian:
//   "VORNJRN1"  u64 file length before the write  u32 range count
//   each range: u64 offset  u32 length  old bytes
//   u64 FNV-1a checksum of everything before it
constexpr char kMagic[8] = {'V', 'O', 'R', 'N', 'J', 'R', 'N', '1'};
constexpr int kWriterWaitMs = 2000;

struct Range {
    std::int64_t offset = 0;
    std::string old;
};

struct Contents {
    std::int64_t length = 0;
    std::vector<Range> ranges;
};

std::uint64_t fnv1a(const char* p, size_t n) {
    std::uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(p[i]);
        h *= 1099511628211ull;
    }
    return h;
}

void put(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool get(const std::string& in, size_t& pos, std::uint64_t& v, int bytes) {
    if (in.size() - pos < static_cast<size_t>(bytes))
        return false;
    v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint64_t(static_cast<unsigned char>(in[pos + static_cast<size_t>(i)])) << (8 * i);
    pos += static_cast<size_t>(bytes);
    return true;
}

std::string encode(const Contents& c) {
    std::string out(kMagic, sizeof kMagic);
    put(out, static_cast<std::uint64_t>(c.length), 8);
    put(out, c.ranges.size(), 4);
    for (const Range& r : c.ranges) {
        put(out, static_cast<std::uint64_t>(r.offset), 8);
        put(out, r.old.size(), 4);
        out += r.old;
    }
    put(out, fnv1a(out.data(), out.size()), 8);
    return out;
}

// False for a journal that is torn (its writer was killed while writing it) or not ours.
bool decode(const std::string& in, Contents& c) {
    if (in.size() < sizeof kMagic + 8 + 4 + 8 || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0)
        return false;
    const size_t body = in.size() - 8;
    size_t pos = body;
    std::uint64_t sum = 0;
    if (!get(in, pos, sum, 8) || sum != fnv1a(in.data(), body))
        return false;
    pos = sizeof kMagic;
    std::uint64_t length = 0, count = 0;
    get(in, pos, length, 8);
    get(in, pos, count, 4);
    c.length = static_cast<std::int64_t>(length);
    c.ranges.clear();
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t offset = 0, n = 0;
        if (!get(in, pos, offset, 8) || !get(in, pos, n, 4) || body - pos < n ||
            offset + n > length)
            return false;
        c.ranges.push_back({static_cast<std::int64_t>(offset), in.substr(pos, n)});
        pos += n;
    }
    return pos == body;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string readWhole(const std::string& path, bool* opened) {
    platform::File f;
    *opened = !f.open(path, platform::File::Mode::Read);
    if (!*opened)
        return {};
    platform::FileStamp st;
    if (!f.stamp(st) || st.size <= 0)
        return {};
    std::string bytes(static_cast<size_t>(st.size), '\0');
    bytes.resize(f.readAt(&bytes[0], bytes.size(), 0));
    return bytes;
}

// Puts the old bytes back and cuts off what the write added, then flushes.
void restore(platform::File& f, const std::string& path, const Contents& c) {
    for (const Range& r : c.ranges)
        FileIo::writeFully(f, r.old.data(), r.old.size(), r.offset, path);
    platform::FileStamp st;
    if (f.stamp(st) && st.size > c.length) {
        const platform::SysError err = f.truncate(c.length);
        if (err)
            throw DbfError("Ошибка записи в файл " + path + ": " + FileIo::reasonText(err));
    }
    FileIo::flush(f, path);
}

std::string cannotRepair(const std::string& path, const std::string& reason) {
    return "Файл " + path +
           " остался недописанным после прерванной записи, а восстановить его не удаётся: " +
           reason;
}

} // namespace

std::string Journal::pathFor(const std::string& tablePath) {
    return tablePath + "-journal";
}

bool Journal::playBack(platform::File& file, const std::string& path, bool readOnly) {
    const std::string jpath = pathFor(path);
    bool opened = false;
    const std::string bytes = readWhole(jpath, &opened);
    if (!opened)
        return false; // gone meanwhile: its writer finished
    Contents c;
    platform::FileStamp st;
    // Torn while being written (the table was not touched yet), or the journal of a longer
    // file than this one (not ours): dropped if we may.
    if (!decode(bytes, c) || !file.stamp(st) || c.length > st.size) {
        platform::removeFile(jpath);
        return false;
    }
    platform::File writable;
    platform::File* target = &file;
    if (readOnly) {
        const platform::SysError err = writable.open(path, platform::File::Mode::ReadWrite);
        if (err)
            throw DbfError(cannotRepair(path, FileIo::reasonText(err)));
        target = &writable;
    }
    try {
        restore(*target, path, c);
    } catch (const DbfError& e) {
        throw DbfError(cannotRepair(path, e.what()));
    }
    // Played back twice, the journal gives the same bytes: a journal that cannot be
    // removed is only a refusal to go on, never a second change.
    const platform::SysError err = platform::removeFile(jpath);
    if (err)
        throw DbfError(
            cannotRepair(path, "журнал " + jpath + " не удаляется: " + FileIo::reasonText(err)));
    return true;
}

bool Journal::recover(platform::File& file, const std::string& path, bool readOnly) {
    if (!platform::fileExists(pathFor(path)))
        return false;
    const std::int64_t lock = RecordLock::headerOffset();
    if (!RecordLock::lockWithin(file, lock, kWriterWaitMs, !readOnly))
        return false; // a writer still at work: its journal is not ours to play back
    bool changed = false;
    try {
        changed = playBack(file, path, readOnly);
    } catch (...) {
        RecordLock::unlock(file, lock);
        throw;
    }
    RecordLock::unlock(file, lock);
    return changed;
}

void Journal::repairFile(const std::string& path) {
    if (!platform::fileExists(pathFor(path)))
        return;
    platform::File f;
    if (f.open(path, platform::File::Mode::Read))
        return; // nothing to repair: the copy fails on its own
    recover(f, path, true);
}

bool Journal::recoverLocked(platform::File& file, const std::string& path, bool readOnly) {
    return platform::fileExists(pathFor(path)) && playBack(file, path, readOnly);
}

bool Journal::write(platform::File& file, const std::string& path,
                    const std::vector<Patch>& patches) {
    const std::string jpath = pathFor(path);
    const bool recovered = recoverLocked(file, path, false);

    platform::FileStamp st;
    if (!file.stamp(st))
        throw DbfError("Ошибка записи в файл " + path + ": не удаётся узнать длину файла");
    Contents c;
    c.length = st.size;
    for (const Patch& p : patches) {
        if (p.offset >= st.size || p.bytes.empty())
            continue; // past the end: undone by cutting the file back
        const auto n = static_cast<size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(p.bytes.size()), st.size - p.offset));
        Range r{p.offset, std::string(n, '\0')};
        size_t got = 0;
        if (!FileIo::readFully(file, &r.old[0], n, p.offset, &got))
            throw DbfError("Ошибка чтения файла " + path);
        c.ranges.push_back(std::move(r));
    }
    const std::string journal = encode(c);

    {
        platform::File j;
        const platform::SysError err = j.open(jpath, platform::File::Mode::Create);
        if (err)
            throw DbfError("Ошибка записи в файл " + jpath + ": " + FileIo::reasonText(err));
        try {
            FileIo::writeFully(j, journal.data(), journal.size(), 0, jpath);
            FileIo::flush(j, jpath);
        } catch (...) {
            j.close();
            platform::removeFile(jpath); // torn anyway: nothing was written to the table
            throw;
        }
    }
    FileIo::flushFolder(folderOf(path));

    try {
        for (const Patch& p : patches)
            FileIo::writeFully(file, p.bytes.data(), p.bytes.size(), p.offset, path);
        FileIo::flush(file, path);
    } catch (...) {
        // Back to the old bytes now if the disk lets us; if not, the next open does it.
        try {
            restore(file, path, c);
            platform::removeFile(jpath);
        } catch (...) {
        }
        throw;
    }
    const platform::SysError err = platform::removeFile(jpath);
    if (err)
        throw DbfError("Ошибка записи в файл " + path + ": журнал " + jpath +
                       " не удаляется: " + FileIo::reasonText(err));
    return recovered;
}

} // namespace vorn
