#include "data/DbfHeader.h"

#include "data/FileIo.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <unordered_set>

namespace vorn {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr unsigned char kTerminator = 0x0D;
constexpr int kMaxText = 254;
constexpr int kMaxNumber = 20;

[[noreturn]] void notATable(const std::string& path, const std::string& why) {
    throw DbfError("Файл " + path + " не является таблицей dBase: " + why);
}

// A header that contradicts itself: reading records through it would show wrong values.
[[noreturn]] void damaged(const std::string& path, const std::string& why) {
    throw DbfError("Файл " + path + " повреждён: " + why);
}

std::string typeLetter(unsigned char c) {
    if (c > 0x20 && c < 0x7F)
        return std::string("'") + static_cast<char>(c) + "'";
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", c);
    return std::string("с кодом ") + buf;
}

// What is wrong with the field's type and length, or empty when the field is sound.
// wideText: the length the file gives when its decimals byte is read as the high byte
// of a text length, as some writers do for text longer than 254.
std::string fieldProblem(const StoredField& f, unsigned char typeByte, int wideText) {
    const std::string len = std::to_string(f.length);
    switch (f.type) {
    case 'C':
        if (wideText > kMaxText)
            return "текстовое поле " + f.name + " длиной " + std::to_string(wideText) +
                   " длиннее 254 знаков";
        if (f.length < 1 || f.length > kMaxText)
            return "текстовое поле " + f.name + " длины " + len + " (допустимо от 1 до 254)";
        return {};
    case 'N':
    case 'F':
        if (f.length < 1 || f.length > kMaxNumber)
            return "числовое поле " + f.name + " длины " + len + " (допустимо от 1 до 20)";
        if (f.decimals > 0 && f.decimals > f.length - 2)
            return "у числового поля " + f.name + " длины " + len + " не может быть " +
                   std::to_string(f.decimals) + " знаков после запятой";
        return {};
    case 'L':
        if (f.length != 1)
            return "логическое поле " + f.name + " длины " + len + " (должна быть 1)";
        return {};
    case 'D':
        if (f.length != 8)
            return "поле даты " + f.name + " длины " + len + " (должна быть 8)";
        return {};
    default:
        return "поле " + f.name + " неподдерживаемого типа " + typeLetter(typeByte);
    }
}

} // namespace

// Every record is read through this layout, so it is checked against itself before any
// record is: the descriptors end at 0x0D inside the header, each field has a kind the
// table reads and a length that kind allows, and the record is exactly the deletion flag
// and the fields. What a sound reader can live with is let through: extra bytes after
// the 0x0D, a record count larger than the file holds, a missing end-of-file mark, a
// stray decimals byte on a text field.
DbfHeader DbfHeader::read(const platform::File& fd, const std::string& path) {
    DbfHeader out;
    platform::FileStamp st;
    fd.stamp(st);
    const auto size = static_cast<size_t>(std::max<std::int64_t>(st.size, 0));
    unsigned char h[kHeaderSize];
    size_t got = 0;
    if (size < kHeaderSize ||
        !FileIo::readFully(fd, reinterpret_cast<char*>(h), kHeaderSize, 0, &got))
        notATable(path, "файл короче заголовка");
    const unsigned version = h[0];
    if (version == 0x04 || version == 0x8C) // dBase 7: another descriptor layout
        notATable(path, "формат dBase 7 не поддерживается");
    // The text of a table marked Windows-1251 is read and written in 1251, of any other in 866.
    const TextCodePage codePage = CodePage::ofMark(h[29]);
    out.headerLength = h[8] | (h[9] << 8);
    out.recordLength = h[10] | (h[11] << 8);
    const size_t hlen = out.headerLength;
    if (hlen < kHeaderSize + 1)
        damaged(path, "длина заголовка " + std::to_string(hlen) + " меньше 33");
    if (hlen > size)
        damaged(path, "длина заголовка " + std::to_string(hlen) + " больше длины файла " +
                          std::to_string(size));
    std::vector<unsigned char> header(hlen);
    if (!FileIo::readFully(fd, reinterpret_cast<char*>(header.data()), hlen, 0, &got))
        notATable(path, "не удалось прочитать описания полей");

    // Descriptors, each followed by room for at least the terminator.
    std::vector<const unsigned char*> descriptors;
    size_t pos = kHeaderSize;
    while (header[pos] != kTerminator) {
        if (pos + kDescriptorSize >= hlen) {
            if (pos + 1 == hlen || pos + kDescriptorSize == hlen)
                damaged(path, "список полей не закрыт байтом 0x0D в пределах длины заголовка " +
                                  std::to_string(hlen));
            damaged(path, "длина заголовка " + std::to_string(hlen) + " обрезает описание поля " +
                              std::to_string(descriptors.size() + 1));
        }
        descriptors.push_back(header.data() + pos);
        pos += kDescriptorSize;
    }
    if (descriptors.empty())
        notATable(path, "нет ни одного поля");

    size_t total = 1, wideTotal = 1;
    for (const unsigned char* d : descriptors) {
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
        f.decimals = f.type == 'C' ? 0 : d[17]; // text: no decimals, whatever the byte says
        f.offset = total - 1;
        f.kind = kindOf(f.type, f.length, f.decimals);
        f.codePage = codePage;
        total += static_cast<size_t>(f.length);
        wideTotal += f.type == 'C' ? static_cast<size_t>(d[16] | (d[17] << 8)) : d[16];
        out.fields.push_back(f);
    }
    for (size_t i = 0; i < out.fields.size(); ++i) {
        const StoredField& f = out.fields[i];
        const unsigned char* d = descriptors[i];
        if (FieldCodec::nameKey(f.name).empty())
            damaged(path, "у поля " + std::to_string(i + 1) + " нет имени");
        // A long text length counts only when it is what makes the record add up.
        const bool wide = f.type == 'C' && d[17] != 0 && total != out.recordLength &&
                          wideTotal == out.recordLength;
        const std::string problem = fieldProblem(f, d[11], wide ? d[16] | (d[17] << 8) : 0);
        if (!problem.empty())
            damaged(path, problem);
    }
    if (total != out.recordLength)
        damaged(path, "длина записи " + std::to_string(out.recordLength) +
                          ", а флаг удаления и поля занимают " + std::to_string(total));
    std::unordered_set<std::string> seen;
    for (const StoredField& f : out.fields)
        if (!seen.insert(FieldCodec::nameKey(f.name)).second)
            notATable(path, "поле " + f.name + " описано дважды");
    return out;
}

std::uint32_t DbfHeader::recordCount(const platform::File& f) {
    unsigned char h[8];
    size_t got = 0;
    FileIo::readFully(f, reinterpret_cast<char*>(h), sizeof h, 0, &got);
    if (got != sizeof h)
        return 0;
    return h[4] | (h[5] << 8) | (h[6] << 16) | (std::uint32_t(h[7] & 0x7F) << 24);
}

std::string DbfHeader::countBytes(std::uint32_t n) {
    return {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
            static_cast<char>((n >> 16) & 0xFF), static_cast<char>((n >> 24) & 0xFF)};
}

std::string DbfHeader::dateBytes() {
    const std::tm tm = platform::localTime(std::time(nullptr));
    return {static_cast<char>(tm.tm_year % 256), static_cast<char>(tm.tm_mon + 1),
            static_cast<char>(tm.tm_mday)};
}

} // namespace vorn
