#include "sources/weibo/WeiboQrLogin.h"

#include "net/CookieStore.h"
#include "net/PageFetcher.h"
#include "net/PageText.h"
#include "sources/SourceFetch.h"
#include "sources/weibo/WeiboQrAnswers.h"
#include "sources/weibo/WeiboViewer.h"

#include <QUrl>

#include <chrono>
#include <iterator>
#include <thread>

namespace pictrove {

namespace {

// Where codes are made and polled: Weibo's passport of today, then the Sina
// passport's older pair, which still answers when the newer one does not.
struct QrPassport {
    const char16_t *image;
    const char16_t *check;  // "%s": the code's id
};
constexpr QrPassport kQrPassports[] = {
    {u"https://passport.weibo.com/sso/v2/qrcode/image?entry=miniblog&size=180",
     u"https://passport.weibo.com/sso/v2/qrcode/check?entry=miniblog&source=miniblog&qrid=%s"},
    {u"https://login.sina.com.cn/sso/qrcode/image?entry=weibo&size=180",
     u"https://login.sina.com.cn/sso/qrcode/check?entry=weibo&qrid=%s"},
};
constexpr char16_t kPassportHeaders[] =
    u"Accept: application/json, text/plain, */*\r\n"
    u"Referer: https://passport.weibo.com/sso/signin?entry=miniblog&source=miniblog";
constexpr int kPassportTimeoutMs = 20000;
// A poll that got no answer (or a busy server's 5xx) is tried again at the next tick;
// this many in a row and the passport counts as unreachable.
constexpr int kUnansweredPollsAllowed = 3;

struct Fetched {
    bool answered = false;
    bool cancelled = false;
    QString text;
    QString statusLine;
    int status = 0;
};

Fetched fetchPassport(const QString &address, const QrLoginRequest &request)
{
    PageRequest page(address, QString(), kPassportTimeoutMs);
    page.headers = QString::fromUtf16(kAcceptGzipHeader) + QStringLiteral("\r\n") + QString::fromUtf16(kPassportHeaders);
    page.stopRequested = request.stopRequested;
    PageResponse response;
    Fetched fetched;
    fetched.answered = fetch(page, response);
    fetched.cancelled = response.cancelled;
    fetched.statusLine = response.statusLine();
    fetched.status = response.statusCode();
    if (fetched.answered)
        fetched.text = getText(response, kTextInflate | kTextUtf8);
    return fetched;
}

class QrLoginRun {
public:
    QrLoginRun(const QrLoginRequest &request, QrLoginEvents &events)
        : m_request(request)
        , m_events(events)
    {
    }

    QrLoginResult run()
    {
        for (int code = 0;; ++code) {
            QString qrid;
            if (!makeCode(code > 0, qrid))
                return m_finished.result;
            switch (poll(qrid)) {
            case QrCheckState::Expired: {
                const bool renewing = code < m_request.renewals;
                m_events.report(event::QrExpired{renewing});
                if (!renewing)
                    return finish(QrLoginResult::Expired);
                break;
            }
            case QrCheckState::Confirmed:
                return logIn();
            default:
                return m_finished.result;
            }
        }
    }

private:
    bool stopped() const { return m_request.stopRequested && m_request.stopRequested(); }

    QrLoginResult finish(QrLoginResult result, const QString &detail = QString())
    {
        m_finished.result = result;
        m_finished.detail = detail;
        m_events.report(m_finished);
        return result;
    }

    QrLoginResult finishUnanswered(const Fetched &fetched)
    {
        if (fetched.cancelled || stopped())
            return finish(QrLoginResult::Stopped);
        return finish(QrLoginResult::Unreachable,
                      fetched.statusLine.isEmpty() ? QStringLiteral("no answer") : fetched.statusLine);
    }

