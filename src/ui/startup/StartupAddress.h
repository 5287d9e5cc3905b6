#pragma once
// An owner address given on the command line (or by the menu entry's %U).

#include <QString>

namespace pictrove {

class MainWindow;

// Puts `address` into the address box, replacing what the clipboard left there, and
// runs Get List. The window must be initialised: from then on Get List works, since
// the start never waits for the network.
void listOwnerAtStart(MainWindow &window, const QString &address);

}  // namespace pictrove
