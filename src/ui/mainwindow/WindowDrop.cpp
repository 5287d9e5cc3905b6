#include "ui/mainwindow/WindowDrop.h"

#include "settings/SavePathDrop.h"
#include "settings/SettingsStore.h"
#include "sources/Session.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/mainwindow/MainWindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace pictrove {

namespace {

QString firstLocalPath(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return QString();
    return data->urls().constFirst().toLocalFile();
}

}  // namespace

WindowDropHandler::WindowDropHandler(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool WindowDropHandler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window)
        return false;
    if (event->type() == QEvent::DragEnter) {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (!firstLocalPath(enter->mimeData()).isEmpty())
            enter->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        if (takeDrop(*drop))
            drop->acceptProposedAction();
        return true;
    }
    return false;
}

bool WindowDropHandler::takeDrop(const QDropEvent &event)
{
    const QString folder = droppedSavePath(firstLocalPath(event.mimeData()));
    if (folder.isEmpty())
        return false;
    auto *savePath = qobject_cast<HistoryComboBox *>(m_window.control(kControlSavePath));
    if (!savePath)
        return false;
    savePath->setEditText(folder);
    Session &session = m_window.session();
    bool added = false;
    session.updateSettings([&](SettingsBlock &block) { added = addHistory(block, kHistorySavePath, folder); });
    if (added) {
        savePath->addHistory(folder);
        saveSettings(session.dataFolder(), session.settings());
    }
    return true;
}

}  // namespace pictrove
