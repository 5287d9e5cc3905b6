#pragma once
// What pictrove-cli tells about itself, kept once as a table: `pictrove-cli --help`
// prints it for the terminal, and the build turns the same table into the manual page
// pictrove-cli.1, so the two never disagree.

#include <QByteArray>
#include <QString>

#include <span>

namespace pictrove {

// A command or an option: "--save DIR" and what it does.
struct HelpItem {
    const char *term;
    const char *text;
};

// The options as --help lists them, for checks that each one is understood.
std::span<const HelpItem> cliOptionHelp();

// The text of --help, wrapped for an 80-column terminal.
QString cliUsage();

// The manual page in man(7) format; `date` as YYYY-MM-DD.
QByteArray cliManPage(const QString &version, const QString &date);

}  // namespace pictrove
