#pragma once
// A recalculation step that cannot be evaluated (a division by zero, an undefined root).
// Carries the Russian message shown to the user, naming the input at fault.
#include <stdexcept>
#include <string>

namespace vorn {

class CalcError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vorn
