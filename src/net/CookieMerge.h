#pragma once
// Three-way merge of cookie sets, for processes sharing one cookie file: what this
// process holds, what the file held when this process last read or wrote it (the
// base), and what the file holds now. A cookie only one side changed since the base
// takes that side's state (a value, or gone); one both changed takes the newer side.

#include "net/CookieStore.h"

#include <QHash>
#include <QList>
#include <QString>

namespace pictrove {

// Cookies by identity: domain, path and name. Two cookies with the same key are the
// same cookie in two states.
using CookieSet = QHash<QString, CookieFields>;

CookieSet cookieSetOf(const QList<CookieFields> &cookies);

enum class NewerSide { Ours, File };

CookieSet mergeCookieSets(const CookieSet &ours, const CookieSet &base, const CookieSet &file,
                          NewerSide bothChanged);

}  // namespace pictrove
