#include "support/PassportStandIn.h"

#include <QMutexLocker>
#include <QUrl>
#include <QUrlQuery>

namespace pictrove {

namespace {

CannedResponse json(const QByteArray &body)
{
    return CannedResponse::ok(body, "application/json;charset=UTF-8");
}

QByteArray loginCookie(const char *name)
{
    return QByteArray(name) + '=' + PassportStandIn::kLoginCookieValue
        + "; Path=/; Domain=.weibo.com; Secure; HttpOnly; Expires=Fri, 01 Jan 2100 00:00:00 GMT";
}

}  // namespace

PassportStandIn::PassportStandIn()
{
    m_server.route("passport.weibo.com", "/sso/v2/qrcode/image", [this](const RecordedRequest &) {
        QMutexLocker lock(&m_mutex);
        return m_newerGone ? CannedResponse::error(404, "<html>404</html>") : makeCode(false);
    });
    m_server.route("passport.weibo.com", "/sso/v2/qrcode/check",
                   [this](const RecordedRequest &request) { return check(request, false); });
    // The Sina passport's older pair answers JSONP and confirms with the ticket alone.
    m_server.route("login.sina.com.cn", "/sso/qrcode/image", [this](const RecordedRequest &) {
        QMutexLocker lock(&m_mutex);
        return makeCode(true);
    });
    m_server.route("login.sina.com.cn", "/sso/qrcode/check",
                   [this](const RecordedRequest &request) { return check(request, true); });
    // The cross-domain login: the Sina passport takes the ticket and hands over to
    // Weibo's, which sets the login cookies.
    m_server.route("login.sina.com.cn", "/sso/login.php", [](const RecordedRequest &request) {
        if (request.query().contains("alt=ALT-OLD-TICKET") && request.query().contains("returntype=TEXT"))
            return json(R"({"retcode":"0","crossDomainUrlList":["https://passport.weibo.com/wbsso/login?ticket=ST-stand-in&ssosavestate=1","https://example.test/steal"]})");
        if (!request.query().contains("alt=ALT-TICKET"))
            return CannedResponse::error(400, "bad ticket");
        return CannedResponse::redirect("https://passport.weibo.com/wbsso/login?ticket=ST-stand-in")
            .withCookie("SUB=stand-in-sina; Path=/; Domain=.sina.com.cn; Secure; HttpOnly");
    });
    m_server.route("passport.weibo.com", "/wbsso/login",
                   CannedResponse::redirect("https://weibo.com/")
                       .withCookie(loginCookie("SUB"))
                       .withCookie(loginCookie("SUBP")));
    m_server.route("login.sina.com.cn", "/sso/nologin.php", CannedResponse::redirect("https://weibo.com/"));
    m_server.route("weibo.com", "/", CannedResponse::ok("<html><title>微博</title></html>"));
    m_server.route("weibo.com", "/ajax/config/get_config", [this](const RecordedRequest &request) {
        QMutexLocker lock(&m_mutex);
        const bool loggedIn = !m_loginRunOut && request.header("Cookie").contains(QByteArray("SUB=") + kLoginCookieValue);
        if (!loggedIn)
            return json(R"({"ok":1,"data":{"login":false}})");
        return json(QStringLiteral(R"({"ok":1,"data":{"login":true,"uid":"%1"}})").arg(kViewerUid).toUtf8());
    });
    m_server.route("weibo.com", "/ajax/profile/info", [this](const RecordedRequest &request) {
        QMutexLocker lock(&m_mutex);
        const bool loggedIn = !m_loginRunOut && request.header("Cookie").contains(QByteArray("SUB=") + kLoginCookieValue);
        if (!loggedIn)
            return json(R"({"ok":-100,"url":"https://passport.weibo.com/sso/signin"})");
        return json(QStringLiteral(R"({"ok":1,"data":{"user":{"id":%1,"idstr":"%1","screen_name":"%2"}}})")
                        .arg(kViewerUid, kViewerName)
                        .toUtf8());
    });
}

CannedResponse PassportStandIn::makeCode(bool jsonp)
{
    const int code = ++m_codesMade;
    m_answered.append(0);
    const QString image = QStringLiteral("https://v2.qr.weibo.cn/inf/gen?api_key=stand-in&data=%1&size=180")
                              .arg(QString::fromLatin1(QUrl::toPercentEncoding(codeText(code))));
    QByteArray body = QStringLiteral(R"({"retcode":20000000,"msg":"succ","data":{"qrid":"qr%1","image":"%2"}})")
                          .arg(code)
                          .arg(image)
                          .toUtf8();
    if (jsonp)
        body = "STK_1(" + body + ");";
    return json(body);
}

CannedResponse PassportStandIn::check(const RecordedRequest &request, bool older)
{
    QMutexLocker lock(&m_mutex);
    ++m_checks;
    const QString qrid = QUrlQuery(QString::fromLatin1(request.query())).queryItemValue(QStringLiteral("qrid"));
    const int code = qrid.mid(2).toInt();
    if (!qrid.startsWith(QLatin1String("qr")) || code < 1 || code > m_answered.size())
        return json(R"({"retcode":50114003,"msg":"二维码不存在"})");
    const QList<int> script = m_scripts.value(code - 1, {kRefusedRetcode});
    const int retcode = script.value(qMin(m_answered[code - 1]++, int(script.size()) - 1));
    if (retcode == kBusyServer)
        return CannedResponse::error(502, "<html>502 Bad Gateway</html>");
    if (retcode == 20000000 && older)
        return json(R"(STK_2({"retcode":20000000,"msg":"succ","data":{"alt":"ALT-OLD-TICKET"}});)");
    if (retcode == 20000000) {
        const QString address = QStringLiteral("https://%1%2?entry=miniblog&returntype=META&alt=ALT-TICKET")
                                    .arg(m_confirmationHost, m_confirmationPath);
        return json(QStringLiteral(R"({"retcode":20000000,"msg":"succ","data":{"url":"%1"}})")
                        .arg(address)
                        .toUtf8());
    }
    if (retcode == kRefusedRetcode)
        return json(QStringLiteral(R"({"retcode":%1,"msg":"%2"})").arg(retcode).arg(kRefusalMessage).toUtf8());
    return json(QStringLiteral(R"({"retcode":%1,"msg":"wait","data":null})").arg(retcode).toUtf8());
}

void PassportStandIn::setScripts(const QList<QList<int>> &scripts)
{
    QMutexLocker lock(&m_mutex);
    m_scripts = scripts;
    m_answered.clear();
    m_codesMade = 0;
}

void PassportStandIn::setConfirmationWithoutLogin()
{
    QMutexLocker lock(&m_mutex);
    m_confirmationPath = QStringLiteral("/sso/nologin.php");
}

void PassportStandIn::setConfirmationHost(const QString &host)
{
    QMutexLocker lock(&m_mutex);
    m_confirmationHost = host;
}

void PassportStandIn::setNewerPassportGone()
{
    QMutexLocker lock(&m_mutex);
    m_newerGone = true;
}

void PassportStandIn::setLoginRunOut()
{
    QMutexLocker lock(&m_mutex);
    m_loginRunOut = true;
}

QStringList PassportStandIn::hosts()
{
    return {QStringLiteral("passport.weibo.com"), QStringLiteral("login.sina.com.cn"), QStringLiteral("weibo.com"),
            QStringLiteral("photo.weibo.com"), QStringLiteral("example.test")};
}

QString PassportStandIn::codeText(int code)
{
    return QStringLiteral("https://passport.weibo.cn/signin/qrcode/scan?qr=qr%1&sinainternalbrowser=topnav").arg(code);
}

int PassportStandIn::checkCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_checks;
}

int PassportStandIn::codesMade() const
{
    QMutexLocker lock(&m_mutex);
    return m_codesMade;
}

}  // namespace pictrove
