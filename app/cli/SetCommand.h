#pragma once
// vorn set FILE NAME=VALUE ... [--json]: applies inputs to a calculation as the input
// screen applies them, one after another, and leaves the result in the file.
// addSetCommand (app/Commands.h) puts it on the command line.
#include "app/cli/Commands.h"

#include <string>
#include <vector>

namespace vorn {

struct SetOptions {
    std::string file;
    // "OB_KAMVS=3.2", "RadioGroup1=Охлаждение", "CheckBox3=F", "BitBtn1"
    std::vector<std::string> assignments;
    bool json = false;
};

// Exit status: 0 all applied; 1 the file or the reference tables do not open, or the
// record is locked by another user (file unchanged); 2 an assignment the screen would not
// take (no such control, control disabled or hidden, value refused or not in the list):
// the ones before it stay applied and the file is closed normally; 3 the recalculation
// after the last assignment stopped at an undefined step.
int setCommand(const CliContext& ctx, const SetOptions& options);

} // namespace vorn
