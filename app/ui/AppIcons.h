#pragma once

#include <QIcon>

namespace velmora {

// The program's mark at every size it is drawn in: the window and dialog
// icon, and the tray form, drawn to read at 16-22 pixels on light and dark
// panels. Both come from the resources compiled into the program.
QIcon AppIcon();
QIcon TrayIcon();

} // namespace velmora
