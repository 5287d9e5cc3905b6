#pragma once
// Small pieces the Sina sources share: building an address from a template of
// ServiceAddresses.h, fetching a page as text, and reading the numbers and escaped
// slashes of the services' JSON.

#include "net/PageFetcher.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace pictrove {

// The header every page request of the sources carries.
inline constexpr char16_t kAcceptGzipHeader[] = u"Accept-Encoding: gzip, deflate";

// `pattern` with each "%s" replaced, left to right, by the next of `values`. A value
// that itself contains "%s" is taken as it is, never filled again.
QString fillAddress(QStringView pattern, const QStringList &values);

// Fetches the request and turns the body into text with getText(`textFlags`). False
// when the fetch failed (the text is then empty); a fetched page may still be empty.
bool fetchText(PageRequest &request, int textFlags, QString &text);

// How often a list page is asked before its listing gives up, and the pauses between
// the tries: a busy service (502, 503, 504, 429, a dropped connection) often answers
// a moment later.
inline constexpr int kListPageTries = 3;
inline constexpr int kListPageRetryPausesMs[kListPageTries - 1] = {1000, 3000};

// A page that lists albums or pictures: fetched like fetchText, but only a 2xx answer
// counts. An answer that may pass (no answer, 408, 429, 5xx) is asked again, up to
// kListPageTries times with `sleep` between; any other status fails at once. On
// failure `reason` holds the last status line, or "no answer".
bool fetchListPage(PageRequest &request, int textFlags, QString &text,
                   const std::function<void(int milliseconds)> &sleep, QString &reason);

// The leading decimal number of `text` the way the services' counts are read:
// blanks skipped, an optional sign, digits up to the first non-digit; 0 when there
// is none. Values beyond 32 bits are held at the nearest limit.
int decimalValue(const QString &text);

// JSON writes "/" as "\/" inside strings.
QString unescapeSlashes(QString text);

}  // namespace pictrove
