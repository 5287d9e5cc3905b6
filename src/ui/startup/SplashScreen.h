#pragma once
// The start-up splash: a frameless tool window shaped by its picture (every pixel of
// the colour key is cut away), with a text drawn over it, fading in and out. Shown
// while the configuration query runs; Esc while it has the keyboard ends the program.

#include <QPixmap>
#include <QWidget>

class QPropertyAnimation;

namespace pictrove {

class SplashScreen : public QWidget {
    Q_OBJECT
public:
    enum Style : int {
        FadeIn = 1,
        FadeOut = 2,
        DropShadow = 4,
        CenterOnScreen = 8,
        CenterOnOwner = 16,
        HideOnInput = 32,
    };
    static constexpr QRgb kColourKey = qRgb(212, 120, 120);

    // `owner` may be hidden. After `timeoutMs` the splash hides itself; 0 keeps it
    // until hideSplash().
    SplashScreen(QWidget *owner, int style, int timeoutMs = 2000);

    void setText(const QString &text);
    QString text() const { return m_text; }
    QPixmap picture() const { return m_picture; }

    // Position, then fade in over 500 ms (style FadeIn) or appear at once.
    void showSplash();
    // Fade out over 200 ms (style FadeOut) or vanish at once, then delete itself.
    void hideSplash();

    // Our own picture: a rounded card on the colour key.
    static QPixmap defaultPicture();

Q_SIGNALS:
    // Esc was typed; the program ends.
    void escapePressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QWidget *m_owner;
    const int m_style;
    const int m_timeoutMs;
    QPixmap m_picture;
    QString m_text;
    QPropertyAnimation *m_fade = nullptr;
    bool m_hiding = false;
};

}  // namespace pictrove
