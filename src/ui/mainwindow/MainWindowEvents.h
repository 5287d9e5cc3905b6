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

    void listStarted() override;
    void albumAdded(int index, const AlbumRecord &album) override;
    void albumLost() override;
    void ownerAddressRemembered(const QString &address) override;
    void listWaiting(int seconds) override;
    void listFailureDetail(const QString &detail) override;
    void listFinished(ListResult result, int albumCount) override;

    void downloadStarted() override;
    void saveFolderFailed(const QString &level) override;
    void albumStarted(int number, int count, const QString &name) override;
    void picturesListed(int count) override;
    void transferStarted(int total) override;
    void pictureProgress(const PictureCounts &album) override;
    void runProgress(const PictureCounts &run) override;
    void pictureFailed(const QString &address, const QString &reason) override;
    void albumListingWaiting(int seconds) override;
    void albumIncomplete(const QString &name, const QString &reason) override;
    void albumFinished(int number, int count, const QString &folder, const PictureCounts &album) override;
    void diskFull(const QString &folder) override;
    void downloadFinished(DownloadResult result, const PictureCounts &run) override;
    void openFolder(const QString &folder) override;

private:
    void endList(int albumCount);
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
    bool m_running = false;  // between downloadStarted and the run's end
    int m_album = -1;        // index of the album being downloaded
    QString m_albumName;
    bool m_albumIncomplete = false;
    bool m_albumEnded = false;  // the current album's end was reported
};

}  // namespace pictrove
