#include "sources/weibo/WeiboAddress.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace pictrove {

namespace {

// Page ids of personal pages are this prefix followed by the user id.
constexpr QStringView kPersonalPagePrefix = u"100505";

// First path segments of weibo.com that are the site's own pages, not owners.
const QStringList kSitePaths = {
    QStringLiteral("ajax"),   QStringLiteral("home"),     QStringLiteral("login.php"),
    QStringLiteral("signup"), QStringLiteral("search"),   QStringLiteral("hot"),
    QStringLiteral("tv"),     QStringLiteral("newlogin"), QStringLiteral("set"),
    QStringLiteral("logout.php"), QStringLiteral("favicon.ico"),
};

bool isUid(const QString &text)
{
    static const QRegularExpression digits(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{1,20}")));
    return digits.match(text).hasMatch();
}

QUrl parsed(const QString &address)
{
    QString text = address.trimmed();
    // People paste addresses without their scheme, too.
    if (!text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("https://"));
    return QUrl(text);
}

WeiboOwnerRef uid(const QString &value)
{
    return isUid(value) ? WeiboOwnerRef{WeiboOwnerRef::Kind::Uid, value} : WeiboOwnerRef{};
}

// A page id of weibo.com/p/ or a container of m.weibo.cn/p/: a six-digit kind followed
// by the user id ("1005051234567890", "230413" + uid + "_-_WEIBO_SECOND_PROFILE_WEIBO"),
// the bare id ("1234567890"), or parts joined by "_-_" one of which is the id
// ("231051_-_followers_-_1234567890").
WeiboOwnerRef ownerOfPageId(const QString &pageId)
{
    constexpr qsizetype kUidLength = 10;
    constexpr qsizetype kKindLength = 6;
    for (const QString &part : pageId.split(QStringLiteral("_-_"))) {
        if (!isUid(part))
            continue;
        if (part.size() == kUidLength)
            return uid(part);
        if (part.size() == kKindLength + kUidLength)
            return uid(part.right(kUidLength));
        if (part.size() > kUidLength && part.startsWith(kPersonalPagePrefix))
            return uid(part.mid(kPersonalPagePrefix.size()));
    }
    return {};
}

}  // namespace

bool isWeiboAddress(const QString &address)
{
    const QString host = parsed(address).host().toLower();
    for (const QString &domain : {QStringLiteral("weibo.com"), QStringLiteral("weibo.cn")}) {
        if (host == domain || host.endsWith(QLatin1Char('.') + domain))
            return true;
    }
    return false;
}

WeiboOwnerRef weiboOwnerOfAddress(const QString &address)
{
    const QUrl url = parsed(address);
    if (!url.isValid())
        return {};
    const QString host = url.host().toLower();
    const QStringList path = url.path(QUrl::FullyDecoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (path.isEmpty())
        return {};
    const QString first = path.at(0);
    const QString second = path.value(1);

    if (host == u"photo.weibo.com")
        return uid(first);
    if (host == u"m.weibo.cn") {
        if (first == u"u" || first == u"profile")
            return uid(second);
        // m.weibo.cn/p/index?containerid=... names the container in its query.
        if (first == u"p" && second == u"index")
            return ownerOfPageId(QUrlQuery(url).queryItemValue(QStringLiteral("containerid"), QUrl::FullyDecoded));
        if (first == u"p")
            return ownerOfPageId(second);
        return {};
    }
    if (host != u"weibo.com" && host != u"www.weibo.com")
        return {};

    if (first == u"u")
        return uid(second);
    if (first == u"p")
        return ownerOfPageId(second);
    if (first == u"n")
        return second.isEmpty() ? WeiboOwnerRef{} : WeiboOwnerRef{WeiboOwnerRef::Kind::ScreenName, second};
    if (isUid(first))
        return uid(first);
    if (kSitePaths.contains(first.toLower()) || first.contains(QLatin1Char('.')))
        return {};
    return {WeiboOwnerRef::Kind::Custom, first};
}

}  // namespace pictrove
