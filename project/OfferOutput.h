#pragma once
// The file the commercial offer is written into (PDF or workbook): what makes it unfit.
#include "project/ProjectSummary.h"

#include <string>

namespace vorn {

// Why out may not receive the offer, as a Russian sentence naming out, or empty: it is
// the project file or one of its chambers' calculations (also through a link or under
// another name), a folder, or an existing file that is not a regular file.
std::string offerOutputProblem(const std::string& out, const ProjectSummary& summary);

} // namespace vorn
