#include "sources/weibo/WeiboApi.h"

#include "net/PageResponse.h"
#include "net/PageText.h"
#include "sources/SourceFetch.h"
#include "text/EngineLog.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QUrl>

#include <algorithm>

namespace pictrove {

namespace {

// Signs of Weibo's and Sina's login pages, answered instead of JSON without a login.
const QStringList kLoginPageSigns = {
    QStringLiteral("新浪通行证"),
    QStringLiteral("登录 - 微博"),
    QStringLiteral("passport.weibo.com"),
    QStringLiteral("login.sina.com.cn"),
};

// Weibo's error codes for a post that is gone, and for one the viewer may not see.
constexpr int kNoSuchPostCode = 20101;
constexpr int kNoPermissionCode = 20112;

bool asksTooFast(const QString &message)
{
    return message.contains(QStringLiteral("频繁"));
}

// The words of a refusal: older answers put them in "msg", today's in "message".
QString messageOf(const QJsonObject &answer)
{
    const QString msg = answer.value(QStringLiteral("msg")).toString();
    return msg.isEmpty() ? answer.value(QStringLiteral("message")).toString() : msg;
}

// What the words and the code of a JSON answer say, before its "ok" or "result" is
// read; None when they say nothing we know. "微博不存在或暂无查看权限" names both a
// missing post and a hidden one: the viewer may not see it either way.
WeiboRefusal refusalOfMessage(const QString &message, int errorCode)
{
    if (asksTooFast(message))
        return WeiboRefusal::RateLimited;
    if (errorCode == kNoPermissionCode || message.contains(QStringLiteral("权限"))
        || message.contains(QStringLiteral("无权")))
        return WeiboRefusal::NotPermitted;
    if (errorCode == kNoSuchPostCode || message.contains(QStringLiteral("不存在")))
        return WeiboRefusal::NotFound;
    if (message.contains(QStringLiteral("登录")))
        return WeiboRefusal::LoginNeeded;
    return WeiboRefusal::None;
}

QString firstBytes(const QString &text)
{
    return text.left(120).simplified();
}

QString cookieValue(const QString &url, const QString &name)
{
    const QString prefix = name + QLatin1Char('=');
    const QStringList pairs = getCookies(url).split(QStringLiteral("; "));
    for (const QString &pair : pairs) {
        if (pair.startsWith(prefix))
            return pair.mid(prefix.size());
    }
    return QString();
}

}  // namespace

WeiboAnswer readWeiboAnswer(int status, const QString &text)
{
    WeiboAnswer answer;
    if (status == 418 || status == 429 || status == 432) {
        answer.refusal = WeiboRefusal::RateLimited;
        answer.detail = QStringLiteral("HTTP %1").arg(status);
        return answer;
    }
    if (status == 0 || status >= 500) {
        answer.refusal = WeiboRefusal::Unreachable;
        answer.detail = status == 0 ? QStringLiteral("no answer") : QStringLiteral("HTTP %1").arg(status);
        return answer;
    }

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        const bool loginPage = std::any_of(kLoginPageSigns.begin(), kLoginPageSigns.end(),
                                           [&](const QString &sign) { return text.contains(sign); });
        answer.refusal = loginPage || status == 401 ? WeiboRefusal::LoginNeeded : WeiboRefusal::Unexpected;
        answer.detail = QStringLiteral("HTTP %1: %2").arg(status).arg(firstBytes(text));
        return answer;
    }
    answer.json = document.object();
    const QString message = messageOf(answer.json);
    const int errorCode = answer.json.value(QStringLiteral("error_code")).toVariant().toInt();
    answer.detail = message;

    // The web API says "ok" (1 good, -100 log in); the photo service says "result".
    const QJsonValue ok = answer.json.value(QStringLiteral("ok"));
    const QJsonValue result = answer.json.value(QStringLiteral("result"));
    const WeiboRefusal said = refusalOfMessage(message, errorCode);
    if (said != WeiboRefusal::None && !(ok.isDouble() && ok.toInt() == 1))
        answer.refusal = said;
    else if (ok.isDouble())
        answer.refusal = ok.toInt() == 1 ? WeiboRefusal::None
            : ok.toInt() == -100        ? WeiboRefusal::LoginNeeded
                                         : WeiboRefusal::Unexpected;
    else if (result.isBool())
        answer.refusal = result.toBool() ? WeiboRefusal::None : WeiboRefusal::LoginNeeded;
    else
        answer.refusal = WeiboRefusal::Unexpected;
    if (answer.refusal == WeiboRefusal::None && status >= 400) {
        answer.refusal = status == 401 || status == 403 ? WeiboRefusal::LoginNeeded : WeiboRefusal::Unexpected;
        answer.detail = QStringLiteral("HTTP %1").arg(status);
    }
    // What to look at when the service changed: its words, and the answer's first bytes.
    if (answer.refusal == WeiboRefusal::Unexpected)
        answer.detail = (answer.detail.isEmpty() ? QString() : answer.detail + QStringLiteral(": ")) + firstBytes(text);
    return answer;
}

