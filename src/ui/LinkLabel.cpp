#include "ui/LinkLabel.h"

#include <QMouseEvent>

namespace pictrove {

LinkLabel::LinkLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    updateLook();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        updateLook();
    QLabel::changeEvent(event);
}

void LinkLabel::updateLook()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, isEnabled() ? QColor(0, 0, 238) : QColor(150, 150, 150));
    setPalette(colours);
}

}  // namespace pictrove
