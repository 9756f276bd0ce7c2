#pragma once
// The selection's parameters on the command line, shared by vorn select and vorn systems:
// the number of systems and the two percentages, taken as the selection window takes them.
#include "selection/Selection.h"

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace vorn {

struct SelectionParameters {
    std::optional<std::string> systems; // stored into KOLSYS, as the window's box does
    std::string from = std::to_string(Selection::kLowerDefault);
    std::string to = std::to_string(Selection::kUpperDefault);
};

// Adds --systems, --from and --to to a command.
void addSelectionParameters(CLI::App* command, SelectionParameters& p, const char* systemsHelp);

// Stores the number of systems and sets the percentages. Returns the usage error, with
// nothing written, or an empty text.
std::string applySelectionParameters(Selection& selection, const SelectionParameters& p);

} // namespace vorn
