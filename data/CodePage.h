#pragma once
// Code page 866 (DOS Cyrillic, the on-disk text of every table) and case folding.
// The public conversions (cp866ToUtf8, utf8ToCp866, foldCase, equalsIgnoreCase) are
// declared in Table.h; these are the byte-level helpers the table layer uses on records.
#include <cstddef>
#include <string>

namespace vorn {

class CodePage {
public:
    // Appends the UTF-8 form of one code point to out.
    static void appendCodePoint(std::string& out, char32_t cp);
    // Appends the UTF-8 form of cp866 bytes [p, p + n) to out.
    static void appendUtf8(std::string& out, const char* p, size_t n);
    // 256 entries: the lower-case partner of each cp866 byte (Latin and Cyrillic, Ё/ё,
    // Є/є, Ї/ї, Ў/ў), for comparing stored text without decoding it.
    static const unsigned char* foldTable();
    // The cp866 byte of a code point, or -1 when the code page has none.
    static int toCp866(char32_t cp);
    // Replaces out with the cp866 bytes of utf8. False when some character has no cp866
    // byte or is not well-formed UTF-8: no stored text can equal such a value.
    static bool toCp866Exact(const std::string& utf8, std::string& out);
};

} // namespace vorn
