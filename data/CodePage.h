#pragma once
// Code pages of the text in tables (866, DOS Cyrillic, on almost every table; 1251,
// Windows Cyrillic, on a table whose header marks it so) and case folding.
// The public conversions (cp866ToUtf8, utf8ToCp866, foldCase, equalsIgnoreCase) are
// declared in Table.h; these are the byte-level helpers the table layer uses on records.
#include <cstddef>
#include <string>

namespace vorn {

// The code page a table's text is stored in.
enum class TextCodePage { Cp866, Cp1251 };

// What the user typed, made fit for a text field: typographic marks replaced by their
// plain forms, or a refusal naming the first character the code page cannot hold.
struct StorableText {
    std::string text;    // UTF-8, every character storable; empty when refused
    std::string refusal; // the message for the user; empty when the text is taken

    bool refused() const { return !refusal.empty(); }
};

// « » „ “ ” become ", ‘ ’ become ', – — − become -, × becomes x, … becomes ..., a
// non-breaking space becomes a space. Any other character the code page has no byte for,
// a control character or bytes that are no UTF-8 are refused.
// where names the file in the refusal ("в файле расчета", "в файле проекта").
StorableText toStorableText(const std::string& utf8, TextCodePage page = TextCodePage::Cp866,
                            const char* where = "в файле расчета");

// The number of characters of a UTF-8 text (the bytes that start one), as a text field of
// a table counts its width.
size_t utf8Characters(const std::string& utf8);

class CodePage {
public:
    // The code page of a table from its header's language-driver byte (offset 29):
    // 0xC9 is Windows-1251; every other mark (0x26 and 0x65 for 866, 0x00 for none, 0x57
    // as some writers put) is read as 866, the code page of every table of the program.
    static TextCodePage ofMark(unsigned char languageDriver);

    // Appends the UTF-8 form of one code point to out.
    static void appendCodePoint(std::string& out, char32_t cp);
    // Appends the UTF-8 form of the bytes [p, p + n) to out.
    static void appendUtf8(std::string& out, const char* p, size_t n,
                           TextCodePage page = TextCodePage::Cp866);
    // The UTF-8 form of bytes in the code page (a file written in 1251, say).
    static std::string toUtf8(const std::string& bytes, TextCodePage page);
    // 256 entries: the lower-case partner of each byte (Latin and Cyrillic, Ё/ё, Є/є,
    // Ї/ї, Ў/ў and the rest of the page's capitals), for comparing stored text without
    // decoding it.
    static const unsigned char* foldTable(TextCodePage page = TextCodePage::Cp866);
    // The byte of a code point, or -1 when the code page has none.
    static int toByte(char32_t cp, TextCodePage page);
    static int toCp866(char32_t cp) { return toByte(cp, TextCodePage::Cp866); }
    // Replaces out with the bytes of utf8. False when some character has no byte or is
    // not well-formed UTF-8: no stored text can equal such a value.
    static bool toBytesExact(const std::string& utf8, std::string& out, TextCodePage page);
    static bool toCp866Exact(const std::string& utf8, std::string& out) {
        return toBytesExact(utf8, out, TextCodePage::Cp866);
    }
    // The bytes of utf8; a character without a byte becomes '?'.
    static std::string fromUtf8(const std::string& utf8, TextCodePage page);
};

} // namespace vorn
