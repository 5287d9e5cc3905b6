#pragma once
// The engine's window port for the desktop program. Calls made on the GUI thread run
// at once; calls from the engine's threads are queued onto the GUI thread, and those
// that need an answer wait for it. No widget is ever touched off the GUI thread.
//
// Texts set from other threads are coalesced: only the latest text per control is
// applied, once per event-loop turn, so fifteen download workers reporting progress
// cannot flood the event queue. Album rows are batched by the album list view.
//
// The GUI thread never waits for the engine's threads while they may be waiting for
// it: shutdown() releases every waiting caller with a neutral answer, and from then
// on calls from other threads do nothing.

#include "sources/WindowPort.h"

#include <QHash>

#include <condition_variable>
#include <functional>
#include <mutex>

class MainWindow;
class QWidget;

class DesktopWindowPort : public WindowPort {
public:
    explicit DesktopWindowPort(MainWindow &window);

    void shutdown();
    bool isShutDown() const;

    QString text(int id) override;
    void setText(int id, const QString &text) override;
    void setEnabled(int id, bool enabled) override;
    void setVisible(int id, bool visible) override;
    bool isChecked(int id) override;
    void setChecked(int id, bool checked) override;
    int currentIndex(int id) override;
    void setCurrentIndex(int id, int index) override;
    void setItems(int id, const QStringList &items) override;
    void addHistoryItem(int id, const QString &entry) override;
    void showMessage(const QString &text, const QString &caption = QString()) override;
    bool askYesNo(const QString &text) override;
    void addAlbumRow(int index) override;
    void refreshGrid() override;
    QList<int> selectedAlbums() override;
    void openFolderOrAddress(const QString &target) override;

    // Runs `action` on the GUI thread: at once when called there, else queued.
    void runOnGui(std::function<void()> action);

private:
    bool onGuiThread() const;
    // Runs `question` on the GUI thread and returns its answer; `fallback` after shutdown.
    template <typename R>
    R ask(std::function<R()> question, R fallback);
    void applyPendingTexts();
    QWidget *control(int id) const;

    MainWindow &m_window;
    mutable std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_shutdown = false;
    QHash<int, QString> m_pendingTexts;
    bool m_textsPosted = false;
};
