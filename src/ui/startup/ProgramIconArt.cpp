#include "ui/startup/ProgramIconArt.h"

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace pictrove {

namespace {

// On a 16-unit grid, back to front; the frames overlap down and to the right.
struct Frame {
    QRectF rect;
    QColor fill;
};

constexpr int kFrameCount = 3;
constexpr qreal kCornerRadius = 1;
constexpr qreal kOutlineWidth = 0.8;

Frame frame(int i)
{
    return {QRectF(1 + i * 2, 2 + i * 2, 10, 8), QColor(38 + i * 20, 92 + i * 20, 150 + i * 20)};
}

}  // namespace

QImage programIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    // At least one pixel wide: at 16 px a thinner outline vanishes into the fill.
    painter.setPen(QPen(Qt::white, qMax<qreal>(1, unit * kOutlineWidth)));
    for (int i = 0; i < kFrameCount; ++i) {
        const Frame f = frame(i);
        painter.setBrush(f.fill);
        const QRectF &r = f.rect;
        painter.drawRoundedRect(QRectF(r.x() * unit, r.y() * unit, r.width() * unit, r.height() * unit),
                                kCornerRadius * unit, kCornerRadius * unit);
    }
    return image;
}

QByteArray programIconSvg()
{
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 16 16\">\n";
    for (int i = 0; i < kFrameCount; ++i) {
        const Frame f = frame(i);
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\" "
                              "stroke=\"#ffffff\" stroke-width=\"%7\"/>\n")
                   .arg(f.rect.x())
                   .arg(f.rect.y())
                   .arg(f.rect.width())
                   .arg(f.rect.height())
                   .arg(kCornerRadius)
                   .arg(f.fill.name())
                   .arg(kOutlineWidth)
                   .toUtf8();
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace pictrove
