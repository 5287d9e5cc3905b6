#include "text/CleanName.h"

#include "text/TextScan.h"

#include <QDateTime>

namespace pictrove {

namespace {

bool onlyDots(const QString &text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char('.'))
            return false;
    }
    return true;
}

bool isRemoved(QChar c)
{
    switch (c.unicode()) {
    case u'\r':
    case u'\n':
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
    case u'\a':
    // A NUL (reachable through a "\u0000" escape in a caption) would silently cut
    // the path short at the file-system call.
    case u'\0':
        return true;
    default:
        return false;
    }
}

}  // namespace

QString cleanName(const QString &text, int code, bool withFallback)
{
    // The order is deliberate: entities are decoded before illegal characters go, so
    // an encoded quote is removed too; the dot test runs before dots are stripped, so
    // a name of only dots survives as full-width dots instead of vanishing (and never
    // becomes "." or "..").
    QString name = text;
    decodeEntities(name);
    while (name.contains(QLatin1String("  ")))
        name.replace(QLatin1String("  "), QLatin1String(" "));
    name = name.trimmed();
    if (onlyDots(name))
        name.replace(QLatin1Char('.'), QChar(u'\u3002'));

    QString kept;
    kept.reserve(name.size());
    for (const QChar c : std::as_const(name)) {
        if (c == QLatin1Char('\t'))
            kept += QLatin1Char('_');
        else if (!isRemoved(c))
            kept += c;
    }
    name = std::move(kept);

    // Dots and blanks at the ends go together until neither is left: stripping the
    // dots once and trimming once turns ". .. " into "..", a path that climbs out of
    // its folder.
    for (qsizetype before = -1; before != name.size();) {
        before = name.size();
        qsizetype end = name.size();
        while (end > 0 && name.at(end - 1) == QLatin1Char('.'))
            --end;
        name.truncate(end);
        qsizetype begin = 0;
        while (begin < name.size() && name.at(begin) == QLatin1Char('.'))
            ++begin;
        name.remove(0, begin);
        name = name.trimmed();
    }

    if (withFallback && (name.isEmpty() || name.size() >= 1000)) {
        if (code == kCleanNameTimeFallback)
            name = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
        else
            name = QStringLiteral("pic%1").arg(code);
    }
    return name;
}

}  // namespace pictrove
