#pragma once
// The fonts that come with the program. The reports name Liberation Sans; a Windows copy
// brings its TTF files in fonts\ beside the program, so that a report measures and looks
// the same on every machine (a fresh Windows has no Liberation Sans, Linux has it from its
// package and no fonts folder).

namespace vorn {

// Registers every *.ttf of fonts/ beside the program with the running application, once.
// Call it after the Q(Gui)Application is made.
void registerProgramFonts();

} // namespace vorn
