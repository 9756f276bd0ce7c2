#pragma once
// The program's own small icons for the menu and toolbar, drawn at start-up.
#include <QIcon>
#include <QString>

namespace vorn {

// Names: new, open, save, close, preview, print, cut, copy, paste, exit (20 x 20 for the
// menu and toolbar); fullLoad (16 x 16), calculator (12 x 12) for buttons of the input screen.
QIcon toolIcon(const QString& name);

} // namespace vorn
