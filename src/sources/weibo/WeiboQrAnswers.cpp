#include "sources/weibo/WeiboQrAnswers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QUrl>
#include <QUrlQuery>

namespace pictrove {

namespace {

// The Sina passport's login with a ticket, answering the cross-domain addresses to visit.
constexpr char16_t kSinaTicketLogin[] =
    u"https://login.sina.com.cn/sso/login.php?entry=weibo&returntype=TEXT&crossdomain=1&cdult=3"
    u"&domain=weibo.com&savestate=30&alt=";

// The JSON object of an answer; a JSONP wrapper ("cb({...});") is taken off.
QJsonObject jsonObjectOf(const QString &text)
{
    const qsizetype open = text.indexOf(QLatin1Char('{'));
    const qsizetype close = text.lastIndexOf(QLatin1Char('}'));
    if (open < 0 || close < open)
        return QJsonObject();
    const QJsonDocument document = QJsonDocument::fromJson(text.mid(open, close - open + 1).toUtf8());
    return document.isObject() ? document.object() : QJsonObject();
}

// Return codes come as numbers and as strings.
int retcodeOf(const QJsonObject &answer, bool &present)
{
    const QJsonValue value = answer.value(QStringLiteral("retcode"));
    present = value.isDouble() || value.isString();
    if (value.isString())
        return value.toString().toInt(&present);
    return value.toInt();
}

QString messageOf(const QJsonObject &answer)
{
    const QString msg = answer.value(QStringLiteral("msg")).toString();
    return msg.isEmpty() ? answer.value(QStringLiteral("message")).toString() : msg;
}

QString idText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble() && value.toDouble() > 0)
        return QString::number(qint64(value.toDouble()));
    return QString();
}

}  // namespace

QrCodeAnswer readQrCodeAnswer(const QString &text)
{
    QrCodeAnswer answer;
    const QJsonObject json = jsonObjectOf(text);
    bool present = false;
    const int retcode = retcodeOf(json, present);
    answer.message = messageOf(json);
    if (!present || retcode != kQrRetcodeSuccess)
        return answer;
    const QJsonObject data = json.value(QStringLiteral("data")).toObject();
    answer.qrid = data.value(QStringLiteral("qrid")).toString();
    const QUrl image(data.value(QStringLiteral("image")).toString());
    if (image.isValid())
        answer.encodedText = QUrlQuery(image).queryItemValue(QStringLiteral("data"), QUrl::FullyDecoded);
    return answer;
}

QrCheckAnswer readQrCheckAnswer(const QString &text)
{
    QrCheckAnswer answer;
    const QJsonObject json = jsonObjectOf(text);
    bool present = false;
    answer.retcode = retcodeOf(json, present);
    answer.message = messageOf(json);
    if (!present)
        return answer;
    switch (answer.retcode) {
    case kQrRetcodeNotScanned:
        answer.state = QrCheckState::NotScanned;
        break;
    case kQrRetcodeScanned:
        answer.state = QrCheckState::Scanned;
        break;
    case kQrRetcodeExpired:
        answer.state = QrCheckState::Expired;
        break;
    case kQrRetcodeSuccess: {
        const QJsonObject data = json.value(QStringLiteral("data")).toObject();
        answer.loginAddress = data.value(QStringLiteral("url")).toString();
        // The older passport hands over the ticket alone, for its own login address.
        const QString alt = data.value(QStringLiteral("alt")).toString();
        if (answer.loginAddress.isEmpty() && !alt.isEmpty())
            answer.loginAddress = QString::fromUtf16(kSinaTicketLogin) + QString::fromLatin1(QUrl::toPercentEncoding(alt));
        // A confirmation without a passport address to take the ticket to is no login.
        answer.state = isPassportAddress(answer.loginAddress) ? QrCheckState::Confirmed : QrCheckState::Unreadable;
        break;
    }
    default:
        answer.state = QrCheckState::Refused;
        break;
    }
    return answer;
}

bool isPassportAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return false;
    const QString host = url.host().toLower();
    static const QString kPassportDomains[] = {
        QStringLiteral("weibo.com"),
        QStringLiteral("weibo.cn"),
        QStringLiteral("sina.com.cn"),
    };
    for (const QString &domain : kPassportDomains)
        if (host == domain || host.endsWith(QLatin1Char('.') + domain))
            return true;
    return false;
}

QStringList crossDomainAddressesOf(const QString &text)
{
    QStringList addresses;
    const QJsonArray list = jsonObjectOf(text).value(QStringLiteral("crossDomainUrlList")).toArray();
    for (const QJsonValue &value : list) {
        const QString address = value.toString();
        if (isPassportAddress(address) && !addresses.contains(address))
            addresses.append(address);
    }
    return addresses;
}

QString viewerUidOf(const QJsonObject &answer)
{
    const QJsonObject data = answer.value(QStringLiteral("data")).toObject();
    const QJsonValue login = data.value(QStringLiteral("login"));
    if (login.isBool() && !login.toBool())
        return QString();
    const QString uid = idText(data.value(QStringLiteral("uid")));
    if (!uid.isEmpty())
        return uid;
    return idText(data.value(QStringLiteral("user")).toObject().value(QStringLiteral("idstr")));
}

}  // namespace pictrove
