#pragma once
// The album grid: a QTableWidget offering the cell operations the album list view
// needs, addressed the way that view counts rows: the fixed (title) rows come first,
// so with one fixed row, row 0 is the title row and the first album is row 1. The
// title row is drawn by the horizontal header and never scrolls away.
//
// Every method runs on the GUI thread only; worker threads reach the grid through
// the album list view, which queues their rows onto this thread.

#include <QStringList>
#include <QTableWidget>

namespace pictrove {

class ThumbnailImageList;

class AlbumGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit AlbumGrid(QWidget *parent = nullptr);

    // Deletes every cell and row; columns, titles and widths stay.
    void deleteAllCells();
    // Layout: one fixed title row with these titles and widths, or none (titles ignored).
    void setColumns(const QStringList &titles, const QList<int> &widths, int fixedRows);
    // The column that takes the width the others leave, so the columns fill the grid
    // however wide the window is; -1: every column keeps its width.
    void setStretchColumn(int column);

    int gridRowCount() const { return fixedRowCount() + rowCount(); }
    int gridColumnCount() const { return columnCount(); }
    int fixedRowCount() const { return m_fixedRows; }
    // Appends `count` empty rows of `height` pixels (0: default height) and returns
    // the grid row of the first.
    int appendRows(int count, int height = 0);
    // Keeps the fixed rows and the first `rows` - fixed rows.
    void truncateRows(int rows);

    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);
    void setCellAlignment(int row, int column, Qt::Alignment alignment);
    // Index into the thumbnail image list, -1 for none.
    void setCellImage(int row, int column, int image);
    int cellImage(int row, int column) const;
    // The integer a cell carries; -1 when it carries none.
    void setCellData(int row, int column, int data);
    int cellData(int row, int column) const;

    bool isCellSelected(int row, int column) const;
    // Selected cells row by row, column by column, as (row, column) pairs.
    QList<QPair<int, int>> selectedCells() const;
    // Row of the focus cell, -1 when there is none.
    int focusRow() const;
    void clearSelectionAndFocus();
    void selectWholeRow(int row);
    void selectAllCells();

    // Whole rows (album list) or single cells (thumbnail sheet).
    void setRowSelection(bool wholeRows);
    // Find mode allows one row at a time; otherwise any number.
    void setSingleRowSelection(bool single);

    // Drawing switch: while off, changes are collected and drawn when it is on again.
    void setRedraw(bool on);
    // True while no paint of the grid is in progress.
    bool isPaintIdle() const { return !m_painting; }

    int verticalScrollPosition() const;
    // Scrolls so that `row` is the top visible row; true when the position changed.
    bool scrollRowToTop(int row);

    void setImageList(ThumbnailImageList *images);
    ThumbnailImageList *imageList() const { return m_images; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTableWidgetItem *cell(int row, int column) const;
    QTableWidgetItem *ensureCell(int row, int column);

    int m_fixedRows = 0;
    bool m_painting = false;
    ThumbnailImageList *m_images = nullptr;
};

}  // namespace pictrove
