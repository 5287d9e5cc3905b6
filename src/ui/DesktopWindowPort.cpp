#include "ui/DesktopWindowPort.h"

#include "ui/AlbumListView.h"
#include "ui/HistoryComboBox.h"
#include "ui/ControlAccess.h"
#include "ui/MainWindow.h"
#include "ui/ShellServices.h"

#include <QThread>

#include <memory>
#include <optional>

DesktopWindowPort::DesktopWindowPort(MainWindow &window)
    : m_window(window)
{
}

void DesktopWindowPort::shutdown()
{
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
        m_pendingTexts.clear();
    }
    m_answered.notify_all();
}

bool DesktopWindowPort::isShutDown() const
{
    std::lock_guard lock(m_mutex);
    return m_shutdown;
}

bool DesktopWindowPort::onGuiThread() const
{
    return QThread::currentThread() == m_window.thread();
}

QWidget *DesktopWindowPort::control(int id) const
{
    return m_window.control(id);
}

void DesktopWindowPort::runOnGui(std::function<void()> action)
{
    if (onGuiThread()) {
        applyPendingTexts();
        action();
        return;
    }
    if (isShutDown())
        return;
    // The window is the context: were it gone before the event runs, Qt drops the event.
    QMetaObject::invokeMethod(&m_window, [this, action = std::move(action)] {
        applyPendingTexts();
        action();
    }, Qt::QueuedConnection);
}

template <typename R>
R DesktopWindowPort::ask(std::function<R()> question, R fallback)
{
    if (onGuiThread()) {
        applyPendingTexts();
        return question();
    }
    // Shared with the queued call: a caller released by shutdown() leaves, and the
    // call may still run later without touching anything the caller owned.
    auto answer = std::make_shared<std::optional<R>>();
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return fallback;
    }
    QMetaObject::invokeMethod(&m_window, [this, answer, question = std::move(question)] {
        applyPendingTexts();
        R value = question();
        {
            std::lock_guard lock(m_mutex);
            *answer = std::move(value);
        }
        m_answered.notify_all();
    }, Qt::QueuedConnection);

    std::unique_lock lock(m_mutex);
    m_answered.wait(lock, [&] { return answer->has_value() || m_shutdown; });
    return answer->has_value() ? **answer : fallback;
}

void DesktopWindowPort::applyPendingTexts()
{
    QHash<int, QString> texts;
    {
        std::lock_guard lock(m_mutex);
        texts.swap(m_pendingTexts);
        m_textsPosted = false;
    }
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        setControlText(control(it.key()), it.value());
}

QString DesktopWindowPort::text(int id)
{
    return ask<QString>([this, id] { return controlText(control(id)); }, QString());
}

void DesktopWindowPort::setText(int id, const QString &text)
{
    if (onGuiThread()) {
        applyPendingTexts();
        setControlText(control(id), text);
        return;
    }
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return;
        m_pendingTexts.insert(id, text);
        post = !m_textsPosted;
        m_textsPosted = true;
    }
    if (post)
        QMetaObject::invokeMethod(&m_window, [this] { applyPendingTexts(); }, Qt::QueuedConnection);
}

void DesktopWindowPort::setEnabled(int id, bool enabled)
{
    runOnGui([this, id, enabled] {
        if (QWidget *target = control(id))
            target->setEnabled(enabled);
    });
}

void DesktopWindowPort::setVisible(int id, bool visible)
{
    runOnGui([this, id, visible] {
        if (QWidget *target = control(id))
            target->setVisible(visible);
    });
}

bool DesktopWindowPort::isChecked(int id)
{
    return ask<bool>([this, id] { return controlChecked(control(id)); }, false);
}

void DesktopWindowPort::setChecked(int id, bool checked)
{
    runOnGui([this, id, checked] { setControlChecked(control(id), checked); });
}

int DesktopWindowPort::currentIndex(int id)
{
    return ask<int>([this, id] { return controlIndex(control(id)); }, -1);
}

void DesktopWindowPort::setCurrentIndex(int id, int index)
{
    runOnGui([this, id, index] { setControlIndex(control(id), index); });
}

void DesktopWindowPort::setItems(int id, const QStringList &items)
{
    runOnGui([this, id, items] { setControlItems(control(id), items); });
}

void DesktopWindowPort::addHistoryItem(int id, const QString &entry)
{
    runOnGui([this, id, entry] {
        if (auto *combo = qobject_cast<HistoryComboBox *>(control(id)))
            combo->addHistory(entry);
    });
}

void DesktopWindowPort::showMessage(const QString &text, const QString &caption)
{
    ask<bool>([this, text, caption] {
        m_window.shell().showMessage(&m_window, text, caption);
        return true;
    }, false);
}

bool DesktopWindowPort::askYesNo(const QString &text)
{
    return ask<bool>([this, text] { return m_window.shell().askYesNo(&m_window, text); }, false);
}

void DesktopWindowPort::addAlbumRow(int index)
{
    AlbumListView &view = m_window.albumView();
    if (onGuiThread()) {
        view.addAlbumRow(index);
        return;
    }
    if (isShutDown())
        return;
    // The cover is fetched here, on the engine's thread, never on the GUI thread.
    const int generation = view.generation();
    view.prepareCover(index, generation);
    view.queueRow(index, generation);
}

void DesktopWindowPort::refreshGrid()
{
    runOnGui([this] { m_window.albumView().refresh(); });
}

QList<int> DesktopWindowPort::selectedAlbums()
{
    return ask<QList<int>>([this] { return m_window.albumView().selectedAlbums(); }, QList<int>());
}

void DesktopWindowPort::openFolderOrAddress(const QString &target)
{
    runOnGui([this, target] { m_window.shell().open(target); });
}
