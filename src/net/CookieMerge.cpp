#include "net/CookieMerge.h"

#include "net/NetscapeCookies.h"

#include <QSet>

#include <optional>

namespace pictrove {

namespace {

QString keyOf(const CookieFields &cookie)
{
    QString domain = cookie.domain.toLower();
    while (domain.startsWith(QLatin1Char('.')))
        domain.remove(0, 1);
    return domain + QLatin1Char('\t') + cookie.path + QLatin1Char('\t') + cookie.name;
}

std::optional<QByteArray> stateIn(const CookieSet &set, const QString &key)
{
    const auto it = set.constFind(key);
    if (it == set.constEnd())
        return std::nullopt;
    return formatNetscapeLine(*it);
}

}  // namespace

CookieSet cookieSetOf(const QList<CookieFields> &cookies)
{
    CookieSet set;
    for (const CookieFields &cookie : cookies)
        set.insert(keyOf(cookie), cookie);
    return set;
}

CookieSet mergeCookieSets(const CookieSet &ours, const CookieSet &base, const CookieSet &file,
                          NewerSide bothChanged)
{
    QSet<QString> keys;
    for (const CookieSet *set : {&ours, &base, &file})
        for (auto it = set->constBegin(); it != set->constEnd(); ++it)
            keys.insert(it.key());

    CookieSet merged;
    for (const QString &key : keys) {
        const auto was = stateIn(base, key);
        const bool weChanged = stateIn(ours, key) != was;
        const bool fileChanged = stateIn(file, key) != was;
        const bool takeFile = fileChanged && (!weChanged || bothChanged == NewerSide::File);
        const CookieSet &from = takeFile ? file : ours;
        const auto it = from.constFind(key);
        if (it != from.constEnd())
            merged.insert(key, *it);
    }
    return merged;
}

}  // namespace pictrove
