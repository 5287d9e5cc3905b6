#pragma once
// Logging in to Weibo by scanning a code with the Weibo phone app. The passport makes
// a code; the program polls it about once a second until the phone scanned it and the
// user confirmed there; the confirmation's address carries a ticket whose redirects
// (a cross-domain login) set the login cookies in the process store; the web API then
// says who is logged in. An expired code is renewed as often as the request allows.
//
// runQrLogin blocks on the calling thread and reports typed events through one call,
// like a list or a download; the front ends draw the code and say the states in the
// words of qrLoginText. Nothing of the login (cookies, ticket) is ever logged or put
// into an event: the cookies go only into the process store, which is saved (merged
// under its lock) once the login is confirmed.

#include "sources/QrMatrix.h"

#include <QString>

#include <functional>
#include <variant>

namespace pictrove {

enum class QrLoginResult {
    LoggedIn,        // the web API names the account
    Expired,         // the last code expired and no renewal was left
    Refused,         // the passport answered a refusal (its words in the detail)
    NoLogin,         // confirmed, yet the web API does not see a login
    Stopped,         // the caller's stop ended the poll
    Unreachable,     // no answer from the passport
    ServiceChanged,  // an answer we cannot read
};

struct QrLoginRequest {
    // How many times an expired code is replaced by a new one.
    int renewals = 1;
    int pollIntervalMs = 1000;
    // Waits between polls; empty: a real sleep. Tests count instead.
    std::function<void(int milliseconds)> sleep;
    // Asked before every request and while one is under way; may be empty.
    std::function<bool()> stopRequested;
};

namespace event {
// A code to show; `renewed` when it replaces one that expired.
struct QrCodeReady {
    QString encodedText;
    QrMatrix matrix;
    bool renewed = false;
};
// The phone scanned the code and waits for the user's confirmation.
struct QrScanned {};
// The user confirmed on the phone; the login cookies are being fetched.
struct QrConfirmed {};
// The code expired; `renewing` when a new one follows.
struct QrExpired {
    bool renewing = false;
};
// The end: `name` and `uid` of the account when logged in, else `detail` says why
// (the passport's words, a status line).
struct QrLoginFinished {
    QrLoginResult result = QrLoginResult::LoggedIn;
    QString name;
    QString uid;
    QString detail;
};
}  // namespace event

using QrLoginEvent =
    std::variant<event::QrCodeReady, event::QrScanned, event::QrConfirmed, event::QrExpired, event::QrLoginFinished>;

class QrLoginEvents {
public:
    virtual ~QrLoginEvents() = default;
    virtual void report(const QrLoginEvent & /*event*/) {}
};

QrLoginResult runQrLogin(const QrLoginRequest &request, QrLoginEvents &events);

// What both front ends say of an event ("请用微博手机客户端扫描二维码", ...).
QString qrLoginText(const QrLoginEvent &event);

}  // namespace pictrove
