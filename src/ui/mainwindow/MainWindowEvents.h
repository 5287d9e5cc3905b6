#pragma once
// How the main window shows what the engine reports: the status lines, the button
// texts, the controls greyed while a list or a download runs, the message boxes, the
// grid and the owner history. GUI thread only: DesktopEngineEvents brings the events
// here.

#include "download/EngineEvents.h"
#include "ui/mainwindow/RunProgress.h"

#include <QString>

namespace pictrove {

class MainWindow;

class MainWindowEvents : public EngineEvents {
public:
    explicit MainWindowEvents(MainWindow &window);

    void report(const ListEvent &event) override;
    void report(const DownloadEvent &event) override;

private:
    // One overload per kind of event shown.
    void on(const event::ListStarted &e);
    void on(const event::AlbumAdded &e);
    void on(const event::AlbumLost &e);
    void on(const event::OwnerAddressRemembered &e);
    void on(const event::ListWaiting &e);
    void on(const event::ListFailureDetail &e);
    void on(const event::ListFinished &e);
    void on(const event::DownloadStarted &e);
    void on(const event::SaveFolderFailed &e);
    void on(const event::AlbumStarted &e);
    void on(const event::PicturesListed &e);
    void on(const event::TransferStarted &e);
    void on(const event::PictureProgress &e);
    void on(const event::RunProgress &e);
    void on(const event::PictureFailed &e);
    void on(const event::AlbumListingWaiting &e);
    void on(const event::AlbumIncomplete &e);
    void on(const event::AlbumFinished &e);
    void on(const event::DiskFull &e);
    void on(const event::ArchiveUnusable &e);
    void on(const event::DownloadFinished &e);
    void on(const event::OpenFolder &e);
    void on(const event::UpdateAlbumsChosen &e);
    void on(const event::UpdateFinished &e);

    void endList(int albumCount);
    // The album list's 已存档 column, from the download archive.
    void showArchivedCounts();
    // The buttons back, the run's end in the status line and its counts beside it.
    void endDownload(const QString &status, const QString &detail);
    // The progress bar and the window title's percentage, from m_progress.
    void showProgress();
    // 已停止 in the 状态 column for the albums a stop left without their end.
    void markUnfinishedAlbumsStopped();
    void setText(int id, const QString &text);
    void setEnabled(int id, bool enabled);
    void showMessage(const QString &text);

    MainWindow &m_window;
    RunProgress m_progress;
    QString m_listDetail;  // why the list that is ending found nothing, when known
    QString m_title;  // the window's title without the run's percentage
    bool m_running = false;  // between DownloadStarted and the run's end
    int m_album = -1;        // index of the album being downloaded
    QString m_albumName;
    bool m_albumIncomplete = false;
    bool m_albumEnded = false;  // the current album's end was reported
};

}  // namespace pictrove
