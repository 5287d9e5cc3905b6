#pragma once
// The albums of one download run, walked as one stream of pictures. One pool of
// transfer workers lives from the first picture to the last, so no album waits for
// the previous one's slowest picture and connections carry over; while an album's
// pictures transfer, the next albums are listed ahead (bounded: a few hundred pictures
// waiting for a worker at most). Each album's bookkeeping (its marker, repairs and
// events) still happens once, in walk order, after its last picture ended.
//
// With one transfer at a time nothing overlaps: each album is listed when the one
// before it is done, and the pause between two pictures of an album stays.

#include "download/AlbumEventGate.h"
#include "download/AlbumQueue.h"
#include "download/DownloadArchive.h"
#include "download/PipelineControl.h"
#include "download/DownloadEvents.h"
#include "download/TransferPool.h"
#include "sources/AlbumRecord.h"
#include "settings/SettingsBlock.h"

#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pictrove {

class RequestSpacing;
struct ArchiveOwner;

// One chosen album and where its pictures go.
struct ChosenAlbum {
    AlbumRecord record;
    QString folderName;  // under the owner's folder (albumFolderNames); empty: the owner's folder itself
};

// Everything about the run that stays the same from album to album.
struct PipelineSetup {
    QString saveRoot;    // the save folder, ending in "/": archived paths are relative to it
    QString baseFolder;  // the owner's folder, ending in "/"
    QString archivePath;  // the download archive; empty: none in this run
    bool listArchivedAlbumsWhole = false;  // DownloadRequest's
    MediaOptions media;                    // DownloadRequest's
    PostRecordOptions post;                // DownloadRequest's
    QList<ChosenAlbum> albums;  // in walk order
    int listedAlbumCount = 0;   // albums of the list
    OwnerInfo owner;
    QString dataFolder;
    std::function<void(int milliseconds)> sleep;
    int pageIntervalMs = 0;
    std::shared_ptr<RequestSpacing> requestSpacing;  // the session's
    DownloadParams params;
    NameRules rules;
};

class AlbumPipeline {
public:
    AlbumPipeline(PipelineSetup setup, PipelineControl &control, DownloadEvents &events);
    ~AlbumPipeline();

    AlbumPipeline(const AlbumPipeline &) = delete;
    AlbumPipeline &operator=(const AlbumPipeline &) = delete;

    // Walks every album, on the calling thread (plus the workers and listers it
    // starts); returns the run's counts once the last album ended or the run stopped.
    PictureCounts run();

    // A picture could not be written for lack of space.
    bool diskFull() const { return m_diskFull; }
    // The queue of the last album that ended: its folder and final file names.
    std::unique_ptr<AlbumQueue> takeLastQueue() { return std::move(m_lastQueue); }

private:
    struct Album;

    void shareFolders();
    // The album's source lists pictures.
    static bool canList(const Album &album);
    int listerCount() const;
    void listAhead();
    // `archive` is the calling thread's connection to the archive; null: none.
    void listAlbum(Album &album, DownloadArchive *archive);
    void openArchive();
    // The album's saved pictures not yet recorded go into the archive, and why its
    // failed ones failed.
    void recordSaved(Album &album);
    ArchiveOwner archiveOwner(const Album &album) const;
    void startWorkers();
    // Hands the next queued pictures to idle workers, in walk order.
    void feedWorkers();
    void handOut(Album &album);
    void account(const TransferPool::Ended &ended);
    bool hasEnded(const Album &album) const;
    // The album's marker, repairs and counts, then its AlbumFinished.
    void finish(Album &album);
    // After a full disk: the `stopped` entries of `pictures` and those from `from` on
    // were never tried to the end; each is told as failed.
    void reportUntried(Album &album, const QList<QueuedPicture> &pictures, const std::vector<int> &stopped, int from);
    void stopListers();

    const PipelineSetup m_setup;
    // The coordinator's connection to the archive (recording, and listing when no
    // lister runs); each lister opens its own. Null: no archive in this run.
    std::unique_ptr<DownloadArchive> m_archive;
    std::atomic<bool> m_archiveDamaged{false};  // a lister's connection met a damaged page
    // Set by the first album whose listing met the service's login answer: the login
    // is what is missing, so the albums after it are not asked again.
    std::atomic<ListResult> m_loginRefusal{ListResult::Listed};
    void replaceDamagedArchive();
    PipelineControl &m_control;
    AlbumEventGate m_gate;
    std::vector<std::unique_ptr<Album>> m_albums;
    bool m_foldersShared = false;  // some albums put their pictures into one folder

    TransferPool m_pool;
    int m_threads = 1;         // transfers at a time the user asked for
    std::vector<int> m_idle;   // idle worker slots
    int m_inFlight = 0;        // pictures handed out and not yet ended
    bool m_workersStarted = false;
    bool m_noWorkers = false;  // not even one worker could be started
    int m_feed = 0;            // the album whose pictures are handed out next
    int m_lastHanded = -1;     // the album of the last picture handed out
    int m_current = 0;         // the album being reported (all before it ended)

    // Shared with the listers.
    mutable std::mutex m_mutex;
    std::condition_variable m_listWork;
    int m_nextToList = 0;
    int m_waitingPictures = 0;  // listed and not yet handed to a worker
    bool m_stopListing = false;
    std::vector<std::thread> m_listers;

    PictureCounts m_run;
    PictureCounts m_transferred;  // what RunProgress tells: every picture that ended so far
    bool m_diskFull = false;
    std::unique_ptr<AlbumQueue> m_lastQueue;
};

}  // namespace pictrove
