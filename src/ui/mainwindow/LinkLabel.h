#pragma once
// A text link on the main window (查找, 筛选, 导出, the update and home-page links):
// plain text drawn like a hyperlink that emits clicked(). text() is the caption, so
// the window reads links like any other control. Tab reaches it, a focus frame shows
// it has the keyboard, and Space or Enter follows it, as with a button.

#include <QLabel>

namespace pictrove {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &caption, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateLook();
};

}  // namespace pictrove
