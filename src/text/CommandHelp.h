#pragma once
// A program's help kept once, as a table, and written two ways: the --help text for an
// 80-column terminal and the manual page in man(7) format. Each front end describes
// itself with one CommandHelp; the build writes its manual page from the same table,
// so the two never disagree.

#include <QByteArray>
#include <QString>

#include <span>

namespace pictrove {

// A command, an option or an exit status and what it does: {"--save DIR", "save folder"}.
// Words in capitals are placeholders (italic in the manual page).
struct HelpItem {
    const char *term;
    const char *text;
};

struct HelpSection {
    const char *heading;  // "Options": a heading on the terminal, "OPTIONS" in the manual page
    std::span<const HelpItem> items;
};

// Lines shown as they are (files to copy, commands to type), after a sentence that
// says what they are.
struct HelpExample {
    const char *caption;
    const char *text;  // lines, each ending in "\n"
};

struct CommandHelp {
    const char *program;
    const char *summary;                   // the manual page's NAME line
    std::span<const char *const> synopsis;  // the usage lines after the program name
    const char *description;
    std::span<const HelpSection> sections;
    std::span<const char *const> notes;    // paragraphs after the sections (the description in the manual page)
    std::span<const HelpItem> exitStatus;  // may be empty
    std::span<const HelpExample> examples = {};  // may be empty
};

QString helpText(const CommandHelp &help);

// `date` as YYYY-MM-DD.
QByteArray manPage(const CommandHelp &help, const QString &version, const QString &date);

// The body of the build's manual page writers: "WRITER FILE VERSION DATE" writes
// manPage(help, VERSION, DATE) to FILE. Returns the exit status.
int writeManPageMain(const CommandHelp &help, int argc, char *argv[]);

}  // namespace pictrove
