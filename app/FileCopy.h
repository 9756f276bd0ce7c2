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
// The bytes go into a new file beside the target, which replaces the target only once it
// is complete: a copy that fails leaves the target as it was and nothing beside it.
// A target that exists but may not be written, or is no regular file (a FIFO, a device),
// is refused.
// Throws FileCopyError "Не удаётся открыть файл <source>: <reason>" or
// "Не удаётся создать файл <target>: <reason>". Returns the path actually written.
std::string copyFile(const std::string& source, const std::string& target);

} // namespace vorn
