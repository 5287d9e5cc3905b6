#pragma once
// A loopback stand-in of Weibo's passport for the scan-to-log-in, on real host names
// (passport.weibo.com, login.sina.com.cn, weibo.com over TLS):
//   qrcode/image   hands out code 1, 2, ... (qrid "qr1", ...), each encoding
//                  codeText(n); the Sina passport's older pair (login.sina.com.cn
//                  sso/qrcode/*) does the same in JSONP and confirms with an "alt"
//                  ticket, whose login answers the cross-domain addresses to visit;
//   qrcode/check   answers, for each code, the return codes of its script in turn
//                  (the last one repeats);
//   the confirmation's address redirects through login.sina.com.cn and
//   passport.weibo.com, which set SUB and SUBP for .weibo.com, to weibo.com;
//   weibo.com's web API names the viewer (uid kViewerUid, "小明Ming") to a request
//   carrying that SUB, and answers as to a visitor otherwise.
//
//     PassportStandIn passport;
//     passport.setScripts({{kQrRetcodeNotScanned, kQrRetcodeScanned, kQrRetcodeSuccess}});
//     ScopedRouting routing(passport.server(), PassportStandIn::hosts());

#include "support/LoopbackServer.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

namespace pictrove {

class PassportStandIn {
public:
    static constexpr int kRefusedRetcode = 50114015;
    // In a script: the check answers "502 Bad Gateway" instead of a return code.
    static constexpr int kBusyServer = 502;
    static constexpr char16_t kRefusalMessage[] = u"登录请求已被拒绝";
    static constexpr char16_t kViewerUid[] = u"1234567890";
    static constexpr char16_t kViewerName[] = u"小明Ming";
    static constexpr char kLoginCookieValue[] = "stand-in-login";

    PassportStandIn();
    PassportStandIn(const PassportStandIn &) = delete;
    PassportStandIn &operator=(const PassportStandIn &) = delete;

    // One list of return codes per code, in the order the codes are made; the next
    // code made is code 1 again.
    void setScripts(const QList<QList<int>> &scripts);
    // The confirmation leads to an address that sets no login cookie.
    void setConfirmationWithoutLogin();
    // The confirmation's address is on `host` instead of the passport.
    void setConfirmationHost(const QString &host);
    // Weibo's passport makes no code any more (404): only the older pair does.
    void setNewerPassportGone();
    // The web API answers every viewer as a visitor ("ok":-100), as to a login that ran out.
    void setLoginRunOut();

    LoopbackServer &server() { return m_server; }
    static QStringList hosts();
    static QString codeText(int code);
    int checkCount() const;
    int codesMade() const;

private:
    CannedResponse makeCode(bool jsonp);
    CannedResponse check(const RecordedRequest &request, bool older);

    mutable QMutex m_mutex;
    QList<QList<int>> m_scripts;
    QList<int> m_answered;  // per code: checks answered so far
    int m_codesMade = 0;
    int m_checks = 0;
    QString m_confirmationHost = QStringLiteral("login.sina.com.cn");
    QString m_confirmationPath = QStringLiteral("/sso/login.php");
    bool m_loginRunOut = false;
    bool m_newerGone = false;
    // Last, so that it goes first: its connection threads, whose handlers use the
    // members above, are joined before those are destroyed.
    LoopbackServer m_server{LoopbackServer::Https};
};

}  // namespace pictrove
