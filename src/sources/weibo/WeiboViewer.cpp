#include "sources/weibo/WeiboViewer.h"

#include "net/CookieStore.h"
#include "net/PageFetcher.h"
#include "net/PageText.h"
#include "sources/ServiceAddresses.h"
#include "sources/SourceFetch.h"
#include "sources/weibo/WeiboApi.h"
#include "sources/weibo/WeiboPages.h"
#include "sources/weibo/WeiboQrAnswers.h"

#include <QDateTime>

namespace pictrove {

namespace {

constexpr char16_t kWeiboConfig[] = u"https://weibo.com/ajax/config/get_config";
constexpr int kViewerTimeoutMs = 20000;

bool isWeiboCookie(const CookieFields &cookie)
{
    QString domain = cookie.domain.toLower();
    if (domain.startsWith(QLatin1Char('.')))
        domain.remove(0, 1);
    const auto within = [&](const QString &root) {
        return domain == root || domain.endsWith(QLatin1Char('.') + root);
    };
    if (within(QStringLiteral("weibo.com")) || within(QStringLiteral("weibo.cn")))
        return true;
    // The Sina passport keeps the same login under sina.com.cn.
    if (within(QStringLiteral("login.sina.com.cn")))
        return true;
    return within(QStringLiteral("sina.com.cn"))
        && (cookie.name == QLatin1String("SUB") || cookie.name == QLatin1String("SUBP")
            || cookie.name == QLatin1String("ALF") || cookie.name == QLatin1String("SCF"));
}

WeiboAnswer askJson(const QString &address, const std::function<bool()> &stopRequested)
{
    PageRequest request(address, QString(), kViewerTimeoutMs);
    request.headers = weiboApiHeaders(QString(), QStringLiteral("https://weibo.com/"));
    request.stopRequested = stopRequested;
    PageResponse response;
    const bool whole = fetch(request, response);
    const int status = whole ? response.statusCode() : 0;
    return readWeiboAnswer(status, whole ? getText(response, kTextInflate | kTextUtf8) : QString());
}

}  // namespace

WeiboViewer askWeiboViewer(const std::function<bool()> &stopRequested)
{
    WeiboViewer viewer;
    const WeiboAnswer config = askJson(QString::fromUtf16(kWeiboConfig), stopRequested);
    if (config.refusal == WeiboRefusal::LoginNeeded) {
        viewer.state = WeiboViewer::State::NotLoggedIn;
        return viewer;
    }
    if (config.refusal != WeiboRefusal::None) {
        viewer.detail = config.detail;
        return viewer;
    }
    viewer.uid = viewerUidOf(config.json);
    if (viewer.uid.isEmpty()) {
        viewer.state = WeiboViewer::State::NotLoggedIn;
        return viewer;
    }
    const WeiboAnswer profile =
        askJson(fillAddress(kWeiboProfileByUid, {QString::fromLatin1(QUrl::toPercentEncoding(viewer.uid))}),
                stopRequested);
    if (profile.refusal == WeiboRefusal::LoginNeeded) {
        viewer.state = WeiboViewer::State::NotLoggedIn;
        return viewer;
    }
    const WeiboOwner owner = weiboProfileOf(profile.json);
    if (profile.refusal != WeiboRefusal::None || owner.nick.isEmpty()) {
        viewer.detail = profile.detail;
        return viewer;
    }
    viewer.name = owner.nick;
    viewer.state = WeiboViewer::State::LoggedIn;
    return viewer;
}

bool hasSavedWeiboLogin()
{
    const QStringList pairs = CookieStore::process().cookieHeaderFor(QString::fromUtf16(kWeiboCookieRoot))
                                  .split(QStringLiteral("; "));
    for (const QString &pair : pairs)
        if (pair.startsWith(QLatin1String("SUB=")) && pair.size() > 4)
            return true;
    return false;
}

int forgetWeiboLogin()
{
    CookieStore &store = CookieStore::process();
    int forgotten = 0;
    for (CookieFields cookie : store.cookies()) {
        if (!isWeiboCookie(cookie))
            continue;
        // An expired cookie deletes the one it replaces.
        cookie.expiry = 1;
        if (store.addCookie(cookie))
            ++forgotten;
    }
    if (forgotten > 0)
        store.noteChanged();
    return forgotten;
}

}  // namespace pictrove
