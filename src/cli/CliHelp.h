#pragma once
// What pictrove-cli tells about itself: `pictrove-cli --help` prints this table, and
// the build writes the manual page pictrove-cli.1 from it.

#include "text/CommandHelp.h"

#include <QString>

#include <span>

namespace pictrove {

const CommandHelp &cliHelp();

// The options as --help lists them, for checks that each one is understood.
std::span<const HelpItem> cliOptionHelp();

// The text of --help.
QString cliUsage();

}  // namespace pictrove
