#pragma once
// Item roles the grid stores beside a cell's text.

#include <Qt>

namespace pictrove {

inline constexpr int kCellDataRole = Qt::UserRole;       // the album's list position
inline constexpr int kCellImageRole = Qt::UserRole + 1;  // index into the image list

}  // namespace pictrove
