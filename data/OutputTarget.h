#pragma once
// A file about to be written over (a report, an offer): what makes it unfit whatever
// is written into it.
#include <string>

namespace vorn {

// Why out may not be written, as a Russian sentence naming out, or empty: a folder, or an
// existing file that is not a regular file (a FIFO, a device), which a written file would
// replace. A file not there yet is fit: its writer tells what goes wrong.
std::string outputTargetProblem(const std::string& out);

// Whether a and b name the same existing file (also through a link or under another
// name); false when either is empty or missing.
bool sameFile(const std::string& a, const std::string& b);

// The opening of every refusal of out: "Файл <out> не записан: ".
std::string outputRefused(const std::string& out);

} // namespace vorn
