#pragma once
// The core's text is UTF-8 std::string; the window's is QString.
#include <QString>
#include <string>

namespace vorn {

inline QString u8(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace vorn
