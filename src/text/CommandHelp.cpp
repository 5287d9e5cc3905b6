#include "text/CommandHelp.h"

#include <QFile>
#include <QStringList>

#include <cstdio>

namespace pictrove {

namespace {

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
    out += QString::fromUtf8(heading) + QStringLiteral(":\n");
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

void appendManItems(QByteArray &out, const QByteArray &section, std::span<const HelpItem> items)
{
    out += ".SH " + section + "\n";
    for (const HelpItem &item : items)
        out += ".TP\n" + roffStyled(QString::fromUtf8(item.term)) + "\n" + roff(QString::fromUtf8(item.text)) + "\n";
}

QStringList exampleLines(const HelpExample &example)
{
    QStringList lines = QString::fromUtf8(example.text).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

QString helpText(const CommandHelp &help)
{
    QString out;
    const QString program = QString::fromUtf8(help.program) + u' ';
    const QString usage = QStringLiteral("usage: ");
    for (const char *line : help.synopsis) {
        const QString lead = (out.isEmpty() ? usage : QString(usage.size(), u' ')) + program;
        appendWrapped(out, lead, QString::fromUtf8(line), int(usage.size() + program.size()));
    }
    out += u'\n';
    appendWrapped(out, QString(), QString::fromUtf8(help.description), 0);
    for (const HelpSection &section : help.sections) {
        out += u'\n';
        appendItems(out, section.heading, section.items);
    }
    for (const char *note : help.notes) {
        out += u'\n';
        appendWrapped(out, QString(), QString::fromUtf8(note), 0);
    }
    if (!help.exitStatus.empty()) {
        QStringList codes;
        for (const HelpItem &item : help.exitStatus)
            codes.append(QString::fromUtf8(item.term) + u' ' + QString::fromUtf8(item.text));
        out += u'\n';
        appendWrapped(out, QString(), QStringLiteral("Exit status: ") + codes.join(QStringLiteral(", ")) + u'.', 0);
    }
    for (const HelpExample &example : help.examples) {
        out += u'\n';
        appendWrapped(out, QString(), QString::fromUtf8(example.caption), 0);
        for (const QString &line : exampleLines(example))
            out += line.isEmpty() ? QStringLiteral("\n") : QStringLiteral("    ") + line + u'\n';
    }
    return out;
}

QByteArray manPage(const CommandHelp &help, const QString &version, const QString &date)
{
    const QString program = QString::fromUtf8(help.program);
    QByteArray out = ".TH " + roff(program.toUpper()) + " 1 \"" + roff(date) + "\" \"" + roff(program) + " "
                     + roff(version) + "\" \"User Commands\"\n";
    // Option names must not be hyphenated, nor the synopsis stretched to the margin.
    out += ".nh\n.ad l\n";
    out += ".SH NAME\n" + roff(program) + " \\- " + roff(QString::fromUtf8(help.summary)) + "\n";
    out += ".SH SYNOPSIS\n";
    for (const char *line : help.synopsis)
        out += ".B " + roff(program) + "\n" + roffStyled(QString::fromUtf8(line)) + "\n.br\n";
    out += ".SH DESCRIPTION\n" + roff(QString::fromUtf8(help.description)) + "\n";
    for (const char *note : help.notes)
        out += ".PP\n" + roff(QString::fromUtf8(note)) + "\n";
    for (const HelpSection &section : help.sections)
        appendManItems(out, QString::fromUtf8(section.heading).toUpper().toUtf8(), section.items);
    if (!help.exitStatus.empty())
        appendManItems(out, "EXIT STATUS", help.exitStatus);
    if (!help.examples.empty())
        out += ".SH EXAMPLES\n";
    for (const HelpExample &example : help.examples) {
        out += ".PP\n" + roff(QString::fromUtf8(example.caption)) + "\n.PP\n.RS 4\n.nf\n";
        for (const QString &line : exampleLines(example))
            out += roff(line) + "\n";
        out += ".fi\n.RE\n";
    }
    return out;
}

int writeManPageMain(const CommandHelp &help, int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FILE VERSION DATE\n", argv[0]);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray page = manPage(help, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

}  // namespace pictrove
