#include "net/NetscapeCookies.h"

#include <QList>

namespace pictrove {

namespace {

const QByteArray kHttpOnlyPrefix = QByteArrayLiteral("#HttpOnly_");

bool hasForbiddenChar(const QString &text, bool allowSpace)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == u';')
            return true;
        if (!allowSpace && u == u' ')
            return true;
    }
    return false;
}

QString bareDomain(const QString &domain)
{
    // Blanks (of any kind: a no-break space too) and dots alternate until none is left
    // in front, so a domain read back from its own line comes out the same.
    QString d = domain.trimmed().toLower();
    while (d.startsWith(QLatin1Char('.')))
        d = d.mid(1).trimmed();
    return d;
}

}  // namespace

bool parseNetscapeLine(QByteArray line, CookieFields &cookie)
{
    while (line.endsWith('\r') || line.endsWith('\n'))
        line.chop(1);
    bool httpOnly = false;
    if (line.startsWith(kHttpOnlyPrefix)) {
        httpOnly = true;
        line.remove(0, kHttpOnlyPrefix.size());
    }
    if (line.trimmed().isEmpty() || line.startsWith('#'))
        return false;
    QList<QByteArray> fields = line.split('\t');
    // Some exporters drop the tab before an empty value.
    if (fields.size() == 6)
        fields.append(QByteArray());
    if (fields.size() != 7)
        return false;
    bool expiryOk = false;
    const qint64 expiry = fields[4].trimmed().toLongLong(&expiryOk);
    if (!expiryOk || expiry < 0)
        return false;

    CookieFields parsed;
    parsed.domain = bareDomain(QString::fromUtf8(fields[0]));
    parsed.hostOnly = fields[1].trimmed().toUpper() != "TRUE";
    parsed.path = QString::fromUtf8(fields[2]);
    parsed.secure = fields[3].trimmed().toUpper() == "TRUE";
    parsed.expiry = expiry;
    parsed.name = QString::fromUtf8(fields[5]);
    parsed.value = QString::fromUtf8(fields[6]);
    parsed.httpOnly = httpOnly;
    if (parsed.path.isEmpty())
        parsed.path = QStringLiteral("/");
    if (!cookieFieldsValid(parsed))
        return false;
    cookie = parsed;
    return true;
}

QByteArray formatNetscapeLine(const CookieFields &cookie)
{
    const QString domain = bareDomain(cookie.domain);
    QByteArray line;
    if (cookie.httpOnly)
        line += kHttpOnlyPrefix;
    line += (cookie.hostOnly ? QString() : QStringLiteral(".")).toUtf8() + domain.toUtf8();
    line += cookie.hostOnly ? "\tFALSE\t" : "\tTRUE\t";
    line += (cookie.path.isEmpty() ? QStringLiteral("/") : cookie.path).toUtf8();
    line += cookie.secure ? "\tTRUE\t" : "\tFALSE\t";
    line += QByteArray::number(cookie.expiry) + '\t';
    line += cookie.name.toUtf8() + '\t' + cookie.value.toUtf8();
    return line;
}

bool cookieFieldsValid(const CookieFields &cookie)
{
    const QString domain = bareDomain(cookie.domain);
    if (domain.isEmpty() || cookie.name.isEmpty() || cookie.expiry < 0)
        return false;
    // A line starting with "#" is a comment in the cookie file: such a domain would be
    // lost at the next load.
    if (hasForbiddenChar(domain, false) || hasForbiddenChar(cookie.name, false) || domain.startsWith(QLatin1Char('#'))
        || cookie.name.contains(QLatin1Char('=')) || cookie.name.startsWith(QLatin1Char('#')))
        return false;
    // libcurl drops cookie lines longer than it can parse (5000 bytes, 4096 for a name
    // or a value); a cookie it cannot hold must be refused here, not half-taken.
    if (cookie.name.toUtf8().size() + cookie.value.toUtf8().size() > kMaxCookieBytes)
        return false;
    if (!cookie.path.isEmpty() && (hasForbiddenChar(cookie.path, false)
                                   || !cookie.path.startsWith(QLatin1Char('/'))))
        return false;
    return !hasForbiddenChar(cookie.value, true);
}

bool cookieMatches(const CookieFields &cookie, const QString &scheme, const QString &host,
                   const QString &path, qint64 now)
{
    if (cookie.expiry != 0 && cookie.expiry <= now)
        return false;
    if (cookie.secure && scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
        return false;

    const QString domain = bareDomain(cookie.domain);
    const QString h = host.toLower();
    if (cookie.hostOnly) {
        if (h != domain)
            return false;
    } else if (h != domain && !h.endsWith(QLatin1Char('.') + domain)) {
        return false;
    }

    // "/a" covers "/a", "/a/" and "/a/b" but not "/ab".
    const QString cookiePath = cookie.path.isEmpty() ? QStringLiteral("/") : cookie.path;
    const QString requestPath = path.isEmpty() ? QStringLiteral("/") : path;
    if (requestPath == cookiePath)
        return true;
    if (!requestPath.startsWith(cookiePath))
        return false;
    return cookiePath.endsWith(QLatin1Char('/')) || requestPath.at(cookiePath.size()) == QLatin1Char('/');
}

}  // namespace pictrove
