#pragma once
#include <string>

namespace vorn {
// A UTF-8 text as a quoted JSON string: quotes, backslashes and control characters escaped.
std::string jsonString(const std::string& s);
} // namespace vorn
