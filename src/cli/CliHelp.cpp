#include "cli/CliHelp.h"

#include <QStringList>

namespace pictrove {

namespace {

const char *const kProgram = "pictrove-cli";
const char *const kSummary = "list and download the photo albums of Sina blog and Sina Weibo owners";

const char *const kSynopsis[] = {
    "[--data-dir DIR] [--cookies FILE] list ADDRESS",
    "[--data-dir DIR] [--cookies FILE] download ADDRESS [--albums SPEC] [--save DIR] [--threads N] "
    "[--timeout S] [--min-kb N] [--max-kb N] [--fix-format] [--fix-order] [--title-file] [--thunder-list] "
    "[--skip-previous] [--failed-list FILE]",
    "--help | --version",
};

const char *const kDescription =
    "Lists or downloads the photo albums of a Sina blog or Sina Weibo owner, with the engine and the "
    "settings of the desktop program pictrove.";

const HelpItem kCommands[] = {
    {"list ADDRESS", "print the owner's albums: number, name, picture count, remark (tab-separated)"},
    {"download ADDRESS", "download the chosen albums, one folder per album under the save folder"},
};

const HelpItem kOptions[] = {
    {"--data-dir DIR",
     "folder of soft.dat, the extension settings and the cookie store (default: the current folder when "
     "it holds a soft.dat, else ~/.local/share/Pictrove, the desktop program's folder, whose logins "
     "are used)"},
    {"--cookies FILE", "first import the cookies of a Netscape-format cookie file (a browser login)"},
    {"--albums SPEC", "album numbers as list prints them: 3, 1,4, 2-5 or all (default: all)"},
    {"--save DIR",
     "save folder (default: the last save path used, else ~/Pictures/Pictrove, or the data folder when "
     "it is the current folder)"},
    {"--threads N", "parallel transfers for this run, 1-15"},
    {"--timeout S", "network time-out in seconds for this run, 10 or more"},
    {"--min-kb N", "skip pictures smaller than N KB in this run"},
    {"--max-kb N", "skip pictures larger than N KB in this run (0: no limit)"},
    {"--fix-format", "correct each picture's extension to its real format"},
    {"--fix-order", "stamp the pictures' times so they sort in album order"},
    {"--title-file", "also write each picture's title into the album's title file"},
    {"--thunder-list", "write a Thunder download list per album instead of downloading"},
    {"--skip-previous", "skip pictures downloaded by an earlier run"},
    {"--failed-list FILE",
     "write the pictures that did not arrive to FILE, one per line: address, a tab, the reason (UTF-8), "
     "so a script can retry them"},
    {"--help", "show this help"},
    {"--version", "show the version"},
};

const char *const kNotes[] = {
    "Run-only options (--threads, --fix-format, ...) apply to one run and are never saved.",
    "After a download a summary line on stderr counts the pictures saved, skipped and failed.",
};

const HelpItem kExitStatus[] = {
    {"0", "done"},
    {"1", "no album listed or chosen"},
    {"2", "bad usage or not a web address"},
    {"3", "the save folder could not be created"},
    {"5", "some pictures did not arrive"},
    {"130", "interrupted"},
};

constexpr int kWidth = 80;
constexpr int kTermColumn = 22;

// The words of `text`; a bracketed group such as "[--albums SPEC]" counts as one word,
// so a line never breaks inside it.
QStringList unbreakableWords(const QString &text)
{
    QStringList words;
    int depth = 0;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (depth > 0)
            words.last() += u' ' + word;
        else
            words.append(word);
        depth += int(word.count(u'[')) - int(word.count(u']'));
    }
    return words;
}

// Appends `text` wrapped at kWidth: the first line continues `lead`, later lines start
// with `indent` spaces.
void appendWrapped(QString &out, const QString &lead, const QString &text, int indent)
{
    QString line = lead;
    bool lineHasWord = false;
    for (const QString &word : unbreakableWords(text)) {
        if (lineHasWord && line.size() + 1 + word.size() > kWidth) {
            out += line + u'\n';
            line = QString(indent, u' ');
            lineHasWord = false;
        }
        if (lineHasWord)
            line += u' ';
        line += word;
        lineHasWord = true;
    }
    out += line + u'\n';
}

void appendItems(QString &out, const char *heading, std::span<const HelpItem> items)
{
    out += QLatin1String(heading) + QStringLiteral(":\n");
    for (const HelpItem &item : items) {
        QString lead = QStringLiteral("  ") + QLatin1String(item.term);
        lead = lead.size() + 2 <= kTermColumn ? lead.leftJustified(kTermColumn, u' ') : lead + QStringLiteral("  ");
        appendWrapped(out, lead, QString::fromUtf8(item.text), kTermColumn);
    }
}

// Text for roff: hyphens as minus signs (so options can be searched and copied), and
// no line taken for a request.
QByteArray roff(const QString &text)
{
    QByteArray out = text.toUtf8();
    out.replace("\\", "\\e");
    out.replace("-", "\\-");
    if (out.startsWith('.') || out.startsWith('\''))
        out.prepend("\\&");
    return out;
}

bool isPlaceholder(const QString &word)
{
    bool letter = false;
    for (const QChar c : word) {
        if (c.isLower())
            return false;
        letter = letter || c.isLetter();
    }
    return letter;
}

// Option and command names bold, the placeholders (DIR, N) italic, brackets and "|"
// plain.
QByteArray roffStyled(const QString &text)
{
    QByteArrayList words;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        qsizetype start = 0;
        qsizetype end = word.size();
        while (start < end && word.at(start) == u'[')
            ++start;
        while (end > start && word.at(end - 1) == u']')
            --end;
        const QString core = word.mid(start, end - start);
        QByteArray styled;
        if (core == QLatin1String("|"))
            styled = "|";
        else if (isPlaceholder(core))
            styled = "\\fI" + roff(core) + "\\fR";
        else
            styled = "\\fB" + roff(core) + "\\fR";
        words.append(roff(word.left(start)) + styled + roff(word.mid(end)));
    }
    return words.join(' ');
}

