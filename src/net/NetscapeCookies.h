#pragma once
// The Netscape cookie-file line and the rules that decide which cookies travel to an
// address. Used by CookieStore; pure functions, no state.

#include "net/CookieStore.h"

#include <QByteArray>
#include <QString>

namespace pictrove {

// One line of a cookie file. False for blank lines, comments and malformed lines.
bool parseNetscapeLine(QByteArray line, CookieFields &cookie);
// The line for `cookie`, without line end. The fields must be valid (cookieFieldsValid).
QByteArray formatNetscapeLine(const CookieFields &cookie);
// The longest name plus value, in bytes of UTF-8, a cookie may have: libcurl ignores
// longer cookie lines.
inline constexpr int kMaxCookieBytes = 4000;

// Whether the fields can be written to a cookie file and sent back in a Cookie header.
bool cookieFieldsValid(const CookieFields &cookie);

// Whether `cookie` goes with a request to scheme://host/path at `now` (seconds since
// 1970): domain and path match, Secure only over https, not expired.
bool cookieMatches(const CookieFields &cookie, const QString &scheme, const QString &host,
                   const QString &path, qint64 now);

}  // namespace pictrove
