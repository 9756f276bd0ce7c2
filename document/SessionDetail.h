#pragma once
// Helpers shared by the files that implement Session; not for use outside document/.
#include "data/Table.h"
#include "data/Value.h"

#include <stdexcept>
#include <string>

namespace vorn::session_detail {

// A value the event wrote that a field of the record cannot hold: the event is undone and
// refused with this message.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kNotOpen = "Расчет не открыт";


inline void editRecord(Table& t) {
    if (t.state() == Table::State::Browse)
        t.edit();
}

// The name of the current row of a reference list; empty past its end.
inline Value currentName(const Table& t) {
    return t.eof() ? Value() : t.value("NAIM");
}

// The product filter for a category: rows whose TIP is exactly that text. A quote inside
// the text is doubled, so a typed "'" is a literal character (matching no category)
// instead of ending the literal and breaking the expression.
inline std::string categoryFilter(const std::string& category) {
    std::string literal;
    for (char c : category) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return "TIP='" + literal + "'";
}

} // namespace vorn::session_detail
