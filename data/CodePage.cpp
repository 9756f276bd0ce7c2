#include "data/CodePage.h"

#include "data/Table.h"

#include <array>
#include <cstdio>

namespace vorn {

namespace {
// Upper half of code page 866 as Unicode code points.
constexpr char16_t kHigh[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

// Upper half of Windows-1251 as Unicode code points (0x98 is unassigned).
constexpr char16_t kHigh1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr const char16_t* highOf(TextCodePage page) {
    return page == TextCodePage::Cp1251 ? kHigh1251 : kHigh;
}

constexpr char32_t foldCodePoint(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z')
        return cp + 32;
    if (cp >= 0x0410 && cp <= 0x042F) // А-Я
        return cp + 0x20;
    if (cp >= 0x0400 && cp <= 0x040F) // Ѐ-Џ, Ё among them
        return cp + 0x50;
    return cp;
}

// Each byte's lower-case partner within the same code page: the byte of the folded code
// point, where the page has one.
constexpr std::array<unsigned char, 256> makeFold(const char16_t* high) {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<size_t>(c)] = static_cast<unsigned char>(c + 32);
    for (int i = 0; i < 128; ++i) {
        const char32_t lower = foldCodePoint(high[i]);
        if (lower == high[i])
            continue;
        for (int j = 0; j < 128; ++j)
            if (high[j] == lower)
                t[static_cast<size_t>(0x80 + i)] = static_cast<unsigned char>(0x80 + j);
    }
    return t;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input gives U+FFFD.
char32_t nextCodePoint(const std::string& s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}

// UTF-8 of the upper half of the code page, ready to copy.
struct Utf8Seq {
    size_t len = 0;
    char bytes[3] = {0, 0, 0};
};

// Every code point of the upper half is below U+10000: two or three bytes.
constexpr std::array<Utf8Seq, 128> makeHighUtf8(const char16_t* high) {
    std::array<Utf8Seq, 128> t{};
    for (size_t i = 0; i < t.size(); ++i) {
        const char32_t cp = high[i];
        if (cp < 0x800) {
            t[i].len = 2;
            t[i].bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            t[i].bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            t[i].len = 3;
            t[i].bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            t[i].bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            t[i].bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return t;
}

// Built at compile time: usable from any other file's static initialisers.
constexpr std::array<unsigned char, 256> kFoldTable = makeFold(kHigh);
constexpr std::array<unsigned char, 256> kFold1251 = makeFold(kHigh1251);
constexpr std::array<Utf8Seq, 128> kHighUtf8 = makeHighUtf8(kHigh);
constexpr std::array<Utf8Seq, 128> kHigh1251Utf8 = makeHighUtf8(kHigh1251);

const std::array<Utf8Seq, 128>& highUtf8(TextCodePage page) {
    return page == TextCodePage::Cp1251 ? kHigh1251Utf8 : kHighUtf8;
}
} // namespace

TextCodePage CodePage::ofMark(unsigned char languageDriver) {
    return languageDriver == 0xC9 ? TextCodePage::Cp1251 : TextCodePage::Cp866;
}

const unsigned char* CodePage::foldTable(TextCodePage page) {
    return page == TextCodePage::Cp1251 ? kFold1251.data() : kFoldTable.data();
}

void CodePage::appendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

size_t utf8Characters(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::string CodePage::toUtf8(const std::string& bytes, TextCodePage page) {
    std::string out;
    appendUtf8(out, bytes.data(), bytes.size(), page);
    return out;
}

void CodePage::appendUtf8(std::string& out, const char* p, size_t n, TextCodePage page) {
    const std::array<Utf8Seq, 128>& high = highUtf8(page);
    const size_t start = out.size();
    out.resize(start + n * 3); // one allocation; every cp866 byte takes at most three
    char* w = &out[start];
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c < 0x80) {
            *w++ = static_cast<char>(c);
        } else {
            const Utf8Seq& seq = high[c - 0x80];
            w[0] = seq.bytes[0];
            w[1] = seq.bytes[1];
            w[2] = seq.bytes[2];
            w += seq.len;
        }
    }
    out.resize(static_cast<size_t>(w - out.data()));
}

int CodePage::toByte(char32_t cp, TextCodePage page) {
    if (cp < 0x80)
        return static_cast<int>(cp);
    if (page == TextCodePage::Cp1251) {
        if (cp >= 0x0410 && cp <= 0x044F)
            return static_cast<int>(cp - 0x0410 + 0xC0);
    } else {
        if (cp >= 0x0410 && cp <= 0x043F)
            return static_cast<int>(cp - 0x0410 + 0x80);
        if (cp >= 0x0440 && cp <= 0x044F)
            return static_cast<int>(cp - 0x0440 + 0xE0);
    }
    if (cp == 0xFFFD)
        return -1; // the unassigned byte of 1251 stands for nothing
    const char16_t* high = highOf(page);
    for (int i = 0; i < 128; ++i)
        if (high[i] == cp)
            return 0x80 + i;
    return -1;
}

bool CodePage::toBytesExact(const std::string& utf8, std::string& out, TextCodePage page) {
    const size_t n = utf8.size();
    out.resize(n); // never more bytes than the UTF-8 has
    char* w = &out[0];
    const char* s = utf8.data();
    for (size_t i = 0; i < n;) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            *w++ = static_cast<char>(b0);
            ++i;
            continue;
        }
        int b = -1;
        if ((b0 & 0xE0) == 0xC0 && i + 1 < n &&
            (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
            // Two bytes: Cyrillic and most of the rest. Below U+0080 is an over-long form.
            const char32_t cp =
                (char32_t(b0 & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
            b = cp < 0x80 ? -1 : toByte(cp, page);
            i += 2;
        } else {
            const size_t start = i;
            b = toByte(nextCodePoint(utf8, i), page);
            // The byte must decode back to the very same sequence (not an over-long form).
            if (b >= 0x80) {
                const Utf8Seq& seq = highUtf8(page)[static_cast<size_t>(b - 0x80)];
                if (i - start != seq.len || utf8.compare(start, seq.len, seq.bytes, seq.len) != 0)
                    b = -1;
            }
        }
        if (b < 0x80) // no cp866 byte, or an over-long form of an ASCII character
            return false;
        *w++ = static_cast<char>(b);
    }
    out.resize(static_cast<size_t>(w - out.data()));
    return true;
}

std::string cp866ToUtf8(const std::string& bytes) {
    std::string out;
    CodePage::appendUtf8(out, bytes.data(), bytes.size());
    return out;
}

std::string CodePage::fromUtf8(const std::string& utf8, TextCodePage page) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const int b = toByte(nextCodePoint(utf8, i), page);
        out += static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

std::string utf8ToCp866(const std::string& utf8) {
    return CodePage::fromUtf8(utf8, TextCodePage::Cp866);
}

std::string foldCase(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 < 0x80) {
            out += static_cast<char>(kFoldTable[b0]);
            ++i;
            continue;
        }
        const size_t start = i;
        const char32_t cp = nextCodePoint(utf8, i);
        if (cp == 0xFFFD) // keep malformed bytes as they are
            out.append(utf8, start, i - start);
        else
            CodePage::appendCodePoint(out, foldCodePoint(cp));
    }
    return out;
}

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    return foldCase(a) == foldCase(b);
}

namespace {
// Typographic marks a word processor or a keyboard layout puts in, and their plain forms.
struct PlainForm {
    char32_t mark;
    const char* plain;
};
constexpr PlainForm kPlainForms[] = {
    {0x00AB, "\""}, {0x00BB, "\""},  {0x201E, "\""}, {0x201C, "\""}, {0x201D, "\""},
    {0x2018, "'"},  {0x2019, "'"},   {0x2013, "-"},  {0x2014, "-"},  {0x2212, "-"},
    {0x00D7, "x"},  {0x2026, "..."}, {0x00A0, " "},  {0x202F, " "},
};

std::string codePointName(char32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}
} // namespace

StorableText toStorableText(const std::string& utf8, TextCodePage page, const char* where) {
    StorableText out;
    std::string& text = out.text;
    text.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const size_t start = i;
        const char32_t cp = nextCodePoint(utf8, i);
        const PlainForm* plain = nullptr;
        for (const PlainForm& f : kPlainForms)
            if (f.mark == cp)
                plain = &f;
        if (plain) {
            text += plain->plain;
            continue;
        }
        std::string refusal;
        if (cp == 0xFFFD && utf8.compare(start, i - start, "\xEF\xBF\xBD") != 0) {
            refusal = "Текст содержит байты, не являющиеся знаками UTF-8";
        } else if (cp < 0x20 || cp == 0x7F) {
            refusal = "Текст содержит управляющий знак " + codePointName(cp) +
                      ": допустимы только печатные знаки";
        } else if (CodePage::toByte(cp, page) < 0) {
            refusal = "Знак \"" + utf8.substr(start, i - start) + "\" (" + codePointName(cp) +
                      ") не может быть сохранен " + where +
                      ": в его кодовой странице такого знака нет";
        }
        if (!refusal.empty()) {
            out.text.clear();
            out.refusal = std::move(refusal);
            return out;
        }
        text.append(utf8, start, i - start);
    }
    return out;
}

} // namespace vorn
