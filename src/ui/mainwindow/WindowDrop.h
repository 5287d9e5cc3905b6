#pragma once
// Files and folders dropped on the main window choose the save path: the first
// dropped item's folder goes into the save-path box (1000) and, when new, into the
// save-path history, which is saved at once. Create one for the main window; it is
// parented to the window and watches its drag-and-drop events.

#include <QObject>

class QDropEvent;

namespace pictrove {

class MainWindow;

class WindowDropHandler : public QObject {
    Q_OBJECT
public:
    explicit WindowDropHandler(MainWindow &window);

    // Takes the first local path of a drop; false when there was none.
    bool takeDrop(const QDropEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MainWindow &m_window;
};

}  // namespace pictrove
