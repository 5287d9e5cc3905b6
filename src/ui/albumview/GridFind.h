#pragma once
// The find step of the find dialog over the album grid: the next (or previous) row
// after the focus row with a cell that contains (or, whole-word, equals) the
// keyword, wrapping round once.

#include <QString>

namespace pictrove {

class AlbumGrid;

struct FindOptions {
    bool forward = true;
    bool caseSensitive = false;
    bool wholeCell = false;
};

// The matching row, or -1. Only album rows take part: the title row can hold no
// focus, so a match there would be found again on every press.
int findRow(const AlbumGrid &grid, const QString &keyword, const FindOptions &options);

// findRow, then the match becomes the only selected row, the focus row and the top
// visible row. Returns the row, -1 when nothing matched (the grid is left alone).
int findAndSelect(AlbumGrid &grid, const QString &keyword, const FindOptions &options);

}  // namespace pictrove
