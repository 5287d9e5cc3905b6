#pragma once
// Small pieces the Sina sources share: building an address from a template of
// ServiceAddresses.h, fetching a page as text, and reading the numbers and escaped
// slashes of the services' JSON.

#include "net/PageFetcher.h"
#include "sources/ListEvents.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace pictrove {

// Whether the address is on a host of the Sina services (Sina blog, Weibo); an address
// without its scheme counts as https.
bool isSinaServiceAddress(const QString &address);

// The header every page request of the sources carries.
inline constexpr char16_t kAcceptGzipHeader[] = u"Accept-Encoding: gzip, deflate";

// `pattern` with each "%s" replaced, left to right, by the next of `values`. A value
// that itself contains "%s" is taken as it is, never filled again.
QString fillAddress(QStringView pattern, const QStringList &values);

// How often a list page is asked before its listing gives up, and the pauses between
// the tries: a busy service (502, 503, 504, 429, a dropped connection) often answers
// a moment later.
inline constexpr int kListPageTries = 3;
inline constexpr int kListPageRetryPausesMs[kListPageTries - 1] = {1000, 3000};

// Why a list page failed when it was larger than any page the services send: cut at
// kMaxPageBytes, as received or as inflated, it would read as a whole page that lists
// less than it does.
inline constexpr char16_t kPageTooLarge[] = u"页面过大";

// A page that lists albums or pictures, as text with getText(`textFlags`); only a 2xx
// answer counts. An answer that may pass (no answer, 408, 429, 5xx) is asked again, up
// to kListPageTries times with `sleep` between; any other status, and a page past
// kMaxPageBytes, fails at once. On failure `reason` holds the last status line, "no
// answer", "cut off (<status line>)" or kPageTooLarge, and the text is empty.
bool fetchListPage(PageRequest &request, int textFlags, QString &text,
                   const std::function<void(int milliseconds)> &sleep, QString &reason);

// What a list that found nothing tells the user when its first page failed with
// `reason` (fetchListPage's): an owner the service does not know, a page too large to
// read, or a service that did not answer as it should.
ListResult listResultOfFailure(const QString &reason);

// The leading decimal number of `text` the way the services' counts are read:
// blanks skipped, an optional sign, digits up to the first non-digit; 0 when there
// is none. Values beyond 32 bits are held at the nearest limit.
int decimalValue(const QString &text);

// JSON writes "/" as "\/" inside strings.
QString unescapeSlashes(QString text);

}  // namespace pictrove
