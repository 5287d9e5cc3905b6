#include "TerminalQrReader.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QFile>

#include <algorithm>

namespace pictrove {

namespace {

constexpr int kPixelsPerModule = 4;

struct Cell {
    bool topDark = false;
    bool bottomDark = false;
};

// An SGR colour code: true for the dark colours (black, grey), false for the light.
bool darkColour(int code)
{
    return code == 30 || code == 40 || code == 90 || code == 100;
}

QList<QList<Cell>> paint(const QString &text, TerminalTheme theme)
{
    const bool defaultFgDark = theme == TerminalTheme::Light;
    const bool defaultBgDark = theme == TerminalTheme::Dark;
    QList<QList<Cell>> rows;
    // Colours set on one line hold on the next, as in a terminal.
    bool fgDark = defaultFgDark;
    bool bgDark = defaultBgDark;
    for (const QString &line : text.split(u'\n')) {
        QList<Cell> cells;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == u'\x1b' && i + 1 < line.size() && line.at(i + 1) == u'[') {
                const qsizetype end = line.indexOf(u'm', i);
                if (end < 0)
                    break;
                for (const QString &part : line.mid(i + 2, end - i - 2).split(u';')) {
                    const int code = part.toInt();
                    if (code == 0 || code == 39)
                        fgDark = defaultFgDark;
                    if (code == 0 || code == 49)
                        bgDark = defaultBgDark;
                    if ((code >= 30 && code <= 37) || (code >= 90 && code <= 97)) {
                        fgDark = darkColour(code);
                    } else if ((code >= 40 && code <= 47) || (code >= 100 && code <= 107)) {
                        bgDark = darkColour(code);
                    }
                }
                i = end;
                continue;
            }
            if (c == u'\u2580')
                cells.append({fgDark, bgDark});
            else if (c == u'\u2584')
                cells.append({bgDark, fgDark});
            else if (c == u'\u2588')
                cells.append({fgDark, fgDark});
            else
                cells.append({bgDark, bgDark});
        }
        rows.append(cells);
    }
    return rows;
}

}  // namespace

bool haveQrReader()
{
    return !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty();
}

QString readTerminalQr(const QString &terminalText, TerminalTheme theme)
{
    const QList<QList<Cell>> rows = paint(terminalText, theme);
    qsizetype columns = 0;
    for (const QList<Cell> &row : rows)
        columns = std::max(columns, row.size());
    const bool blankDark = theme == TerminalTheme::Dark;
    // A terminal's margin around the text, in the theme's background.
    const int margin = 2 * kPixelsPerModule;
    const int width = int(columns) * kPixelsPerModule + 2 * margin;
    const int height = int(rows.size()) * 2 * kPixelsPerModule + 2 * margin;
    QByteArray pixels(qsizetype(width) * height, char(blankDark ? 0 : 255));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype col = 0; col < rows.at(r).size(); ++col) {
            const Cell cell = rows.at(r).at(col);
            for (int half = 0; half < 2; ++half) {
                const bool dark = half == 0 ? cell.topDark : cell.bottomDark;
                for (int dy = 0; dy < kPixelsPerModule; ++dy) {
                    const int y = margin + int(r * 2 + half) * kPixelsPerModule + dy;
                    for (int dx = 0; dx < kPixelsPerModule; ++dx)
                        pixels[qsizetype(y) * width + margin + int(col) * kPixelsPerModule + dx] = char(dark ? 0 : 255);
                }
            }
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("terminal.pgm"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(QStringLiteral("P5\n%1 %2\n255\n").arg(width).arg(height).toLatin1() + pixels);
    file.close();
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), QStringLiteral("--raw"), path});
    if (!zbar.waitForFinished(30000) || zbar.exitCode() != 0)
        return QString();
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

}  // namespace pictrove
