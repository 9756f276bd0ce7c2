#pragma once
// The file a command writes its output into (a report's PDF): what makes it unfit.
#include <string>

namespace vorn {

// Why out may not receive a command's output, as a Russian sentence naming out, or empty:
// it is the calculation being read (also through a link or under another name), a folder,
// or an existing file that is not a regular file (a FIFO, a device), which a written file
// would replace.
std::string outputFileProblem(const std::string& out, const std::string& calculation);

} // namespace vorn
