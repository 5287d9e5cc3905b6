#include "grid/ThumbnailDelegate.h"

#include "grid/GridRoles.h"
#include "grid/AlbumGrid.h"
#include "grid/ThumbnailImageList.h"

#include <QPainter>

namespace pictrove {

ThumbnailDelegate::ThumbnailDelegate(AlbumGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{
}

void ThumbnailDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const QVariant imageValue = index.data(kCellImageRole);
    if (!imageValue.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    const QString caption = index.data(Qt::DisplayRole).toString();
    const bool selected = option.state & QStyle::State_Selected;
    const QRect cellRect = option.rect;
    painter->save();
    painter->fillRect(cellRect, selected ? option.palette.highlight() : option.palette.base());

    const ThumbnailImageList *images = m_grid->imageList();
    const QImage image = images ? images->at(imageValue.toInt()) : QImage();
    if (image.isNull()) {
        painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        painter->drawText(cellRect.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, caption);
        painter->restore();
        return;
    }

    QRect imageRect(QPoint(0, 0), image.size());
    imageRect.moveCenter(cellRect.center());
    painter->drawImage(imageRect, image);

    const int bandHeight = option.fontMetrics.height() + 4;
    const QRect band(imageRect.left(), imageRect.bottom() + 1 - bandHeight, imageRect.width(), bandHeight);
    painter->fillRect(band, QColor(0, 0, 0, 150));
    painter->setPen(Qt::white);
    const QString elided = option.fontMetrics.elidedText(caption, Qt::ElideRight, band.width() - 6);
    painter->drawText(band.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, elided);
    if (selected) {
        QPen frame(option.palette.highlight().color(), 3);
        painter->setPen(frame);
        painter->drawRect(imageRect.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}

}  // namespace pictrove
