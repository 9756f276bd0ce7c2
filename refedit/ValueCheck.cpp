#include "refedit/ValueCheck.h"

#include "data/CodePage.h"
#include "data/FieldCodec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vorn {

namespace {

bool parsePlain(const std::string& s, double& out) {
    if (s.empty())
        return false;
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+')
        ++b;
    const auto r = std::from_chars(b, e, out);
    return r.ec == std::errc() && r.ptr == e && std::isfinite(out);
}

// The shortest text of a spreadsheet number: 12345, not 12345.0.
std::string shortNumber(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    return buf;
}

std::string limitText(double v) {
    std::string s = shortNumber(v);
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

} // namespace

std::string trimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

bool isNumericField(const FieldInfo& field) {
    const FieldFamily f = familyOf(field.kind);
    return f == FieldFamily::Whole || f == FieldFamily::Fractional;
}

bool fitCodePage866(const std::string& utf8, std::string& fitted, std::string* refusal) {
    StorableText t = toStorableText(utf8, TextCodePage::Cp866);
    if (t.refused()) {
        if (refusal) {
            // the shared wording speaks of a calculation file; here it is a table
            *refusal = t.refusal;
            const std::string file = "в файле расчета";
            const auto at = refusal->find(file);
            if (at != std::string::npos)
                refusal->replace(at, file.size(), "в таблице");
        }
        return false;
    }
    fitted = std::move(t.text);
    return true;
}

bool parseDecimal(const std::string& text, double& out) {
    std::string s;
    bool comma = false, point = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ' ')
            continue;
        // no-break space (C2 A0) and narrow no-break space (E2 80 AF) group the digits
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0) {
            ++i;
            continue;
        }
        if (c == 0xE2 && text.compare(i, 3, "\xE2\x80\xAF") == 0) {
            i += 2;
            continue;
        }
        if (c == ',') {
            comma = true;
            s += '.';
            continue;
        }
        if (c == '.')
            point = true;
        if (!(std::isdigit(c) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
        s += static_cast<char>(c);
    }
    // "1,234.5" is ambiguous: refused rather than guessed
    if (comma && point)
        return false;
    return parsePlain(s, out);
}

CellCheck checkCell(const FieldInfo& field, const RefColumn* column, const SheetCell& cell,
                    bool key) {
    CellCheck r;
    if (!cell.refusal.empty()) {
        r.error = cell.refusal;
        return r;
    }
    const std::string text = trimBlanks(cell.text);
    if (key && text.empty()) {
        r.error = isNumericField(field) ? "значение не задано" : "имя не задано";
        return r;
    }
    if (isNumericField(field)) {
        double d = 0;
        if (!text.empty()) {
            const bool parsed = cell.number ? parsePlain(text, d) : parseDecimal(text, d);
            if (!parsed) {
                r.error = "«" + text + "» — не число";
                return r;
            }
            if (field.decimals == 0) {
                const double whole = std::nearbyint(d);
                if (std::fabs(d - whole) > 1e-9 * std::max(1.0, std::fabs(d))) {
                    r.error = "нужно целое число, а не " + limitText(d);
                    return r;
                }
                d = whole;
            }
            const std::string stored = FieldCodec::formatFixed(d, field.decimals);
            double kept = 0;
            parsePlain(stored, kept);
            if (std::fabs(kept - d) > 1e-9 * std::max(1.0, std::fabs(d))) {
                r.error = "в числе " + limitText(d) +
                          " больше знаков после запятой, чем хранит поле (" +
                          std::to_string(field.decimals) + ")";
                return r;
            }
            if (static_cast<int>(stored.size()) > field.length) {
                r.error = "число " + limitText(d) + " не помещается в поле (" +
                          std::to_string(field.length) + " знаков" +
                          (field.decimals > 0
                               ? ", из них " + std::to_string(field.decimals) + " после запятой"
                               : std::string()) +
                          ")";
                return r;
            }
            parsePlain(stored, d);
            r.value = Value(d);
        }
        if (column) {
            // an empty field reads as 0
            const bool below = column->minExclusive ? !(d > column->min) : d < column->min;
            if (below && text.empty())
                r.error = "значение не задано";
            else if (below)
                r.error = (column->minExclusive ? "значение должно быть больше "
                                                : "значение должно быть не меньше ") +
                          limitText(column->min);
            else if (d > column->max)
                r.error = "значение должно быть не больше " + limitText(column->max);
        }
        return r;
    }
    std::string value = text;
    if (cell.number) {
        double d = 0;
        if (parsePlain(text, d))
            value = shortNumber(d);
    }
    std::string fitted;
    if (!fitCodePage866(value, fitted, &r.error))
        return r;
    const size_t n = utf8Characters(fitted);
    if (static_cast<int>(n) > field.length) {
        r.error = "текст длиннее " + std::to_string(field.length) + " знаков";
        return r;
    }
    if (column && column->keyWidth > 0 && static_cast<int>(n) > column->keyWidth) {
        r.error =
            "имя длиннее " + std::to_string(column->keyWidth) + " знаков: расчет хранит не больше";
        return r;
    }
    if (column && !column->choices.empty()) {
        for (const std::string& c : column->choices)
            if (equalsIgnoreCase(c, fitted)) {
                r.value = Value(c);
                return r;
            }
        std::string list;
        for (const std::string& c : column->choices)
            list += (list.empty() ? "" : ", ") + c;
        r.error = "допустимые значения: " + list;
        return r;
    }
    if (!fitted.empty())
        r.value = Value(fitted);
    return r;
}

std::string formatValue(const FieldInfo& field, const Value& v, char decimalMark) {
    if (v.isNull())
        return {};
    if (isNumericField(field)) {
        std::string s = FieldCodec::formatFixed(v.toDouble(), field.decimals);
        for (char& c : s)
            if (c == '.')
                c = decimalMark;
        return s;
    }
    return v.toString();
}

std::string keyText(const FieldInfo& field, const Value& v) {
    if (isNumericField(field))
        return FieldCodec::formatFixed(v.toDouble(), field.decimals);
    return foldCase(trimBlanks(v.toString()));
}

} // namespace vorn
