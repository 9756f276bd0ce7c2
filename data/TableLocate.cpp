// Locate: the first visible record whose field equals a value, compared on the stored
// bytes (text folded through the table's code page) without decoding each record.
#include "data/CodePage.h"
#include "data/TableImpl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vorn {

// Whether the record's field equals the Locate value.
bool Table::Impl::fieldEquals(const StoredField& f, const char* rec, const Value& v,
                 const std::string& textKey, double number, bool caseInsensitive) const {
    const char* p = rec + 1 + f.offset;
    const auto len = static_cast<size_t>(f.length);
    switch (f.kind) {
    case FieldKind::Text:
    case FieldKind::Unknown: {
        const size_t n = FieldCodec::trimmedLength(p, len);
        if (n != textKey.size())
            return false;
        if (!caseInsensitive)
            return std::memcmp(p, textKey.data(), n) == 0;
        const unsigned char* fold = CodePage::foldTable(f.codePage);
        for (size_t i = 0; i < n; ++i)
            if (fold[static_cast<unsigned char>(p[i])] !=
                static_cast<unsigned char>(textKey[i]))
                return false;
        return true;
    }
    case FieldKind::SmallInt:
    case FieldKind::Int:
    case FieldKind::Float: {
        const double d = FieldCodec::parseNumber(p, len);
        return std::fabs(d - number) <= 1e-9 * std::max(1.0, std::fabs(number));
    }
    default:
        return readStored(f, rec) == v;
    }
}

bool Table::locate(const std::string& field, const Value& v, bool caseInsensitive) {
    d->checkOpen();
    const FieldRef r = d->lookup(field);
    d->endEdit();
    d->refreshBeforeLocate();
    if (r.calculated) {
        // Calculated values exist only for the record in the cursor: walk it.
        const long saved = d->cursor;
        const bool savedEof = d->atEof, savedBof = d->atBof;
        const std::string key = caseInsensitive ? foldCase(v.toString()) : v.toString();
        for (long i = d->firstVisible(0); i >= 0; i = d->firstVisible(i + 1)) {
            d->setCursor(i);
            d->runCalc();
            const Value got = d->calcValues[static_cast<size_t>(r.index)];
            const bool eq = got.isText() && v.isText() ? (caseInsensitive ? foldCase(got.toString())
                                                                          : got.toString()) == key
                                                       : got == v;
            if (eq) {
                d->notify();
                return true;
            }
        }
        d->setCursor(saved);
        d->atEof = savedEof;
        d->atBof = savedBof;
        d->runCalc();
        return false;
    }
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    std::string& key = d->locateKey; // reused: no allocation per search
    key.clear();
    double number = 0;
    const FieldFamily fam = familyOf(f.kind);
    if (fam == FieldFamily::Text || fam == FieldFamily::Unknown) {
        if (!v.isNull() && !CodePage::toBytesExact(v.toString(), key, f.codePage))
            return false; // not representable on disk: no stored value can equal it
        key.resize(FieldCodec::trimmedLength(key.data(), key.size()));
        if (caseInsensitive)
            for (char& c : key)
                c = static_cast<char>(CodePage::foldTable(f.codePage)[static_cast<unsigned char>(c)]);
    } else if (fam == FieldFamily::Whole || fam == FieldFamily::Fractional) {
        if (v.isText()) {
            const std::string t = v.toString();
            char* end = nullptr;
            number = std::strtod(t.c_str(), &end);
            if (t.empty() || (end && *end != '\0'))
                return false;
        } else {
            number = v.toDouble();
        }
    }
    for (long i = 0; i < d->count; ++i) {
        const char* rec = d->record(i);
        if (rec[0] == '*' || !d->fieldEquals(f, rec, v, key, number, caseInsensitive))
            continue;
        if (d->filtered && !d->passesFilter(rec))
            continue;
        d->setCursor(i);
        d->recordChanged();
        return true;
    }
    return false;
}

} // namespace vorn
