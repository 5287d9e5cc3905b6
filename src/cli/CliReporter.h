#pragma once
// What pictrove-cli tells the terminal while the engine runs. Engine events become
// lines on stderr (one line per change of state, in the words the desktop program's
// status lines use); on a terminal the progress of a download is instead one live
// line with the album, a bar and the rate. Results and the folder to open are kept
// for the exit code and stdout. Events may come from any engine thread.

#include "download/EngineEvents.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <mutex>
#include <optional>

namespace pictrove {

// One line of a failed list: the address, a tab, the reason; tabs and line ends inside
// either become blanks, so the line stays one line of two fields.
QString failedListLine(const QString &address, const QString &reason);

class CliReporter : public EngineEvents {
public:
    explicit CliReporter(FILE *err = stderr);

    void report(const ListEvent &event) override;
    void report(const DownloadEvent &event) override;

    std::optional<ListResult> listResult() const;
    std::optional<DownloadResult> downloadResult() const;
    // The run's pictures, as DownloadFinished counted them.
    PictureCounts downloadCounts() const;
    // Every picture that did not arrive: "address\treason", in the order they failed.
    QStringList failedPictures() const;
    // How the last update ended; nullopt until one did. startOwner forgets it.
    std::optional<event::UpdateFinished> updateFinished() const;
    void startOwner();
    // The folder the options asked to open at the end of the run, or empty.
    QString folderToOpen() const;
    // A plain message line, for the CLI's own notes.
    void message(const QString &text);
    // Ends a live progress line so the next output starts on a fresh line.
    void finishLine();

private:
    // One overload per kind of event shown; the rest are not shown in a terminal.
    void on(const event::ListStarted &e);
    void on(const event::AlbumLost &e);
    void on(const event::ListWaiting &e);
    void on(const event::ListFailureDetail &e);
    void on(const event::ListFinished &e);
    void on(const event::SaveFolderFailed &e);
    void on(const event::AlbumStarted &e);
    void on(const event::PicturesListed &e);
    void on(const event::TransferStarted &e);
    void on(const event::PictureProgress &e);
    void on(const event::RunProgress &e);
    void on(const event::PictureFailed &e);
    void on(const event::AlbumListingWaiting &e);
    void on(const event::AlbumIncomplete &e);
    void on(const event::DiskFull &e);
    void on(const event::ArchiveUnusable &e);
    void on(const event::DownloadFinished &e);
    void on(const event::OpenFolder &e);
    void on(const event::UpdateAlbumsChosen &e);
    void on(const event::UpdateFinished &e);
    template <class Event>
    void on(const Event &)
    {
    }

    void printLine(const QString &line);
    void drawProgress();

    FILE *m_err;
    const bool m_live;  // stderr is a terminal
    mutable std::mutex m_mutex;
    std::optional<ListResult> m_listResult;
    QString m_listDetail;
    std::optional<DownloadResult> m_downloadResult;
    PictureCounts m_downloadCounts;
    QStringList m_failed;
    QString m_folderToOpen;
    std::optional<event::UpdateFinished> m_update;
    // The live line: the album walked and the pictures done of the one transferring.
    int m_albumNumber = 0;
    int m_albumCount = 0;
    std::optional<PictureCounts> m_album;
    PictureCounts m_run;  // the whole run so far
    bool m_lineOpen = false;
    QElapsedTimer m_clock;
};

}  // namespace pictrove
