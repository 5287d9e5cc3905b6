#include "text/TextScan.h"

#include <cstdint>
#include <ctime>

namespace pictrove {

QString getBetween(QString &text, const QString &start, const QString &end, int flags)
{
    QString result;
    const qsizetype at = text.indexOf(start);
    if (at < 0)
        return result;  // the text stays as it was, whatever the flags

    // The rest after the start marker; with kBetweenAdvance it becomes the text, so
    // the value and its end marker are still at the head for the caller's next cut.
    QString rest = text.mid(at + start.size());
    if (flags & kBetweenTakeRest)
        result = rest;
    const qsizetype p = rest.indexOf(end);
    if (p >= 0)
        result = rest.left(p);
    if (flags & kBetweenAdvance)
        text = std::move(rest);
    return result;
}

int keepBefore(QString &text, const QString &marker)
{
    const qsizetype p = text.indexOf(marker);
    if (p < 0)
        return -1;
    text.truncate(p);
    return int(p);
}

int countOf(const QString &text, const QString &separator)
{
    // An empty separator would match everywhere without moving on; it counts as absent.
    if (separator.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype p = text.indexOf(separator); p >= 0; p = text.indexOf(separator, p + separator.size()))
        ++count;
    return count;
}

int split(const QString &text, const QString &separator, QStringList &list)
{
    list.clear();
    const int n = countOf(text, separator);
    if (n == 0)
        return 0;
    qsizetype from = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype p = text.indexOf(separator, from);
        list.append(text.mid(from, p - from));
        from = p + separator.size();
    }
    list.append(text.mid(from));
    return n;
}

namespace {

// QString::replace with an empty `before` inserts `after` between every unit; an
// empty old piece in the user's replacement list must replace nothing instead.
void replaceAll(QString &text, const QString &before, const QString &after)
{
    if (!before.isEmpty())
        text.replace(before, after);
}

}  // namespace

void replaceEach(QString &text, const QString &olds, const QString &news)
{
    const QString bar = QStringLiteral("|");
    const int n = countOf(olds, bar);
    if (n == 0 || n != countOf(news, bar)) {
        replaceAll(text, olds, news);
        return;
    }
    QStringList oldPieces;
    QStringList newPieces;
    split(olds, bar, oldPieces);
    split(news, bar, newPieces);
    for (qsizetype i = 0; i < oldPieces.size(); ++i)
        replaceAll(text, oldPieces.at(i), newPieces.at(i));
}

void decodeEntities(QString &text)
{
    // The order matters: "&amp;" goes before the entities that follow it, so a
    // doubly escaped "&amp;lt;" ends as "<", while "&amp;quot;" stays "&quot;".
    static const struct {
        const char16_t *entity;
        const char16_t *plain;
    } kEntities[] = {
        {u"&quot;", u"\""}, {u"&amp;", u"&"},         {u"&lt;", u"<"}, {u"&gt;", u">"},
        {u"&nbsp;", u" "},  {u"&hellip;", u"\u2026"}, {u"&#39;", u"'"},
    };
    if (!text.contains(QLatin1Char('&')))
        return;
    for (const auto &e : kEntities)
        text.replace(QString::fromUtf16(e.entity), QString::fromUtf16(e.plain));
}

namespace {

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

}  // namespace

QString unescapeUnicode(const QString &text)
{
    const QString escape = QStringLiteral("\\u");
    QStringList pieces;
    if (split(text, escape, pieces) == 0)
        return text;

    QString result = pieces.at(0);
    result.reserve(text.size());
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString &piece = pieces.at(i);
        if (piece.size() < 4) {
            result += piece;
            continue;
        }
        // Reading stops at the first non-hex unit; the four units are consumed anyway.
        int value = 0;
        int digits = 0;
        for (; digits < 4; ++digits) {
            const int v = hexValue(piece.at(digits));
            if (v < 0)
                break;
            value = value * 16 + v;
        }
        if (digits == 0) {
            // Not an escape at all ("\\user"): keep it as written rather than plant
            // a NUL that would cut the text short further down.
            result += escape + piece;
            continue;
        }
        result += QChar(char16_t(value));
        result += QStringView(piece).mid(4);
    }
    return result;
}

QString stripTags(const QString &text)
{
    QString result = text;
    QString work = text;
    // Each round advances the working copy past one "<", so the loop ends.
    for (QString t = getBetween(work, QStringLiteral("<"), QStringLiteral(">"), kBetweenAdvance);
         !t.isEmpty();
         t = getBetween(work, QStringLiteral("<"), QStringLiteral(">"), kBetweenAdvance)) {
        result.replace(QLatin1Char('<') + t + QLatin1Char('>'), QString());
    }
    return result;
}

QString randomFraction()
{
    // A generator of our own, seeded from the clock at every call: the value only
    // has to defeat caches, and callers in the same second may share it.
    std::uint32_t state = std::uint32_t(std::time(nullptr));
    state = state * 214013u + 2531011u;
    const int r = int((state >> 16) & 0x7FFF);
    return QString::asprintf("%0.16f\n", double(r) / 32767.0);
}

}  // namespace pictrove
