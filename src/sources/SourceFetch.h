#pragma once
// Small pieces the Sina sources share: building an address from a template of
// ServiceAddresses.h, fetching a page as text, and reading the numbers and escaped
// slashes of the services' JSON.

#include "net/PageFetcher.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace pictrove {

// The header every page request of the sources carries.
inline constexpr char16_t kAcceptGzipHeader[] = u"Accept-Encoding: gzip, deflate";

// `pattern` with each "%s" replaced, left to right, by the next of `values`. A value
// that itself contains "%s" is taken as it is, never filled again.
QString fillAddress(QStringView pattern, const QStringList &values);

// Fetches the request and turns the body into text with getText(`textFlags`). False
// when the fetch failed (the text is then empty); a fetched page may still be empty.
bool fetchText(PageRequest &request, int textFlags, QString &text);

// The leading decimal number of `text` the way the services' counts are read:
// blanks skipped, an optional sign, digits up to the first non-digit; 0 when there
// is none. Values beyond 32 bits are held at the nearest limit.
int decimalValue(const QString &text);

// JSON writes "/" as "\/" inside strings.
QString unescapeSlashes(QString text);

}  // namespace pictrove
