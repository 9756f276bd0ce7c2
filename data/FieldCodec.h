#pragma once
// The bytes of one field in a record and the values they stand for: the kind of a field
// from its descriptor, the reading and writing of text, numbers, logicals and dates, and
// the key under which field names are compared.
#include "data/CodePage.h"
#include "data/Table.h"
#include "data/Value.h"

#include <cstddef>
#include <string>

namespace vorn {

// A field as the file describes it.
struct StoredField {
    std::string name; // UTF-8, as stored
    char type = 'C';
    int length = 0;
    int decimals = 0;
    size_t offset = 0; // within the record, after the deletion flag
    FieldKind kind = FieldKind::Text;
    TextCodePage codePage = TextCodePage::Cp866; // of the table, from its header's mark
};

class FieldCodec {
public:
    // The value of field f whose bytes start at p (f.length of them).
    static Value decode(const StoredField& f, const char* p);
    // Formats v for field f into out (exactly f.length bytes). Throws when it cannot.
    static void encode(const StoredField& f, const Value& v, std::string& out);

    // Length of a stored field without the blanks and NULs on its right.
    static size_t trimmedLength(const char* p, size_t n) {
        while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0'))
            --n;
        return n;
    }
    // A number the way dBase stores it; blank, overflow stars and garbage read as 0.
    static double parseNumber(const char* p, size_t n);
    // Eight digits YYYYMMDD forming a real calendar date.
    static bool parseDate(const char* p, size_t n, Date& out);
    static bool validDate(int y, int m, int d);
    // "%.*f" with exact ties rounded away from zero.
    static std::string formatFixed(double v, int decimals);

    // Key under which a field name is looked up: blanks trimmed, case folded.
    static std::string nameKey(const std::string& name);
};

} // namespace vorn
