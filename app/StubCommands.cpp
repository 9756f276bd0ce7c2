// Subcommands not built yet. Each moves to its own file when it is written.
#include "app/Commands.h"

#include <ostream>

namespace vorn {} // namespace vorn
