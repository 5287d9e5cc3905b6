#pragma once
// The album search box (相册搜索): a small captionless dialog, moved by dragging its
// body. Find mode is one modeless instance that steps through the grid with 下一个
// and 上一个; filter mode is a modal instance whose 筛选 button hands the keyword back.

#include <QDialog>
#include <QPoint>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pictrove {

class AlbumGrid;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    enum Mode { FindMode, FilterMode };

    FindDialog(Mode mode, QWidget *owner);

    Mode mode() const { return m_mode; }
    // The keyword trimmed at both ends.
    QString keyword() const;

    // Find mode: searches `grid`, one row selectable at a time while shown; centred
    // over the owner.
    void attach(AlbumGrid *grid);
    // × in find mode: hidden, and the grid gets its multiple selection back.
    void dismiss();

    // 下一个 / 上一个. Returns the row found, -1 for none.
    int findStep(bool forward);

    // Tells the user about an empty keyword; the window routes it to its shell.
    std::function<void(const QString &)> showMessage;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void centreOverOwner();

    const Mode m_mode;
    AlbumGrid *m_grid = nullptr;
    QLineEdit *m_keyword = nullptr;
    QCheckBox *m_caseSensitive = nullptr;
    QCheckBox *m_wholeCell = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    QPoint m_dragOffset;
};

}  // namespace pictrove
