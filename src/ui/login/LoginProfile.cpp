#include "ui/login/LoginProfile.h"

#include <QDir>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace pictrove {

namespace {

QWebEngineProfile *g_profile = nullptr;

// A cookie the browser dropped goes from the engine's store too: an expired
// replacement deletes it.
void forgetCookie(const QNetworkCookie &cookie)
{
    CookieFields fields = cookieFieldsFrom(cookie);
    fields.expiry = 1;
    CookieStore::process().addCookie(fields);
}

}  // namespace

CookieFields cookieFieldsFrom(const QNetworkCookie &cookie)
{
    CookieFields fields;
    // The browser writes a domain cookie with a leading dot and a host-only cookie
    // with the bare host name.
    fields.domain = cookie.domain();
    fields.hostOnly = !fields.domain.startsWith(u'.');
    fields.path = cookie.path().isEmpty() ? QStringLiteral("/") : cookie.path();
    fields.name = QString::fromUtf8(cookie.name());
    fields.value = QString::fromUtf8(cookie.value());
    fields.secure = cookie.isSecure();
    fields.httpOnly = cookie.isHttpOnly();
    fields.expiry = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
    return fields;
}

QWebEngineProfile *loginProfile(const QString &dataFolder)
{
    if (g_profile)
        return g_profile;
    const QString folder = dataFolder + QStringLiteral("browser");
    QDir().mkpath(folder);
    g_profile = new QWebEngineProfile(QStringLiteral("Pictrove"));
    g_profile->setPersistentStoragePath(folder);
    g_profile->setCachePath(folder + QStringLiteral("/cache"));
    g_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);

    QWebEngineCookieStore *cookies = g_profile->cookieStore();
    QObject::connect(cookies, &QWebEngineCookieStore::cookieAdded, g_profile,
                     [](const QNetworkCookie &cookie) { CookieStore::process().addCookie(cookieFieldsFrom(cookie)); });
    QObject::connect(cookies, &QWebEngineCookieStore::cookieRemoved, g_profile, &forgetCookie);
    // The browser's stored logins reach the engine even when its own cookie file was
    // lost: loading announces every stored cookie as added.
    cookies->loadAllCookies();
    return g_profile;
}

void releaseLoginProfile()
{
    delete g_profile;
    g_profile = nullptr;
}

}  // namespace pictrove