QString weiboApiHeaders(const QString &ownerUid, const QString &ownerAddress)
{
    QString referer = QStringLiteral("https://weibo.com/u/") + ownerUid;
    if (ownerUid.isEmpty() && !ownerAddress.trimmed().isEmpty()) {
        referer = ownerAddress.trimmed();
        // People paste addresses without their scheme, too.
        if (!referer.contains(QStringLiteral("://")))
            referer.prepend(QStringLiteral("https://"));
    }
    QString headers = QString::fromUtf16(kAcceptGzipHeader)
        + QStringLiteral("\r\nAccept: application/json, text/plain, */*"
                         "\r\nX-Requested-With: XMLHttpRequest"
                         "\r\nReferer: ")
        + referer;
    const QString token = cookieValue(QStringLiteral("https://weibo.com/"), QStringLiteral("XSRF-TOKEN"));
    if (!token.isEmpty())
        headers += QStringLiteral("\r\nX-XSRF-TOKEN: ") + token;
    return headers;
}

WeiboClient::WeiboClient(WeiboPacing pacing)
    : m_pacing(std::move(pacing))
{
    if (!m_pacing.spacing)
        m_pacing.spacing = std::make_shared<RequestSpacing>();
}

void WeiboClient::pace(bool afterRefusal)
{
    const int wait = m_pacing.spacing->takeTurn(m_pacing.pageIntervalMs, afterRefusal);
    if (wait > 0 && m_pacing.sleep)
        m_pacing.sleep(wait);
}

WeiboAnswer WeiboClient::getOnce(PageRequest &request, bool afterRefusal)
{
    // A busy service (5xx, a dropped connection) often answers a moment later.
    WeiboAnswer answer;
    for (int attempt = 1; attempt <= kListPageTries; ++attempt) {
        if (attempt > 1 && m_pacing.sleep)
            m_pacing.sleep(kListPageRetryPausesMs[attempt - 2]);
        pace(afterRefusal && attempt == 1);
        PageResponse response;
        const bool whole = fetch(request, response);
        const int status = whole ? response.statusCode() : 0;
        bool inflatedPastLimit = false;
        const QString text = whole ? getText(response, kTextInflate | kTextUtf8, &inflatedPastLimit) : QString();
        // An answer cut at the limit is said to be one, never read: it would pass for a
        // service that changed its format, or for a whole answer that lists less.
        if (response.overPageLimit || inflatedPastLimit) {
            answer = WeiboAnswer();
            answer.refusal = WeiboRefusal::TooLarge;
            answer.detail = QString::fromUtf16(kPageTooLarge);
            break;
        }
        answer = readWeiboAnswer(status, text);
        answer.text = text;
        if (answer.refusal != WeiboRefusal::Unreachable)
            break;
    }
    // A shape we do not know is worth a look by whoever keeps the program working; the
    // other refusals are the service's everyday answers, said to the user elsewhere.
    if (answer.refusal == WeiboRefusal::Unexpected)
        qCWarning(lcEngine, "unexpected answer from %s: %s", qPrintable(request.url), qPrintable(answer.detail));
    else if (answer.refusal != WeiboRefusal::None)
        qCDebug(lcEngine, "%s: %s", qPrintable(request.url), qPrintable(answer.detail));
    return answer;
}

WeiboAnswer WeiboClient::get(PageRequest request)
{
    request.attempts = 1;
    WeiboAnswer answer = getOnce(request, false);
    while (answer.refusal == WeiboRefusal::RateLimited) {
        // The user hears of the first wait at once; once the session's budget is
        // spent, every refusal stands at once.
        const int seconds = m_pacing.spacing->refused();
        if (seconds <= 0)
            return answer;
        if (m_pacing.waitingForRateLimit)
            m_pacing.waitingForRateLimit(seconds);
        if (m_pacing.sleep)
            m_pacing.sleep(seconds * 1000);
        answer = getOnce(request, true);
    }
    if (answer.refusal != WeiboRefusal::Unreachable)
        m_pacing.spacing->answered();
    return answer;
}

}  // namespace pictrove
