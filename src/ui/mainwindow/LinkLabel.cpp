#include "ui/mainwindow/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace pictrove {

LinkLabel::LinkLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
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

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnabled() && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        Q_EMIT clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
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
