#include "ui/mainwindow/MainWindowEvents.h"

#include "download/ArchivedAlbums.h"
#include "download/Downloader.h"
#include "download/ResultMessages.h"

#include "settings/DataFolder.h"
#include "sources/Session.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/platform/ShellServices.h"

#include <QDateTime>
#include <QDir>
#include <QProgressBar>

#include <algorithm>

#include <initializer_list>

namespace pictrove {

namespace {

// Controls a running list must not let the user touch.
constexpr std::initializer_list<int> kLockedWhileListing = {
    kControlSourceType,  kControlDownload,    kControlOwnerAddress, kControlThumbnails, kControlPraiseLink1,
    kControlPraiseLink2, kControlPraiseLink3, kControlFind,         kControlFilter,     kControlExport,
    kControlUpdate,
};

// Controls a running download must not let the user touch.
constexpr std::initializer_list<int> kLockedWhileDownloading = {
    kControlSourceType, kControlGetList,     kControlSetPath,     kControlOwnerAddress,
    kControlSavePath,   kControlPraiseLink1, kControlPraiseLink2, kControlPraiseLink3,
    kControlUpdate,
};

}  // namespace

MainWindowEvents::MainWindowEvents(MainWindow &window)
    : m_window(window)
{
}

void MainWindowEvents::setText(int id, const QString &text)
{
    setControlText(m_window.control(id), text);
}

void MainWindowEvents::setEnabled(int id, bool enabled)
{
    if (QWidget *control = m_window.control(id))
        control->setEnabled(enabled);
}

void MainWindowEvents::showMessage(const QString &text)
{
    m_window.shell().showMessage(&m_window, text, QString());
}

void MainWindowEvents::report(const ListEvent &event)
{
    std::visit([this](const auto &e) { on(e); }, event);
}

void MainWindowEvents::report(const DownloadEvent &event)
{
    std::visit([this](const auto &e) { on(e); }, event);
}

void MainWindowEvents::on(const event::ListStarted &)
{
    // The counts of the last list's albums would stand beside the new list's rows.
    m_window.albumView().showArchivedCounts({});
    for (const int id : kLockedWhileListing)
        setEnabled(id, false);
    setControlChecked(m_window.control(kControlSelectAll), false);
    setText(kControlGetList, QStringLiteral("终止获取"));
    setText(kControlListFrame, QStringLiteral("相册列表"));
    setText(kControlStatus, QStringLiteral("正在获取相册列表，请稍等..."));
    setText(kControlStatusDetail, QString());
    if (QWidget *banner = m_window.control(kControlBanner))
        banner->setVisible(false);
}

void MainWindowEvents::on(const event::AlbumAdded &e)
{
    m_window.albumView().addAlbumRow(e.index);
}

void MainWindowEvents::on(const event::AlbumLost &)
{
    showMessage(QStringLiteral("内存分配失败"));
}

void MainWindowEvents::on(const event::OwnerAddressRemembered &e)
{
    if (auto *owner = qobject_cast<HistoryComboBox *>(m_window.control(kControlOwnerAddress)))
        owner->addHistory(e.address);
}

void MainWindowEvents::on(const event::ListWaiting &e)
{
    setText(kControlStatus, rateLimitWaitMessage(e.seconds));
}

void MainWindowEvents::on(const event::ListFailureDetail &e)
{
    m_listDetail = e.detail;
}

void MainWindowEvents::on(const event::ListFinished &e)
{
    const QString message = listResultMessage(e.result, m_listDetail);
    m_listDetail.clear();
    if (!message.isEmpty())
        showMessage(message);
    if (e.result == ListResult::LoginExpired)
        setText(kControlWeiboLogin, message);
    // The list never started: nothing was locked.
    if (e.result == ListResult::NoAddress)
        return;
    endList(e.albumCount);
}

void MainWindowEvents::showArchivedCounts()
{
    // A few grouped queries and a stat per archived file, on this thread: the list and
    // the download have ended, so the albums and the owner stay as they are meanwhile.
    // The stats mostly find the entries the download just cached: some tens of ms for
    // 10,000 files on a local disk, slower on a network share.
    Session &session = m_window.session();
    const QString saveRoot = absoluteSavePath(controlText(m_window.control(kControlSavePath)), QDir::homePath());
    m_window.albumView().showArchivedCounts(
        archivedCountsPerAlbum(session.dataFolder(), saveRoot, session.albums.all(), session.owner));
}

void MainWindowEvents::endList(int albumCount)
{
    m_window.albumView().refresh();
    showArchivedCounts();
    setText(kControlListFrame, QStringLiteral("相册列表(共%1个)").arg(albumCount));
    setText(kControlStatus, QStringLiteral("获取相册列表完成，共%1个").arg(albumCount));
    for (const int id : kLockedWhileListing) {
        // Nothing to download until a list has albums.
        setEnabled(id, id != kControlDownload || albumCount >= 1);
    }
    setText(kControlGetList, QStringLiteral("获取相册"));
}

void MainWindowEvents::on(const event::DownloadStarted &)
{
    m_window.failedPictures().clear();
    for (const int album : m_window.runAlbums())
        m_window.albumView().setAlbumState(album, QStringLiteral("等待中"));
    m_window.control(kControlFailedList)->setVisible(false);
    m_progress.start(QDateTime::currentMSecsSinceEpoch());
    m_title = m_window.windowTitle();
    m_running = true;
    showProgress();
    m_window.control(kControlProgress)->setVisible(true);
    setText(kControlDownload, QStringLiteral("终止下载"));
    for (const int id : kLockedWhileDownloading)
        setEnabled(id, false);
}

void MainWindowEvents::on(const event::SaveFolderFailed &e)
{
    showMessage(e.level);
}

void MainWindowEvents::on(const event::AlbumStarted &e)
{
    m_album = m_window.runAlbums().value(e.number - 1, -1);
    m_albumName = e.name;
    m_albumIncomplete = false;
    m_albumEnded = false;
    // After a stop the albums listed ahead only come to their end: the run does not
    // move on to them, nor does the bar.
    if (m_window.downloadStopRequested())
        return;
    setText(kControlStatus, QStringLiteral("正在下载第%1/%2个图集").arg(e.number).arg(e.count));
    m_progress.albumStarted(e.number, e.count);
    m_window.albumView().setAlbumState(m_album, QStringLiteral("下载中"));
    showProgress();
    setText(kControlStatusDetail, QStringLiteral("......"));
}

void MainWindowEvents::on(const event::PicturesListed &e)
{
    setText(kControlStatusDetail, QStringLiteral("已获取到%1张图片信息").arg(e.count));
}

void MainWindowEvents::on(const event::TransferStarted &)
{
    setText(kControlStatusDetail, QStringLiteral("已开始下载图片"));
}

void MainWindowEvents::on(const event::PictureProgress &e)
{
    setText(kControlStatusDetail, QStringLiteral("已下载%1/%2......").arg(e.album.done).arg(e.album.total));
    m_progress.update(e.album, QDateTime::currentMSecsSinceEpoch());
    m_window.albumView().setAlbumState(m_album, QStringLiteral("下载中 %1/%2").arg(e.album.done).arg(e.album.total));
    showProgress();
}

void MainWindowEvents::on(const event::RunProgress &e)
{
    m_progress.updateRun(e.run, QDateTime::currentMSecsSinceEpoch());
    showProgress();
}

void MainWindowEvents::on(const event::AlbumListingWaiting &e)
{
    setText(kControlStatusDetail, rateLimitWaitMessage(e.seconds));
}

void MainWindowEvents::showProgress()
{
    if (!m_running)
        return;
    auto *bar = qobject_cast<QProgressBar *>(m_window.control(kControlProgress));
    const int permille = int(m_progress.fraction() * 1000);
    const QString extra = m_progress.speedAndTimeLeft();
    bar->setValue(permille);
    bar->setFormat(extra.isEmpty() ? QStringLiteral("%p%") : QStringLiteral("%p%  ") + extra);
    const QString percent = QStringLiteral("%1% - ").arg(permille / 10);
    m_window.setWindowTitle(percent + m_title);
}

void MainWindowEvents::on(const event::PictureFailed &e)
{
    m_window.failedPictures().append({m_album, m_albumName, e.address, e.reason});
}

void MainWindowEvents::on(const event::AlbumIncomplete &)
{
    m_albumIncomplete = true;
}

void MainWindowEvents::on(const event::AlbumFinished &e)
{
    m_albumEnded = true;
    if (e.stopped) {
        m_window.albumView().setAlbumState(m_album, stoppedAlbumState(e.album));
        return;
    }
    // Pictures a full disk left untried are no failures of theirs: they are said apart.
    const QString untried = e.album.untried > 0 ? QStringLiteral("未下载 %1").arg(e.album.untried) : QString();
    QStringList parts;
    if (e.album.failed > 0)
        parts.append(QStringLiteral("失败 %1").arg(e.album.failed));
    else if (m_albumIncomplete)
        parts.append(QStringLiteral("不完整"));
    else if (untried.isEmpty())
        parts.append(QStringLiteral("完成"));
    if (!untried.isEmpty())
        parts.append(untried);
    m_window.albumView().setAlbumState(m_album, parts.join(QStringLiteral("，")));
    m_albumIncomplete = false;
}

void MainWindowEvents::on(const event::DiskFull &e)
{
    showMessage(QStringLiteral("磁盘空间不足：%1").arg(QDir::toNativeSeparators(e.folder)));
}

void MainWindowEvents::on(const event::ArchiveUnusable &e)
{
    showMessage(archiveUnusableMessage(e));
}

void MainWindowEvents::on(const event::DownloadFinished &e)
{
    // An album's listing found the saved login run out: the line saying who is logged
    // in says so, as after a list that met it.
    if (e.run.loginRefusal == ListResult::LoginExpired)
        setText(kControlWeiboLogin, listResultMessage(ListResult::LoginExpired, QString()));
    switch (e.result) {
    case DownloadResult::NoSavePath:
        showMessage(QStringLiteral("请先设置保存路径"));
        return;
    case DownloadResult::SaveFolderFailed:
        // The level that failed was shown just before.
        showMessage(QStringLiteral("请检测设置的保存路径是否有误"));
        return;
    case DownloadResult::NoAlbumChosen:
        showMessage(QStringLiteral("请先在列表中选择要下载的相册"));
        endDownload(QStringLiteral("没有下载任何图片：请先选择相册"), QString());
        return;
    case DownloadResult::DiskFull:  // the message came with DiskFull just before
        markUnfinishedAlbumsStopped();
        endDownload(QStringLiteral("磁盘空间不足，下载已停止"), runSummary(e.run));
        return;
    case DownloadResult::Stopped:
        markUnfinishedAlbumsStopped();
        endDownload(QStringLiteral("下载已终止"), runSummary(e.run));
        return;
    case DownloadResult::Finished:
        endDownload(QStringLiteral("下载完毕"), runSummary(e.run));
        return;
    }
}

void MainWindowEvents::markUnfinishedAlbumsStopped()
{
    // The album under way, and those still waiting, did not get their turn.
    const QList<int> &albums = m_window.runAlbums();
    const int current = int(albums.indexOf(m_album));
    for (int i = std::max(current, 0); i < albums.size(); ++i) {
        if (i == current && m_albumEnded)
            continue;
        m_window.albumView().setAlbumState(albums.at(i), QStringLiteral("已停止"));
    }
}

void MainWindowEvents::endDownload(const QString &status, const QString &detail)
{
    m_window.control(kControlFailedList)->setVisible(!m_window.failedPictures().isEmpty());
    m_window.control(kControlProgress)->setVisible(false);
    if (m_running)
        m_window.setWindowTitle(m_title);
    m_running = false;
    setText(kControlDownload, QStringLiteral("下载"));
    for (const int id : kLockedWhileDownloading)
        setEnabled(id, true);
    showArchivedCounts();
    setText(kControlStatus, status);
    setText(kControlStatusDetail, detail);
}

void MainWindowEvents::on(const event::OpenFolder &e)
{
    // Nobody asked for this one just now: when nothing can open it, the end of the run
    // stays on the status line with a note, and no question interrupts it.
    if (!m_window.shell().open(e.folder)) {
        auto *status = m_window.control(kControlStatus);
        setText(kControlStatus, controlText(status) + QStringLiteral("（无法打开文件夹）"));
    }
}

void MainWindowEvents::on(const event::UpdateAlbumsChosen &e)
{
    m_window.setRunAlbums(e.albums);
}

void MainWindowEvents::on(const event::UpdateFinished &e)
{
    const QString summary = updateSummary(e);
    if (summary.isEmpty())
        return;
    // Nothing downloaded for a reason the user can act on: said over the window; an
    // update that ran ends on the status line as a download does.
    if (e.result == UpdateResult::NothingArchived || e.result == UpdateResult::NoArchive)
        showMessage(summary);
    setText(kControlStatus, summary);
}

}  // namespace pictrove
