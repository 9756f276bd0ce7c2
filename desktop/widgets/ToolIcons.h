#pragma once
// The program's own small icons for the menu and toolbar, drawn at start-up.
#include <QIcon>
#include <QString>

namespace vorn {

// Names: new, open, save, close, preview, print, cut, copy, paste, exit.
QIcon toolIcon(const QString& name);

} // namespace vorn
