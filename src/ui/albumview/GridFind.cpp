#include "ui/albumview/GridFind.h"

#include "grid/AlbumGrid.h"

namespace pictrove {

namespace {

bool rowMatches(const AlbumGrid &grid, int row, const QString &keyword, const FindOptions &options)
{
    for (int column = 0; column < grid.gridColumnCount(); ++column) {
        QString text = grid.cellText(row, column);
        if (!options.caseSensitive)
            text = text.toLower();
        if (options.wholeCell ? text == keyword : text.contains(keyword))
            return true;
    }
    return false;
}

// Rows from `from` towards the end given by the direction, inclusive.
int scan(const AlbumGrid &grid, int from, const QString &keyword, const FindOptions &options)
{
    const int first = grid.fixedRowCount();
    const int last = grid.gridRowCount() - 1;
    const int step = options.forward ? 1 : -1;
    for (int row = qMax(from, first); row >= first && row <= last; row += step) {
        if (rowMatches(grid, row, keyword, options))
            return row;
    }
    return -1;
}

}  // namespace

int findRow(const AlbumGrid &grid, const QString &keyword, const FindOptions &options)
{
    const QString wanted = options.caseSensitive ? keyword : keyword.toLower();
    const int start = grid.focusRow();
    const int first = grid.fixedRowCount();
    const int last = grid.gridRowCount() - 1;
    if (last < first)
        return -1;

    int from = options.forward ? start + 1 : start - 1;
    // Without a focus row, 上一个 has nowhere to start from but the wrap below.
    if (!options.forward && start < 0)
        from = -1;
    int found = (from >= first && from <= last) || (options.forward && from < first)
                    ? scan(grid, from, wanted, options)
                    : -1;
    if (found < 0)
        found = scan(grid, options.forward ? first : last, wanted, options);
    return found;
}

int findAndSelect(AlbumGrid &grid, const QString &keyword, const FindOptions &options)
{
    const int row = findRow(grid, keyword, options);
    if (row < 0)
        return -1;
    grid.clearSelectionAndFocus();
    grid.selectWholeRow(row);
    grid.scrollRowToTop(row);
    return row;
}

}  // namespace pictrove
