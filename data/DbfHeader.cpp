#include "data/DbfHeader.h"

#include "data/FileIo.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <sys/stat.h>
#include <unordered_set>

namespace vorn {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;

[[noreturn]] void notATable(const std::string& path, const std::string& why) {
    throw DbfError("Файл " + path + " не является таблицей dBase: " + why);
}

} // namespace

DbfHeader DbfHeader::read(int fd, const std::string& path) {
    DbfHeader out;
    struct stat st {};
    fstat(fd, &st);
    const auto size = static_cast<size_t>(st.st_size);
    unsigned char h[kHeaderSize];
    size_t got = 0;
    if (size < kHeaderSize ||
        !FileIo::readFully(fd, reinterpret_cast<char*>(h), kHeaderSize, 0, &got))
        notATable(path, "файл короче заголовка");
    const unsigned version = h[0];
    if (version == 0x04 || version == 0x8C) // dBase 7: another descriptor layout
        notATable(path, "формат dBase 7 не поддерживается");
    out.headerLength = h[8] | (h[9] << 8);
    out.recordLength = h[10] | (h[11] << 8);
    if (out.headerLength < kHeaderSize + 1)
        notATable(path, "неверная длина заголовка");
    if (out.recordLength == 0)
        notATable(path, "нулевая длина записи");
    const size_t descEnd = std::min(out.headerLength, size);
    std::vector<unsigned char> desc(descEnd > kHeaderSize ? descEnd - kHeaderSize : 0);
    if (!desc.empty() && !FileIo::readFully(fd, reinterpret_cast<char*>(desc.data()), desc.size(),
                                            kHeaderSize, &got))
        notATable(path, "не удалось прочитать описания полей");
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
            notATable(path, "описание поля обрезано");
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
        out.fields.push_back(f);
        pos += kDescriptorSize;
    }
    if (out.fields.empty())
        notATable(path, "нет ни одного поля");
    if (total > out.recordLength) {
        // Some writers keep the length of a long text field in two bytes.
        size_t wide = 1;
        for (size_t i = 0; i < out.fields.size(); ++i) {
            const unsigned char* d = desc.data() + i * kDescriptorSize;
            wide += out.fields[i].type == 'C' ? static_cast<size_t>(d[16] | (d[17] << 8)) : d[16];
        }
        if (wide != out.recordLength)
            notATable(path, "длина записи меньше суммы длин полей");
        size_t off = 0;
        for (size_t i = 0; i < out.fields.size(); ++i) {
            const unsigned char* d = desc.data() + i * kDescriptorSize;
            if (out.fields[i].type == 'C')
                out.fields[i].length = d[16] | (d[17] << 8);
            out.fields[i].offset = off;
            off += static_cast<size_t>(out.fields[i].length);
        }
    }
    std::unordered_set<std::string> seen;
    for (const StoredField& f : out.fields)
        if (!seen.insert(FieldCodec::nameKey(f.name)).second)
            notATable(path, "поле " + f.name + " описано дважды");
    return out;
}

std::uint32_t DbfHeader::recordCount(int fd) {
    unsigned char h[8];
    size_t got = 0;
    FileIo::readFully(fd, reinterpret_cast<char*>(h), sizeof h, 0, &got);
    if (got != sizeof h)
        return 0;
    return h[4] | (h[5] << 8) | (h[6] << 16) | (std::uint32_t(h[7] & 0x7F) << 24);
}

void DbfHeader::writeRecordCount(int fd, std::uint32_t n, const std::string& path) {
    const char cnt[4] = {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                         static_cast<char>((n >> 16) & 0xFF), static_cast<char>((n >> 24) & 0xFF)};
    FileIo::writeFully(fd, cnt, 4, 4, path);
}

void DbfHeader::writeDate(int fd, const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const char d[3] = {static_cast<char>(tm.tm_year % 256), static_cast<char>(tm.tm_mon + 1),
                       static_cast<char>(tm.tm_mday)};
    FileIo::writeFully(fd, d, 3, 1, path);
}

} // namespace vorn
