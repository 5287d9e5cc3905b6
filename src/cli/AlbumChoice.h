#pragma once
// The --albums argument: row numbers as `list` prints them ("3", "1,4", "2-5",
// "all"), turned into album-list positions.

#include <QList>
#include <QString>

#include <optional>

namespace pictrove {

// Positions (0-based, ascending, no duplicates) of the rows named by `choice` among
// `albumCount` rows; nullopt when the choice is malformed or names a row that does not
// exist.
std::optional<QList<int>> parseAlbumChoice(const QString &choice, int albumCount);

}  // namespace pictrove
