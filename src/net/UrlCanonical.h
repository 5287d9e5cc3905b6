#pragma once
// The address as it goes on the wire. Callers build addresses by pasting page text
// together, so they may hold spaces, Chinese characters or the line feed that
// randomFraction leaves at the end of a query.

#include <QByteArray>
#include <QString>

namespace pictrove {

// Percent-encodes (as UTF-8) every character outside the URL-safe set in the path,
// and control characters, spaces and non-ASCII characters in the query and fragment;
// everything else is kept as given (an existing "%41" stays). Empty when `url` is not an
// absolute http or https address with a host.
QByteArray canonicalUrl(const QString &url);

}  // namespace pictrove
