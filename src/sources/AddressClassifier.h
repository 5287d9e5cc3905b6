#pragma once
// Which service an owner address belongs to, for the source-type selector and the
// QQ sub-type selector. Pure functions of the address; the front end moves its
// selectors.

#include "settings/SourceType.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pictrove {

// QQ sub-type selector entries.
enum class QqSubType : int { ZoneAlbums = 0, GroupAlbums = 1, WeiboAlbums = 2 };

// The service whose host fragment a web address names; nullopt for text that is no
// web address or names no known service (the selector then keeps its entry).
std::optional<SourceType> sourceTypeForAddress(const QString &address);

// For a QQ address: the sub-type its host calls for, nullopt to keep the current one.
std::optional<QqSubType> qqSubTypeForAddress(const QString &address);

// The entries of the QQ sub-type selector, in QqSubType order.
QStringList qqSubTypeNames();

}  // namespace pictrove
