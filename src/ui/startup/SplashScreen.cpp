#include "ui/startup/SplashScreen.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

namespace pictrove {

namespace {

constexpr int kFadeInMs = 500;
constexpr int kFadeOutMs = 200;
const QRect kTextRect(QPoint(30, 50), QPoint(291, 160));

}  // namespace

SplashScreen::SplashScreen(QWidget *owner, int style, int timeoutMs)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_owner(owner)
    , m_style(style)
    , m_timeoutMs(timeoutMs)
    , m_picture(defaultPicture())
{
    setObjectName(QStringLiteral("SplashScreen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.size());
    setMask(m_picture.createMaskFromColor(kColourKey, Qt::MaskInColor));
}

void SplashScreen::setText(const QString &text)
{
    m_text = text;
    update();
}

QPixmap SplashScreen::defaultPicture()
{
    QPixmap picture(320, 200);
    picture.fill(QColor(kColourKey));
    QPainter painter(&picture);
    // No antialiasing at the edge: a blended pixel next to the key would stay as a
    // pink fringe once the key is cut away.
    QPainterPath card;
    card.addRoundedRect(QRectF(0, 0, 320, 200), 18, 18);
    QLinearGradient fill(0, 0, 0, 200);
    fill.setColorAt(0.0, QColor(38, 92, 150));
    fill.setColorAt(1.0, QColor(18, 46, 84));
    painter.fillPath(card, fill);

    painter.setRenderHint(QPainter::Antialiasing);
    // A stack of three photo frames, the program's mark.
    for (int i = 0; i < 3; ++i) {
        const QRectF frame(232 + i * 10, 14 + i * 8, 54, 40);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(QColor(255, 255, 255, 40 + i * 40));
        painter.drawRoundedRect(frame, 4, 4);
    }
    QFont title(QStringLiteral("Sans Serif"), 20, QFont::Bold);
    painter.setFont(title);
    painter.setPen(QColor(255, 255, 255, 230));
    painter.drawText(QRect(30, 14, 200, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pictrove"));
    painter.setPen(QColor(255, 255, 255, 90));
    painter.drawLine(30, 168, 290, 168);
    return picture;
}

void SplashScreen::showSplash()
{
    QRect area;
    if ((m_style & CenterOnOwner) && m_owner && m_owner->isVisible())
        area = m_owner->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid()) {
        QRect placed(QPoint(0, 0), size());
        placed.moveCenter(area.center());
        move(placed.topLeft());
    }

    if (m_style & FadeIn) {
        setWindowOpacity(0.0);
        show();
        m_fade = new QPropertyAnimation(this, "windowOpacity", this);
        m_fade->setDuration(kFadeInMs);
        m_fade->setStartValue(0.0);
        m_fade->setEndValue(1.0);
        m_fade->start();
    } else {
        show();
    }
    activateWindow();
    setFocus();

    if (m_timeoutMs > 0)
        QTimer::singleShot(m_timeoutMs, this, &SplashScreen::hideSplash);
}

void SplashScreen::hideSplash()
{
    if (m_hiding)
        return;
    m_hiding = true;
    if (m_fade)
        m_fade->stop();
    if (!(m_style & FadeOut) || !isVisible()) {
        close();
        return;
    }
    auto *fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(kFadeOutMs);
    fade->setStartValue(windowOpacity());
    fade->setEndValue(0.0);
    connect(fade, &QPropertyAnimation::finished, this, &QWidget::close);
    fade->start();
}

void SplashScreen::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSize(10);
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(kTextRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, m_text);
}

void SplashScreen::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT escapePressed();
        return;
    }
    if (m_style & HideOnInput)
        hideSplash();
    QWidget::keyPressEvent(event);
}

void SplashScreen::mousePressEvent(QMouseEvent *event)
{
    if (m_style & HideOnInput)
        hideSplash();
    QWidget::mousePressEvent(event);
}

}  // namespace pictrove
