#pragma once
// Draws a thumbnail-sheet cell: the cover from the grid's image list with the
// caption on a dark band across its foot, or the caption alone, wrapped, when the
// cell has no cover. Cells without an image index are drawn the ordinary way.

#include <QStyledItemDelegate>

namespace pictrove {

class AlbumGrid;

class ThumbnailDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ThumbnailDelegate(AlbumGrid *grid);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    AlbumGrid *m_grid;
};

}  // namespace pictrove
