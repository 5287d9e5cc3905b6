#include "ui/mainwindow/MainWindow.h"

#include "download/Downloader.h"
#include "grid/AlbumGrid.h"
#include "settings/DataFolder.h"
#include "settings/SettingsStore.h"
#include "sources/ListAcquisition.h"
#include "sources/Session.h"
#include "sources/SourceConfigService.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/albumview/CsvExport.h"
#include "ui/mainwindow/DesktopEngineEvents.h"
#include "ui/albumview/FindDialog.h"
#include "ui/mainwindow/GuiQueue.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/mainwindow/MainWindowEvents.h"
#include "ui/mainwindow/MenuCommands.h"
#include "ui/platform/ShellServices.h"
#include "ui/mainwindow/WindowDrop.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace pictrove {

MainWindow::MainWindow(ShellServices &shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
{
    m_windowEvents = std::make_unique<MainWindowEvents>(*this);
    m_events = std::make_unique<DesktopEngineEvents>(*m_windowEvents);
    m_startupQueue = std::make_unique<GuiQueue>();
    // The data folder is known once initialise() has looked at the current folder.
    m_session = std::make_unique<Session>(QString(), *m_events);
    buildControls();

    AlbumListView::Controls controls;
    controls.grid = m_grid;
    controls.selectAll = qobject_cast<QCheckBox *>(control(kControlSelectAll));
    controls.thumbnails = qobject_cast<QCheckBox *>(control(kControlThumbnails));
    controls.findLink = control(kControlFind);
    controls.filterLink = control(kControlFilter);
    m_view = std::make_unique<AlbumListView>(*m_session, controls);
    m_view->askYesNo = [this](const QString &text) { return m_shell.askYesNo(this, text); };
    m_events->setAlbumView(m_view.get());
    m_downloader = std::make_unique<Downloader>(*m_session, *m_events);
    connectControls();
    // The menu's commands and the window's drops, children of the window.
    new MenuCommands(*this);
    new WindowDropHandler(*this);
    resize(860, 620);
}

void MainWindow::fitIntoScreen()
{
    // At a large scale factor the usual size is larger than a small screen: the window
    // opens within the screen's free area instead, its controls laid out to fit.
    const QScreen *display = screen();
    if (!display)
        return;
    const QRect room = display->availableGeometry();
    winId();  // the platform window, so its frame is known where the platform tells
    const QSize frame = frameGeometry().size() - size();
    resize(size().boundedTo(room.size() - frame));
    const QRect outer = frameGeometry();
    if (!room.contains(outer))
        move(std::clamp(outer.x(), room.x(), std::max(room.x(), room.right() - outer.width() + 1)),
             std::clamp(outer.y(), room.y(), std::max(room.y(), room.bottom() - outer.height() + 1)));
}

MainWindow::~MainWindow()
{
    // Whatever the threads still running hand over is dropped from now on, so the
    // waits for them below cannot depend on this thread.
    m_events->shutdown();
    m_startupQueue->shutdown();
    m_downloader.reset();
    m_session.reset();
}

void MainWindow::onGetList()
{
    if (!m_ready)
        return;
    if (m_session->listState.load() == ListState::Idle) {
        // A new list replaces the old one: its rows, covers and a rebuild in progress.
        m_view->interruptRebuild();
        m_view->resetGrid();
        m_view->clearThumbnails();
    }
    ListRequest request;
    request.ownerAddress = controlText(m_ownerBox);
    const ListCommand command = startList(*m_session, request);
    if (command == ListCommand::StopRequested)
        return;
    // The album list was emptied.
    m_view->refresh();
    if (command == ListCommand::ThreadFailed)
        m_shell.showMessage(this, QStringLiteral("Create thread:GetListFunc failed."), QString());
}

void MainWindow::onDownload()
{
    // Nothing chosen: said at once, without the button flipping to "stop" and back.
    // The path the run uses is the one the box shows, in full.
    const QString saveRoot = absoluteSavePath(controlText(m_savePathBox), QDir::homePath());
    if (!saveRoot.isEmpty() && saveRoot != controlText(m_savePathBox))
        m_savePathBox->setEditText(saveRoot);
    if (!m_downloader->isRunning() && m_view->selectedAlbums().isEmpty()) {
        m_shell.showMessage(this, QStringLiteral("请先在列表中选择要下载的相册"), QString());
        setControlText(control(kControlStatus), QStringLiteral("没有下载任何图片：请先选择相册"));
        return;
    }
    // In list order, however the view is sorted.
    QList<int> albums = m_view->selectedAlbums();
    std::sort(albums.begin(), albums.end());
    DownloadRequest request = downloadRequestFor(m_session->settings(), m_session->sourceType.load(), saveRoot, albums);
    if (!m_downloader->isRunning()) {
        request.useArchive = !std::exchange(m_noArchiveOnce, false);
        request.media = readMediaOptions(m_session->dataFolder());
        request.post = readPostRecordOptions(m_session->dataFolder());
        m_runAlbums = request.albums;
        m_downloadStopRequested = false;
    } else {
        m_downloadStopRequested = true;  // this press stops the run
    }
    if (m_downloader->start(request) == DownloadCommand::ThreadFailed)
        m_shell.showMessage(this, QStringLiteral("Create thread:DownPicFunc failed."), QString());
}

void MainWindow::onUpdate()
{
    if (!m_ready || busy())
        return;
    m_view->interruptRebuild();
    m_view->resetGrid();
    m_view->clearThumbnails();
    UpdateRequest request;
    request.list.ownerAddress = controlText(m_ownerBox);
    const QString saveRoot = absoluteSavePath(controlText(m_savePathBox), QDir::homePath());
    if (!saveRoot.isEmpty() && saveRoot != controlText(m_savePathBox))
        m_savePathBox->setEditText(saveRoot);
    request.download = downloadRequestFor(m_session->settings(), request.list.sourceType, saveRoot, {});
    request.download.media = readMediaOptions(m_session->dataFolder());
    request.download.post = readPostRecordOptions(m_session->dataFolder());
    m_runAlbums.clear();
    m_downloadStopRequested = false;
    const DownloadCommand command = m_downloader->startUpdate(request);
    m_view->refresh();  // the album list was emptied
    if (command == DownloadCommand::ThreadFailed)
        m_shell.showMessage(this, QStringLiteral("Create thread:GetListFunc failed."), QString());
}

void MainWindow::onFailedList()
{
    if (m_failedPictures.isEmpty() || m_downloader->isRunning())
        return;
    FailedPicturesDialog dialog(m_failedPictures, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Their albums again, each picture already there skipped: only the missing ones
    // are fetched, under the names they were meant to have.
    QList<int> albums;
    for (const FailedPicture &failure : std::as_const(m_failedPictures)) {
        if (failure.album >= 0 && !albums.contains(failure.album))
            albums.append(failure.album);
    }
    std::sort(albums.begin(), albums.end());
    DownloadRequest request = downloadRequestFor(m_session->settings(), m_session->sourceType.load(),
                                                 absoluteSavePath(controlText(m_savePathBox), QDir::homePath()), albums);
    request.rules.options |= kOptionSkipPrevious;
    request.useArchive = !std::exchange(m_noArchiveOnce, false);
    request.media = readMediaOptions(m_session->dataFolder());
    request.post = readPostRecordOptions(m_session->dataFolder());
    m_runAlbums = albums;
    m_downloadStopRequested = false;
    if (m_downloader->start(request) == DownloadCommand::ThreadFailed)
        m_shell.showMessage(this, QStringLiteral("Create thread:DownPicFunc failed."), QString());
}

void MainWindow::onSetPath()
{
    QString folder = m_shell.chooseFolder(this, QStringLiteral("请选择文件保存目录："));
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_savePathBox->setEditText(folder);
    bool added = false;
    m_session->updateSettings([&](SettingsBlock &block) { added = addHistory(block, kHistorySavePath, folder); });
    if (!added)
        return;
    m_savePathBox->addHistory(folder);
    saveSettings(m_session->dataFolder(), m_session->settings());
}

void MainWindow::onOpenPath()
{
    const QString folder =
        m_downloader->openPathFolder(absoluteSavePath(m_savePathBox->currentText(), QDir::homePath()));
    if (!folder.isEmpty())
        openOrOfferCopy(folder);
}

void MainWindow::onFind()
{
    if (!m_find) {
        m_find = new FindDialog(FindDialog::FindMode, this);
        m_find->showMessage = [this](const QString &text) { m_shell.showMessage(m_find, text, QString()); };
    }
    m_find->attach(m_grid);
}

void MainWindow::onFilter()
{
    FindDialog filter(FindDialog::FilterMode, this);
    if (filter.exec() != QDialog::Accepted)
        return;
    if (m_find && m_find->isVisible())
        m_find->dismiss();
    m_view->applyFilter(filter.keyword());
}

void MainWindow::onExport()
{
    const QString path = m_shell.chooseSaveFile(this, QStringLiteral("导出后，自行调整列宽(*.csv)"),
                                                QStringLiteral("csv"));
    if (!path.isEmpty())
        exportGridCsv(*m_grid, path);  // a file that cannot be written is not reported
}

void MainWindow::openOrOfferCopy(const QString &target)
{
    if (m_shell.open(target))
        return;
    setControlText(control(kControlStatus), QStringLiteral("无法打开：%1").arg(target));
    if (m_shell.askYesNo(this, QStringLiteral("系统中没有能打开它的程序：\n%1\n\n是否复制到剪贴板？").arg(target)))
        QGuiApplication::clipboard()->setText(target);
}

bool MainWindow::busy() const
{
    return m_session->listState.load() != ListState::Idle || m_downloader->state() != DownloadState::Idle;
}

bool MainWindow::confirmQuitWhileBusy()
{
    if (!busy() || m_quitConfirmed)
        return true;
    if (!m_shell.askYesNo(this, QStringLiteral("是否终止当前任务并退出？")))
        return false;
    // The threads are told to end now, so closing does not wait for a whole download.
    m_quitConfirmed = true;
    m_downloadStopRequested = true;
    requestListStop(*m_session);
    m_downloader->requestAbort();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!confirmQuitWhileBusy()) {
        event->ignore();
        return;
    }
    // Paints run on this thread, so none can be in progress here; drawing stays off
    // so nothing queued from the engine's threads repaints a closing window.
    m_grid->setRedraw(false);
    event->accept();
    Q_EMIT closed();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Esc never ends the program by itself: only while a task runs does it offer to
    // stop it and quit.
    if (event->key() == Qt::Key_Escape) {
        if (busy() && confirmQuitWhileBusy())
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pictrove
