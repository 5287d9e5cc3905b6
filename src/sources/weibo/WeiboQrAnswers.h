#pragma once
// Reading the passport's answers of the scan-to-log-in: the code's answer (its id and
// the text the code encodes), each poll's answer, the cross-domain page that follows
// a confirmation, and the viewer's id in the web API's configuration. Pure functions
// of an answer's text; the asking is in WeiboQrLogin.

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace pictrove {

// The passport's return codes.
inline constexpr int kQrRetcodeSuccess = 20000000;     // the code was made; on a poll: confirmed
inline constexpr int kQrRetcodeNotScanned = 50114001;
inline constexpr int kQrRetcodeScanned = 50114002;     // waiting for the confirmation on the phone
inline constexpr int kQrRetcodeExpired = 50114004;

struct QrCodeAnswer {
    QString qrid;         // the code's id, which the polls name
    QString encodedText;  // what the code encodes: the address the phone opens
    QString message;      // the passport's words when it made no code
    bool valid() const { return !qrid.isEmpty() && !encodedText.isEmpty(); }
};
// The answer of qrcode/image. The passport hands out the address of a picture of the
// code; the text the code encodes is that address's "data" parameter.
QrCodeAnswer readQrCodeAnswer(const QString &text);

enum class QrCheckState {
    NotScanned,
    Scanned,
    Expired,
    Confirmed,   // `loginAddress` carries the ticket that sets the login cookies (the
                 // answer's address, or the Sina passport's login with its "alt" ticket)
    Refused,     // another return code: the passport's words are in `message`
    Unreadable,  // no JSON with a return code
};
struct QrCheckAnswer {
    QrCheckState state = QrCheckState::Unreadable;
    QString loginAddress;
    QString message;
    int retcode = 0;
};
QrCheckAnswer readQrCheckAnswer(const QString &text);

// Whether the login ticket may be taken to `address`: https (or http) on a host of the
// Weibo and Sina passports. The ticket is a login; it goes nowhere else.
bool isPassportAddress(const QString &address);

// The addresses a cross-domain login page lists ("crossDomainUrlList"), passport ones
// only; empty when the page lists none.
QStringList crossDomainAddressesOf(const QString &text);

// The viewer in the web API's configuration answer (ajax/config/get_config): the
// user id, empty when the answer says nobody is logged in or names no id.
QString viewerUidOf(const QJsonObject &answer);

}  // namespace pictrove
