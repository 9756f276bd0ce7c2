#pragma once
// Byte copy of a calculation or template file, used by New, Save and the conversion.
#include <stdexcept>
#include <string>

namespace vorn {

// The copy's failure; what() is the text shown to the user.
class FileCopyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Copies source to target byte for byte, creating or replacing the target, and gives the
// copy the source's modification time. A target naming an existing folder receives the
// file under the source's name; missing folders of the target path are created.
// Throws FileCopyError "Cannot open file <source>" or "Cannot create file <target>".
// Returns the path actually written.
std::string copyFile(const std::string& source, const std::string& target);

} // namespace vorn