void appendManItems(QByteArray &out, const char *section, std::span<const HelpItem> items)
{
    out += ".SH " + QByteArray(section) + "\n";
    for (const HelpItem &item : items)
        out += ".TP\n" + roffStyled(QString::fromUtf8(item.term)) + "\n" + roff(QString::fromUtf8(item.text)) + "\n";
}

}  // namespace

std::span<const HelpItem> cliOptionHelp()
{
    return kOptions;
}

QString cliUsage()
{
    QString out;
    const QString program = QLatin1String(kProgram) + u' ';
    for (const char *line : kSynopsis) {
        const QString lead = (out.isEmpty() ? QStringLiteral("usage: ") : QStringLiteral("       ")) + program;
        appendWrapped(out, lead, QString::fromUtf8(line), int(QStringLiteral("usage: ").size() + program.size()));
    }
    out += u'\n';
    appendWrapped(out, QString(), QString::fromUtf8(kDescription), 0);
    out += u'\n';
    appendItems(out, "Commands", kCommands);
    out += u'\n';
    appendItems(out, "Options", kOptions);
    for (const char *note : kNotes) {
        out += u'\n';
        appendWrapped(out, QString(), QString::fromUtf8(note), 0);
    }
    out += u'\n';
    QStringList codes;
    for (const HelpItem &item : kExitStatus)
        codes.append(QLatin1String(item.term) + u' ' + QString::fromUtf8(item.text));
    appendWrapped(out, QString(), QStringLiteral("Exit status: ") + codes.join(QStringLiteral(", ")) + u'.', 0);
    return out;
}

QByteArray cliManPage(const QString &version, const QString &date)
{
    const QString program = QLatin1String(kProgram);
    QByteArray out = ".TH " + roff(program.toUpper()) + " 1 \"" + roff(date) + "\" \"" + roff(program) + " "
                     + roff(version) + "\" \"User Commands\"\n";
    // Option names must not be hyphenated, nor the synopsis stretched to the margin.
    out += ".nh\n.ad l\n";
    out += ".SH NAME\n" + roff(program) + " \\- " + roff(QString::fromUtf8(kSummary)) + "\n";
    out += ".SH SYNOPSIS\n";
    for (const char *line : kSynopsis)
        out += ".B " + roff(program) + "\n" + roffStyled(QString::fromUtf8(line)) + "\n.br\n";
    out += ".SH DESCRIPTION\n" + roff(QString::fromUtf8(kDescription)) + "\n";
    for (const char *note : kNotes)
        out += ".PP\n" + roff(QString::fromUtf8(note)) + "\n";
    appendManItems(out, "COMMANDS", kCommands);
    appendManItems(out, "OPTIONS", kOptions);
    appendManItems(out, "EXIT STATUS", kExitStatus);
    return out;
}

}  // namespace pictrove
