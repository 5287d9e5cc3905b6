// The two ways a help table is written: wrapped for the terminal, and as a manual page
// that man(1) renders with option names intact.

#include "text/CommandHelp.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace pictrove {

namespace {

const char *const kSynopsis[] = {
    "[--data-dir DIR] fetch ADDRESS [--albums SPEC] [--save DIR] [--threads N] [--timeout S] [--min-kb N] "
    "[--max-kb N] [--failed-list FILE]",
};
const HelpItem kOptions[] = {
    {"--save DIR", "save folder, a long explanation that needs more than one line of an eighty-column "
                   "terminal to say what it has to say"},
    {"--a-very-long-option-name FILE", ".starts with a dot and has a back\\slash"},
};
const HelpSection kSections[] = {{"Options", kOptions}};
const HelpItem kExit[] = {{"0", "done"}, {"2", "bad usage"}};
const CommandHelp kHelp{"tool", "does things", kSynopsis, "Does things.", kSections, {}, kExit};

TEST(CommandHelp, TerminalTextFitsEightyColumnsWithoutSplittingAnOption)
{
    const QStringList lines = helpText(kHelp).split(u'\n');
    for (const QString &line : lines) {
        EXPECT_LE(line.size(), 80) << line.toStdString();
        EXPECT_EQ(line.count(u'['), line.count(u']')) << line.toStdString();
    }
    // Continuation lines of an item start under its text; a term too long for its
    // column pushes the text after it instead.
    EXPECT_TRUE(lines.contains(QStringLiteral("                      line of an eighty-column terminal to say what it has to")))
        << helpText(kHelp).toStdString();
    EXPECT_TRUE(lines.contains(
        QStringLiteral("  --a-very-long-option-name FILE  .starts with a dot and has a back\\slash")));
    EXPECT_EQ(lines.at(lines.size() - 2), QStringLiteral("Exit status: 0 done, 2 bad usage."));
}

TEST(CommandHelp, ManPageKeepsOptionsWholeAndTextOutOfRequests)
{
    const QByteArray page = manPage(kHelp, QStringLiteral("1.2"), QStringLiteral("2015-10-28"));
    const QByteArrayList lines = page.split('\n');
    EXPECT_EQ(lines.at(0), ".TH TOOL 1 \"2015\\-10\\-28\" \"tool 1.2\" \"User Commands\"");
    // Minus signs, not hyphens, so a reader can search for and copy the options.
    EXPECT_TRUE(lines.contains("\\fB\\-\\-save\\fR \\fIDIR\\fR"));
    // A text line starting with "." would be read as a request; "\" starts an escape.
    EXPECT_TRUE(lines.contains("\\&.starts with a dot and has a back\\eslash"));
    EXPECT_TRUE(page.contains(".SH EXIT STATUS\n.TP\n\\fB0\\fR\ndone\n"));
}

// Examples are files and command lines to copy: kept line for line, blank lines too,
// never wrapped, and in the manual page in a no-fill block.
TEST(CommandHelp, ExamplesAreShownAsTheyAre)
{
    const HelpExample examples[] = {
        {"A unit file:", "[Service]\n.dotted=1\n\nExecStart=/usr/bin/tool fetch --save %h/a-very-long-path-that-goes-on-and-on/and-on/and-on\n"},
    };
    CommandHelp help = kHelp;
    help.examples = examples;
    EXPECT_TRUE(helpText(help).endsWith(
        "A unit file:\n    [Service]\n    .dotted=1\n\n"
        "    ExecStart=/usr/bin/tool fetch --save %h/a-very-long-path-that-goes-on-and-on/and-on/and-on\n"))
        << helpText(help).toStdString();
    EXPECT_TRUE(manPage(help, QStringLiteral("1.2"), QStringLiteral("2015-10-28"))
                    .endsWith(".SH EXAMPLES\n.PP\nA unit file:\n.PP\n.RS 4\n.nf\n[Service]\n\\&.dotted=1\n\n"
                              "ExecStart=/usr/bin/tool fetch \\-\\-save %h/a\\-very\\-long\\-path\\-that\\-goes\\-on\\-and\\-on/and\\-on/and\\-on\n"
                              ".fi\n.RE\n"));
    // Without examples nothing is added.
    EXPECT_FALSE(manPage(kHelp, QStringLiteral("1.2"), QStringLiteral("2015-10-28")).contains("EXAMPLES"));
}

}  // namespace

}  // namespace pictrove
