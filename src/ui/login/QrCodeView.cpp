#include "ui/login/QrCodeView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pictrove {

namespace {

constexpr int kPreferredModulePixels = 6;

}  // namespace

QrCodeView::QrCodeView(QWidget *parent)
    : QWidget(parent)
{
    // Large enough for a phone held at arm's length to read.
    setMinimumSize(240, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void QrCodeView::setMatrix(const QrMatrix &matrix)
{
    m_matrix = matrix;
    updateGeometry();
    update();
}

QSize QrCodeView::sizeHint() const
{
    const int side = (std::max(m_matrix.size(), 21) + 2 * kQrQuietZone) * kPreferredModulePixels;
    return {side, side};
}

void QrCodeView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_matrix.isEmpty())
        return;
    // Whole device pixels per module: a code drawn with fractional modules blurs at
    // their edges, which cameras read worse.
    const qreal ratio = devicePixelRatioF();
    const int modules = m_matrix.size() + 2 * kQrQuietZone;
    const int available = int(std::floor(std::min(width(), height()) * ratio));
    const int module = std::max(1, available / modules);
    const qreal side = modules * module / ratio;
    const QPointF origin((width() - side) / 2, (height() - side) / 2);
    const qreal step = module / ratio;
    painter.fillRect(QRectF(origin, QSizeF(side, side)), Qt::white);
    for (int y = 0; y < m_matrix.size(); ++y) {
        for (int x = 0; x < m_matrix.size(); ++x) {
            if (m_matrix.dark(x, y))
                painter.fillRect(QRectF(origin.x() + (x + kQrQuietZone) * step, origin.y() + (y + kQrQuietZone) * step,
                                        step, step),
                                 Qt::black);
        }
    }
}

}  // namespace pictrove
