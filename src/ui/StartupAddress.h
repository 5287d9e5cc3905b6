#pragma once
// An owner address given on the command line (or by the menu entry's %U).

#include <QString>

namespace pictrove {

class MainWindow;

// Puts `address` into the address box, replacing what the clipboard left there, and
// runs Get List as soon as the window's start-up has finished (at once when it has).
void listOwnerWhenReady(MainWindow &window, const QString &address);

}  // namespace pictrove
