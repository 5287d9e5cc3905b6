#pragma once
// What the desktop program tells about itself: `pictrove --help` prints this table,
// and the build writes the manual page pictrove.1 from it. Qt Core only, so the
// build's writer needs none of the window's libraries.

#include "text/CommandHelp.h"

namespace pictrove {

const CommandHelp &desktopHelp();

}  // namespace pictrove
