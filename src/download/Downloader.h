#pragma once
// Download: one run walks the chosen albums (AlbumPipeline): each album's picture
// fetcher queues its pictures (AlbumQueueSink), a pool of workers transfers them or
// a Thunder list is written, and the album ends with its marker and repairs.
// start() runs on the front end's thread; the run itself on a thread of the session,
// reporting through DownloadEvents.

#include "download/AlbumQueue.h"
#include "download/DownloadEvents.h"
#include "download/PipelineControl.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace pictrove {

class Session;
struct AlbumWalk;

enum class DownloadState : int {
    Idle,
    Running,
    AbortRequested,  // the run ends after the current step
};

enum class DownloadCommand {
    Started,         // a run now walks the request
    AbortRequested,  // a run was going on: it ends after its current step
    ThreadFailed,    // no thread could be started; nothing changed
};

class Downloader : private PipelineControl {
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

    // Idle, with no list running: starts an update of one owner (UpdateRequest) on a
    // thread of the session. It lists first (the list's events go to the session's
    // ListEvents) and then downloads; the downloader counts as running from the start
    // to UpdateFinished, so requestAbort (with requestListStop while it lists) stops
    // it. Running: requests the abort; a list running: asks it to stop.
    DownloadCommand startUpdate(const UpdateRequest &request);

    DownloadState state() const { return m_state.load(); }
    bool isRunning() const { return state() != DownloadState::Idle; }

    // The folder Open Path should open: the album being transferred while transfers
    // run, otherwise `savePath`.
    QString openPathFolder(const QString &savePath) const;

    // The last album's queue: its folder and final file names (after the repairs).
    // Read it when no run is going on.
    const AlbumQueue &queue() const { return *m_lastQueue; }

private:
    void runUpdate(const UpdateRequest &request);
    bool aborted() const { return state() == DownloadState::AbortRequested; }

    // PipelineControl
    bool stopRequested() const override { return aborted(); }
    void requestStop() override { requestAbort(); }
    void pause(int milliseconds) override;
    void transferring(const QString &folder) override;

    Session &m_session;
    DownloadEvents &m_events;
    std::atomic<DownloadState> m_state{DownloadState::Idle};
    mutable std::mutex m_folderMutex;
    QString m_transferFolder;  // the album whose picture was last handed out; empty: none
    std::unique_ptr<AlbumQueue> m_lastQueue = std::make_unique<AlbumQueue>();
    std::atomic<bool> m_updating{false};  // an update runs: an abort also stops its list
    PictureCounts m_lastRun;  // the counts of the last run, on the run's thread
};

}  // namespace pictrove
