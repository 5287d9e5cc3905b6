#include "grid/AlbumGrid.h"

#include "grid/GridRoles.h"
#include "grid/ThumbnailDelegate.h"

#include <QHeaderView>
#include <QScrollBar>

namespace pictrove {

AlbumGrid::AlbumGrid(QWidget *parent)
    : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setWordWrap(false);
    setAlternatingRowColors(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    // Pixel scrolling lets "scroll so this row is at the top" work for rows of any height.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new ThumbnailDelegate(this));
    setRowSelection(true);
    setSingleRowSelection(false);
    // Tab and Shift+Tab leave the grid for the next control, as in any list; the
    // arrow keys move within it.
    setTabKeyNavigation(false);
}

void AlbumGrid::deleteAllCells()
{
    clearSelectionAndFocus();
    setRowCount(0);
}

void AlbumGrid::setColumns(const QStringList &titles, const QList<int> &widths, int fixedRows)
{
    m_fixedRows = fixedRows > 0 ? 1 : 0;
    setColumnCount(int(widths.size()));
    for (int column = 0; column < widths.size(); ++column) {
        auto *title = new QTableWidgetItem(m_fixedRows ? titles.value(column) : QString());
        setHorizontalHeaderItem(column, title);
        setColumnWidth(column, widths.at(column));
    }
    horizontalHeader()->setVisible(m_fixedRows > 0);
    horizontalHeader()->setSortIndicatorShown(false);  // new rows come in list order
}

void AlbumGrid::setStretchColumn(int column)
{
    for (int c = 0; c < columnCount(); ++c)
        horizontalHeader()->setSectionResizeMode(c, c == column ? QHeaderView::Stretch : QHeaderView::Interactive);
}

int AlbumGrid::appendRows(int count, int height)
{
    const int first = rowCount();
    setRowCount(first + count);
    if (height > 0) {
        for (int row = first; row < first + count; ++row)
            setRowHeight(row, height);
    }
    return first + m_fixedRows;
}

void AlbumGrid::truncateRows(int rows)
{
    setRowCount(qMax(0, rows - m_fixedRows));
}

QTableWidgetItem *AlbumGrid::cell(int row, int column) const
{
    if (row < m_fixedRows)
        return m_fixedRows ? horizontalHeaderItem(column) : nullptr;
    return item(row - m_fixedRows, column);
}

QTableWidgetItem *AlbumGrid::ensureCell(int row, int column)
{
    if (row < 0 || row >= gridRowCount() || column < 0 || column >= columnCount())
        return nullptr;
    if (QTableWidgetItem *existing = cell(row, column))
        return existing;
    auto *created = new QTableWidgetItem;
    setItem(row - m_fixedRows, column, created);
    return created;
}

QString AlbumGrid::cellText(int row, int column) const
{
    const QTableWidgetItem *found = cell(row, column);
    return found ? found->text() : QString();
}

void AlbumGrid::setCellText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *target = ensureCell(row, column))
        target->setText(text);
}

void AlbumGrid::setCellAlignment(int row, int column, Qt::Alignment alignment)
{
    if (QTableWidgetItem *target = ensureCell(row, column))
        target->setTextAlignment(alignment);
}

void AlbumGrid::setCellImage(int row, int column, int image)
{
    if (QTableWidgetItem *target = ensureCell(row, column))
        target->setData(kCellImageRole, image);
}

int AlbumGrid::cellImage(int row, int column) const
{
    const QTableWidgetItem *found = cell(row, column);
    const QVariant value = found ? found->data(kCellImageRole) : QVariant();
    return value.isValid() ? value.toInt() : -1;
}

void AlbumGrid::setCellData(int row, int column, int data)
{
    if (QTableWidgetItem *target = ensureCell(row, column))
        target->setData(kCellDataRole, data);
}

int AlbumGrid::cellData(int row, int column) const
{
    const QTableWidgetItem *found = cell(row, column);
    const QVariant value = found ? found->data(kCellDataRole) : QVariant();
    return value.isValid() ? value.toInt() : -1;
}

bool AlbumGrid::isCellSelected(int row, int column) const
{
    if (row < m_fixedRows)
        return false;
    return selectionModel()->isSelected(model()->index(row - m_fixedRows, column));
}

QList<QPair<int, int>> AlbumGrid::selectedCells() const
{
    QModelIndexList indexes = selectionModel()->selectedIndexes();
    std::sort(indexes.begin(), indexes.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    QList<QPair<int, int>> cells;
    cells.reserve(indexes.size());
    for (const QModelIndex &index : indexes)
        cells.append({index.row() + m_fixedRows, index.column()});
    return cells;
}

int AlbumGrid::focusRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + m_fixedRows : -1;
}

void AlbumGrid::clearSelectionAndFocus()
{
    clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void AlbumGrid::selectWholeRow(int row)
{
    if (row < m_fixedRows || row >= gridRowCount())
        return;
    const QModelIndex first = model()->index(row - m_fixedRows, 0);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void AlbumGrid::selectAllCells()
{
    if (selectionMode() == QAbstractItemView::NoSelection)
        return;
    // selectAll() honours single selection; select-all must reach every cell.
    const QItemSelection all(model()->index(0, 0),
                             model()->index(rowCount() - 1, columnCount() - 1));
    if (rowCount() > 0 && columnCount() > 0)
        selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void AlbumGrid::setRowSelection(bool wholeRows)
{
    setSelectionBehavior(wholeRows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void AlbumGrid::setSingleRowSelection(bool single)
{
    setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
}

void AlbumGrid::setRedraw(bool on)
{
    setUpdatesEnabled(on);
    if (on)
        viewport()->update();
}

int AlbumGrid::verticalScrollPosition() const
{
    return verticalScrollBar()->value();
}

bool AlbumGrid::scrollRowToTop(int row)
{
    const int before = verticalScrollPosition();
    int position = 0;
    for (int body = 0; body < row - m_fixedRows && body < rowCount(); ++body)
        position += rowHeight(body);
    verticalScrollBar()->setValue(position);
    const bool changed = verticalScrollPosition() != before;
    if (changed)
        viewport()->update();
    return changed;
}

void AlbumGrid::setImageList(ThumbnailImageList *images)
{
    m_images = images;
}

void AlbumGrid::paintEvent(QPaintEvent *event)
{
    m_painting = true;
    QTableWidget::paintEvent(event);
    m_painting = false;
}

}  // namespace pictrove