    void pause()
    {
        if (m_request.sleep) {
            m_request.sleep(m_request.pollIntervalMs);
            return;
        }
        // A real wait, in small steps so that a stop ends it at once.
        for (int waited = 0; waited < m_request.pollIntervalMs && !stopped(); waited += 50)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    bool makeCode(bool renewed, QString &qrid)
    {
        if (stopped()) {
            finish(QrLoginResult::Stopped);
            return false;
        }
        // The passport that made the last code makes the next one; when one gives no
        // code the next is asked, and the first one's answer is what the user hears.
        Fetched first;
        bool haveFirst = false;
        QrCodeAnswer answer;
        QrMatrix matrix;
        for (; m_passport < int(std::size(kQrPassports)); ++m_passport) {
            const Fetched fetched = fetchPassport(QString::fromUtf16(kQrPassports[m_passport].image), m_request);
            if (fetched.cancelled || stopped()) {
                finish(QrLoginResult::Stopped);
                return false;
            }
            if (!haveFirst)
                first = fetched;
            haveFirst = true;
            answer = fetched.answered ? readQrCodeAnswer(fetched.text) : QrCodeAnswer();
            matrix = QrMatrix::encode(answer.encodedText.toUtf8());
            if (answer.valid() && !matrix.isEmpty())
                break;
        }
        if (m_passport == int(std::size(kQrPassports))) {
            m_passport = 0;
            if (!first.answered) {
                finishUnanswered(first);
                return false;
            }
            const QrCodeAnswer said = readQrCodeAnswer(first.text);
            finish(said.message.isEmpty() ? QrLoginResult::ServiceChanged : QrLoginResult::Refused,
                   said.message.isEmpty() ? first.statusLine : said.message);
            return false;
        }
        qrid = answer.qrid;
        m_events.report(event::QrCodeReady{answer.encodedText, matrix, renewed});
        return true;
    }

    // Polls until the code expired or was confirmed; any other state returned means the
    // run has ended, and its QrLoginFinished was reported.
    QrCheckState poll(const QString &qrid)
    {
        const QString address =
            fillAddress(kQrPassports[m_passport].check, {QString::fromLatin1(QUrl::toPercentEncoding(qrid))});
        bool scanned = false;
        int unanswered = 0;
        for (;;) {
            pause();
            if (stopped()) {
                finish(QrLoginResult::Stopped);
                return QrCheckState::Refused;
            }
            Fetched fetched = fetchPassport(address, m_request);
            if (fetched.answered && fetched.status >= 500)
                fetched.answered = false;
            if (!fetched.answered) {
                if (fetched.cancelled || stopped() || ++unanswered >= kUnansweredPollsAllowed) {
                    finishUnanswered(fetched);
                    return QrCheckState::Refused;
                }
                continue;
            }
            unanswered = 0;
            const QrCheckAnswer answer = readQrCheckAnswer(fetched.text);
            switch (answer.state) {
            case QrCheckState::NotScanned:
                break;
            case QrCheckState::Scanned:
                if (!scanned)
                    m_events.report(event::QrScanned{});
                scanned = true;
                break;
            case QrCheckState::Expired:
                return answer.state;
            case QrCheckState::Confirmed:
                m_loginAddress = answer.loginAddress;
                return answer.state;
            case QrCheckState::Refused:
                finish(QrLoginResult::Refused, answer.message.isEmpty() ? QString::number(answer.retcode) : answer.message);
                return answer.state;
            case QrCheckState::Unreadable:
                finish(QrLoginResult::ServiceChanged, fetched.statusLine);
                return answer.state;
            }
        }
    }

    QrLoginResult logIn()
    {
        m_events.report(event::QrConfirmed{});
        // The ticket's address redirects through the passports, each setting its
        // cookies; a cross-domain page may list more addresses to visit.
        const Fetched landed = fetchPassport(m_loginAddress, m_request);
        if (!landed.answered)
            return finishUnanswered(landed);
        for (const QString &address : crossDomainAddressesOf(landed.text)) {
            const Fetched visited = fetchPassport(address, m_request);
            if (!visited.answered && (visited.cancelled || stopped()))
                return finish(QrLoginResult::Stopped);
        }
        if (!hasSavedWeiboLogin())
            return finish(QrLoginResult::NoLogin);
        CookieStore::process().save();

        const WeiboViewer viewer = askWeiboViewer(m_request.stopRequested);
        if (stopped())
            return finish(QrLoginResult::Stopped);
        switch (viewer.state) {
        case WeiboViewer::State::LoggedIn:
            m_finished.name = viewer.name;
            m_finished.uid = viewer.uid;
            return finish(QrLoginResult::LoggedIn);
        case WeiboViewer::State::NotLoggedIn:
            return finish(QrLoginResult::NoLogin);
        case WeiboViewer::State::Unknown:
            break;
        }
        return finish(viewer.detail.isEmpty() ? QrLoginResult::Unreachable : QrLoginResult::ServiceChanged,
                      viewer.detail.isEmpty() ? QStringLiteral("no answer") : viewer.detail);
    }

    const QrLoginRequest &m_request;
    QrLoginEvents &m_events;
    QString m_loginAddress;
    int m_passport = 0;  // of kQrPassports: the one whose code is shown
    event::QrLoginFinished m_finished;
};

QString finishedText(const event::QrLoginFinished &finished)
{
    const QString detail = finished.detail.isEmpty() ? QString() : QStringLiteral("：") + finished.detail;
    switch (finished.result) {
    case QrLoginResult::LoggedIn:
        return QStringLiteral("登录成功：") + finished.name;
    case QrLoginResult::Expired:
        return QStringLiteral("二维码已过期，登录未完成");
    case QrLoginResult::Refused:
        return QStringLiteral("微博拒绝了登录") + detail;
    case QrLoginResult::NoLogin:
        return QStringLiteral("登录未完成：微博没有给出登录信息");
    case QrLoginResult::Stopped:
        return QStringLiteral("登录已取消");
    case QrLoginResult::Unreachable:
        return QStringLiteral("无法连接微博登录服务") + detail;
    case QrLoginResult::ServiceChanged:
        return QStringLiteral("微博登录服务的回答无法识别") + detail;
    }
    return QString();
}

}  // namespace

QrLoginResult runQrLogin(const QrLoginRequest &request, QrLoginEvents &events)
{
    return QrLoginRun(request, events).run();
}

QString qrLoginText(const QrLoginEvent &event)
{
    struct Text {
        QString operator()(const event::QrCodeReady &) const { return QStringLiteral("请用微博手机客户端扫描二维码"); }
        QString operator()(const event::QrScanned &) const { return QStringLiteral("已扫描，请在手机上确认"); }
        QString operator()(const event::QrConfirmed &) const { return QStringLiteral("已确认，正在登录……"); }
        QString operator()(const event::QrExpired &expired) const
        {
            return expired.renewing ? QStringLiteral("二维码已过期，已换新的二维码") : QStringLiteral("二维码已过期");
        }
        QString operator()(const event::QrLoginFinished &finished) const { return finishedText(finished); }
    };
    return std::visit(Text{}, event);
}

}  // namespace pictrove
