#include "ui/ProgramIcon.h"

#include <QPainter>
#include <QPixmap>

namespace pictrove {

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        for (int i = 0; i < 3; ++i) {
            const QRectF frame((1 + i * 2) * unit, (2 + i * 2) * unit, 10 * unit, 8 * unit);
            painter.setPen(QPen(QColor(255, 255, 255), qMax<qreal>(1, unit * 0.8)));
            painter.setBrush(QColor(38 + i * 20, 92 + i * 20, 150 + i * 20));
            painter.drawRoundedRect(frame, unit, unit);
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace pictrove
