#pragma once
// Download: one run walks the chosen albums, has each album's picture fetcher queue
// its pictures (AlbumQueueSink), then transfers them or writes a Thunder list, and
// finally leaves the marker and runs the repairs. start() runs on the front end's
// thread; the run itself on a thread of the session, reporting through DownloadEvents.

#include "download/AlbumQueue.h"
#include "download/DownloadEvents.h"

#include <QString>

#include <atomic>

namespace pictrove {

class Session;
struct AlbumWalk;

enum class DownloadState : int {
    Idle,
    Running,
    AlbumClosed,     // skip-previous met the first picture of the album's last download
    AbortRequested,  // the run ends after the current step
};

enum class DownloadCommand {
    Started,         // a run now walks the request
    AbortRequested,  // a run was going on: it ends after its current step
    ThreadFailed,    // no thread could be started; nothing changed
};

class Downloader {
public:
    Downloader(Session &session, DownloadEvents &events);
    // Waits for the session's threads: a run refers to this object.
    ~Downloader();

    Downloader(const Downloader &) = delete;
    Downloader &operator=(const Downloader &) = delete;

    // Idle: starts a run of `request`. Running: requests the abort, exactly as
    // pressing 终止下载 does.
    DownloadCommand start(const DownloadRequest &request);
    void requestAbort();

    // The run's body, on the calling thread; the state must be Running (start sets it).
    DownloadResult run(const DownloadRequest &request);

    DownloadState state() const { return m_state.load(); }
    bool isRunning() const { return state() != DownloadState::Idle; }

    // The folder Open Path should open: the album being transferred while transfers
    // run, otherwise `savePath`.
    QString openPathFolder(const QString &savePath) const;

    // The last album's queue: its folder and final file names (after the repairs).
    const AlbumQueue &queue() const { return m_queue; }

    // Skip-previous met the album's marker: the album takes no more pictures.
    void closeAlbum();

private:
    // Sets the state unless an abort is pending, which the front end may request at
    // any moment and which must not be overwritten. False when aborted.
    bool setStateUnlessAborted(DownloadState value);
    bool aborted() const { return state() == DownloadState::AbortRequested; }
    void walkAlbum(const DownloadRequest &request, int number, int count, int albumIndex, PictureCounts &run);
    // Lists the album's pictures into the queue and transfers them (or writes the
    // Thunder list), then the marker and the repairs.
    void transferAlbum(const DownloadRequest &request, const AlbumWalk &walk, int count, PictureCounts &run);

    Session &m_session;
    DownloadEvents &m_events;
    std::atomic<DownloadState> m_state{DownloadState::Idle};
    std::atomic<bool> m_transferring{false};
    bool m_diskFull = false;  // this run met a full disk (download thread only)
    AlbumQueue m_queue;
};

}  // namespace pictrove
