#include "download/AlbumPipeline.h"

#include "download/AlbumQueueSink.h"
#include "download/AlbumSideFiles.h"
#include "download/AlbumSidecar.h"
#include "download/PictureRepair.h"
#include "download/PresentPictures.h"
#include "download/ResultMessages.h"
#include "sources/AlbumPictures.h"
#include "sources/Source.h"
#include "text/EngineLog.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <system_error>

namespace pictrove {

namespace {

// Pictures listed ahead and not yet handed to a worker, across albums: enough to keep
// fifteen workers busy while the next album's pages are asked for, and little enough
// that an owner of thousands of albums costs no more memory than one album.
constexpr int kPicturesAhead = 300;
// Albums listed beyond the one being reported, whose events wait in the gate.
constexpr int kAlbumsAhead = 32;
// Pause between two pictures of an album when only one transfer runs at a time, so a
// single-threaded download does not hammer the service.
constexpr int kSingleWorkerPauseMs = 2000;
// Saved pictures recorded in the archive in one transaction: few enough that a
// killed run loses little (those files are adopted by the next run anyway), many
// enough that recording costs nothing next to the transfers.
constexpr int kRecordBatch = 64;

}  // namespace

struct AlbumPipeline::Album {
    enum class Stage { Waiting, Listing, Listed };

    int number = 0;  // 1-based walk position
    AlbumRecord record;
    QString folderName;
    std::shared_ptr<SharedFolderNames> sharedNames;  // set when other albums use its folder too
    std::unique_ptr<AlbumQueue> queue = std::make_unique<AlbumQueue>();  // handed on when the album ends
    std::unique_ptr<AlbumEvents> events;

    // Under m_mutex; the fields below it are written by the album's lister before it
    // becomes Listed, then read by the coordinator only.
    Stage stage = Stage::Waiting;
    bool incomplete = false;  // the listing broke off at a page that failed
    QString listingFailure;
    ListResult loginRefusal = ListResult::Listed;  // the listing met the service's login answer
    int unseenPosts = 0;      // posts the viewer may not see, passed over by the listing
    bool cutShort = false;    // the listing ended because the run stopped
    int present = 0;          // already under their final names (skip-previous)
    bool archived = false;    // the archive knew the album before this run
    std::shared_ptr<TransferJob> job;  // what to transfer; null: nothing

    // The coordinator's own.
    int handed = 0;
    PictureCounts counts;
    std::vector<int> stopped;  // job entries a stop ended before they arrived
    QList<ArchivedFile> unrecorded;  // saved, not yet in the archive
    QList<FailedFile> unrecordedFailures;  // failed, their reasons not yet in the archive
    QSet<QString> savedNames;  // files saved in this run, for the sidecar

    int jobSize() const { return job ? int(job->pictures.size()) : 0; }
};

AlbumPipeline::AlbumPipeline(PipelineSetup setup, PipelineControl &control, DownloadEvents &events)
    : m_setup(std::move(setup))
    , m_control(control)
    , m_gate(events)
{
    const int n = int(m_setup.albums.size());
    for (int k = 0; k < n; ++k) {
        auto album = std::make_unique<Album>();
        album->number = k + 1;
        album->record = m_setup.albums.at(k).record;
        album->folderName = m_setup.albums.at(k).folderName;
        album->events = std::make_unique<AlbumEvents>(m_gate, k + 1);
        album->queue->setFolder(m_setup.baseFolder);
        m_albums.push_back(std::move(album));
    }
    // The settings store keeps threads within 1..15; a stray 0 must not turn into
    // "nothing to do", which would pass for a complete album.
    m_threads = qBound(1, int(m_setup.params.threads), int(kMaxThreads));
    shareFolders();
}

void AlbumPipeline::shareFolders()
{
    // Albums whose rules give the same folder (every album, when the rules name none
    // by album; those whose name cleans to nothing, which go to the owner's folder)
    // keep one list of the names queued there.
    QHash<QString, std::vector<Album *>> byFolder;
    for (const std::unique_ptr<Album> &album : m_albums)
        byFolder[album->folderName.toCaseFolded()].push_back(album.get());
    for (const std::vector<Album *> &albums : std::as_const(byFolder)) {
        if (albums.size() < 2)
            continue;
        m_foldersShared = true;
        const auto names = std::make_shared<SharedFolderNames>();
        for (Album *album : albums)
            album->sharedNames = names;
    }
}

AlbumPipeline::~AlbumPipeline()
{
    stopListers();
}

bool AlbumPipeline::canList(const Album &album)
{
    return album.record.source && album.record.source->listPictures;
}

int AlbumPipeline::listerCount() const
{
    if (m_threads == 1)
        return 0;
    // As many as every album's source takes side by side; albums that share one folder
    // are listed one after the other, in walk order, so a name two of them want goes
    // to the same one every run.
    int listers = m_foldersShared ? 1 : int(m_albums.size());
    bool anyListed = false;
    for (const std::unique_ptr<Album> &album : m_albums) {
        if (!canList(*album))
            continue;
        anyListed = true;
        listers = std::min(listers, std::max(1, album->record.source->listersAtOnce));
    }
    return anyListed ? listers : 0;
}

void AlbumPipeline::openArchive()
{
    if (m_setup.archivePath.isEmpty())
        return;
    m_archive = std::make_unique<DownloadArchive>(m_setup.archivePath);
    if (!m_archive->movedAsideTo().isEmpty() || !m_archive->isOpen())
        m_gate.postNow(event::ArchiveUnusable{m_setup.archivePath, m_archive->movedAsideTo(), m_archive->problem()});
    if (!m_archive->isOpen())
        m_archive.reset();
}

PictureCounts AlbumPipeline::run()
{
    openArchive();
    const int n = int(m_albums.size());
    const int listers = listerCount();
    for (int i = 0; i < listers; ++i) {
        try {
            m_listers.emplace_back([this] { listAhead(); });
        } catch (const std::system_error &) {
            break;  // the coordinator lists what no lister takes
        }
    }

    while (m_current < n) {
        if (!m_control.stopRequested())
            feedWorkers();
        const bool stopping = m_control.stopRequested();  // also during feedWorkers' pause

        // Albums end in walk order, each once its last picture ended.
        if (hasEnded(*m_albums[size_t(m_current)])) {
            finish(*m_albums[size_t(m_current)]);
            continue;
        }
        if (stopping && m_inFlight == 0)
            break;

        if (m_listers.empty()) {
            // Nobody lists ahead: an album is listed once its predecessors all ended.
            Album &current = *m_albums[size_t(m_current)];
            bool listNow = false;
            {
                std::lock_guard lock(m_mutex);
                listNow = current.stage == Album::Stage::Waiting;
                if (listNow) {
                    current.stage = Album::Stage::Listing;
                    m_nextToList = m_current + 1;
                }
            }
            if (listNow) {
                listAlbum(current, m_archive.get());
                continue;
            }
        }

        if (const std::optional<TransferPool::Ended> ended = m_pool.waitForEnd())
            account(*ended);
    }

    // After a stop: the listers end at their next page, the workers are all idle; every
    // album that started still ends, in order.
    stopListers();
    while (m_current < n && m_albums[size_t(m_current)]->stage != Album::Stage::Waiting)
        finish(*m_albums[size_t(m_current)]);
    m_control.transferring(QString());
    replaceDamagedArchive();
    return m_run;
}

void AlbumPipeline::replaceDamagedArchive()
{
    // Only now, when the listers' connections are closed: a damaged page met during
    // the run costs that run some look-ups or records, never the run itself. The next
    // run starts from an empty archive and adopts the files on disk again.
    if (!m_archive || !(m_archive->damaged() || m_archiveDamaged.load()))
        return;
    const QString movedTo = m_archive->startAnew();
    m_gate.postNow(event::ArchiveUnusable{m_setup.archivePath, movedTo,
                                          QStringLiteral("数据库已损坏（database disk image is malformed）")});
}

void AlbumPipeline::listAhead()
{
    // Qt's database connections belong to their thread: each lister has its own.
    std::unique_ptr<DownloadArchive> archive;
    if (m_archive)
        archive = std::make_unique<DownloadArchive>(m_setup.archivePath);
    if (archive && !archive->isOpen())
        archive.reset();

    std::unique_lock lock(m_mutex);
    const int n = int(m_albums.size());
    while (true) {
        m_listWork.wait(lock, [&] {
            return m_stopListing || m_nextToList >= n
                   || (m_waitingPictures < kPicturesAhead && m_nextToList - m_current <= kAlbumsAhead);
        });
        if (m_stopListing || m_nextToList >= n)
            return;
        Album &album = *m_albums[size_t(m_nextToList++)];
        album.stage = Album::Stage::Listing;
        lock.unlock();
        listAlbum(album, archive.get());
        if (archive && archive->damaged())
            m_archiveDamaged = true;
        lock.lock();
    }
}

void AlbumPipeline::listAlbum(Album &album, DownloadArchive *archive)
{
    AlbumQueue &queue = *album.queue;
    album.events->report(event::AlbumStarted{album.number, int(m_albums.size()), album.record.name});
    const ListResult refusedBefore = m_loginRefusal.load();
    if (canList(album) && refusedBefore != ListResult::Listed) {
        album.incomplete = true;
        album.loginRefusal = refusedBefore;
        album.listingFailure = album.record.url + QStringLiteral(": ") + listResultMessage(refusedBefore, QString());
        album.events->report(event::AlbumIncomplete{album.record.name, album.listingFailure, refusedBefore});
    } else if (canList(album)) {
        AlbumQueueSink::Album info{album.record,    album.folderName,     album.sharedNames,
                                   m_setup.owner.name, int(m_albums.size()), m_setup.listedAlbumCount};
        if (archive && (m_setup.rules.options & kOptionSkipPrevious)) {
            const ArchiveOwner owner = archiveOwner(album);
            album.archived = archive->hasAlbum(owner.service, owner.ownerId, album.record.url);
            info.listPastMarker = album.archived && m_setup.listArchivedAlbumsWhole;
        }
        info.media = m_setup.media;
        info.ownerId = m_setup.owner.uid;
        AlbumQueueSink sink([this] { return m_control.stopRequested(); }, queue, m_setup.rules, info,
                            *album.events);
        AlbumWalk walk;
        walk.album = album.record;
        walk.owner = m_setup.owner;
        walk.dataFolder = m_setup.dataFolder;
        walk.sleep = m_setup.sleep;
        walk.pageIntervalMs = m_setup.pageIntervalMs;
        walk.spacing = m_setup.requestSpacing;
        walk.waitingForRateLimit = [this](int seconds) {
            m_gate.postNow(event::AlbumListingWaiting{seconds});
        };
        listAlbumPictures(walk, sink);
        album.cutShort = m_control.stopRequested();
        album.incomplete = sink.listingIncomplete() && !album.cutShort;
        album.listingFailure = sink.listingFailure();
        album.unseenPosts = sink.unseenPosts();
        if (album.incomplete) {
            album.loginRefusal = sink.loginRefusal();
            if (album.loginRefusal != ListResult::Listed)
                m_loginRefusal.store(album.loginRefusal);
            album.events->report(event::AlbumIncomplete{album.record.name, album.listingFailure, album.loginRefusal});
        }
    }

    if (!queue.isEmpty() && !album.cutShort && !(m_setup.rules.options & kOptionThunderListOnly)) {
        // With skip-previous, a picture in the archive, or already under its final
        // name, is not fetched again: files appear under their final names only when
        // whole, so an album stopped or killed half-way resumes where it stopped.
        // Names come from the listing order, so the same picture gets the same name
        // again; the archive knows a picture by its id, so a renamed or moved file
        // is not fetched again either.
        auto job = std::make_shared<TransferJob>();
        job->folder = queue.folder();
        job->settings = m_setup.params;
        job->stopRequested = [&control = m_control] { return control.stopRequested(); };
        // The job shares the queue's list (no copy) unless some pictures are already
        // there: an album of 100,000 pictures would otherwise be held twice.
        std::vector<bool> alreadyThere;
        if (m_setup.rules.options & kOptionSkipPrevious) {
            album.present =
                markPresentPictures(queue, album.record, archiveOwner(album), archive, album.archived, alreadyThere);
        }
        if (album.present == 0) {
            job->pictures = queue.pictures;
        } else {
            job->pictures.reserve(queue.count() - album.present);
            for (int i = 0; i < queue.count(); ++i) {
                if (!alreadyThere[size_t(i)])
                    job->pictures.append(queue.pictures.at(i));
            }
        }
        album.job = std::move(job);
        album.counts.total = album.jobSize();
        album.events->report(event::TransferStarted{album.jobSize()});
    }

    {
        std::lock_guard lock(m_mutex);
        album.stage = Album::Stage::Listed;
        m_waitingPictures += album.jobSize();
    }
    m_pool.wake();
}

void AlbumPipeline::startWorkers()
{
    m_workersStarted = true;
    const int workers = m_pool.start(m_threads);
    m_noWorkers = workers == 0;
    if (m_noWorkers)
        qCDebug(lcEngine, "no download worker could be started");
    for (int slot = workers - 1; slot >= 0; --slot)
        m_idle.push_back(slot);
}

void AlbumPipeline::feedWorkers()
{
    const int n = int(m_albums.size());
    while (!m_idle.empty() || m_noWorkers || !m_workersStarted) {
        Album *album = nullptr;
        {
            std::lock_guard lock(m_mutex);
            while (m_feed < n && m_albums[size_t(m_feed)]->stage == Album::Stage::Listed
                   && m_albums[size_t(m_feed)]->handed >= m_albums[size_t(m_feed)]->jobSize())
                ++m_feed;
            if (m_feed >= n || m_albums[size_t(m_feed)]->stage != Album::Stage::Listed)
                return;
            album = m_albums[size_t(m_feed)].get();
        }
        if (!m_workersStarted) {
            // Started at the first picture: a run that transfers nothing starts none.
            startWorkers();
            continue;
        }
        if (m_threads == 1 && m_lastHanded == m_feed && album->handed > 0) {
            m_control.pause(kSingleWorkerPauseMs);
            if (m_control.stopRequested())
                return;
        }
        handOut(*album);
    }
}

void AlbumPipeline::handOut(Album &album)
{
    const int index = album.handed++;
    m_lastHanded = album.number - 1;
    {
        std::lock_guard lock(m_mutex);
        --m_waitingPictures;
    }
    m_listWork.notify_all();
    if (m_noWorkers) {
        account({-1, {album.job, index, album.number - 1}, PictureOutcome{false, 0, QStringLiteral("no worker"), false}});
        return;
    }
    m_control.transferring(album.job->folder);
    const int slot = m_idle.back();
    m_idle.pop_back();
    ++m_inFlight;
    m_pool.assign(slot, {album.job, index, album.number - 1});
}

void AlbumPipeline::account(const TransferPool::Ended &ended)
{
    if (ended.slot >= 0) {
        m_idle.push_back(ended.slot);
        --m_inFlight;
    }
    Album &album = *m_albums[size_t(ended.task.album)];
    PictureCounts &counts = album.counts;
    ++counts.done;
    if (ended.outcome.saved) {
        ++counts.saved;
        counts.bytes += ended.outcome.bytes;
        if (m_setup.post.sidecar)
            album.savedNames.insert(album.job->pictures.at(ended.task.index).fileName);
        if (m_archive) {
            // Saved means whole under its final name: only now is it recorded.
            album.unrecorded.append(archivedFile(album.job->pictures.at(ended.task.index), album.job->folder,
                                                 album.record, archiveOwner(album), ended.outcome.bytes));
            if (album.unrecorded.size() >= kRecordBatch)
                recordSaved(album);
        }
    } else if (ended.outcome.stopped) {
        // Cut short by the stop: no failure of the picture's, it counts as untried.
        album.stopped.push_back(ended.task.index);
    } else if (ended.outcome.outsideSizeLimits) {
        // The user's own limits left it out: it is not missing, and a retry would only
        // leave it out again.
        ++counts.sizeSkipped;
    } else {
        ++counts.failed;
        const Picture &picture = album.job->pictures.at(ended.task.index).picture;
        album.events->report(event::PictureFailed{picture.address, ended.outcome.reason});
        if (m_archive) {
            const ArchiveOwner owner = archiveOwner(album);
            album.unrecordedFailures.append(FailedFile{owner.service, owner.ownerId, album.record.url,
                                                       archiveKey(picture), picture.address, ended.outcome.reason,
                                                       QDateTime::currentSecsSinceEpoch()});
        }
    }
    if (ended.outcome.noSpace && !m_diskFull) {
        // The album's other pictures cannot arrive either, nor the next albums'.
        m_diskFull = true;
        album.events->report(event::DiskFull{album.job->folder});
        m_control.requestStop();
    }
    album.events->report(event::PictureProgress{counts});

    ++m_transferred.done;
    m_transferred.saved += ended.outcome.saved ? 1 : 0;
    const bool failed = !ended.outcome.saved && !ended.outcome.stopped && !ended.outcome.outsideSizeLimits;
    m_transferred.failed += failed ? 1 : 0;
    m_transferred.sizeSkipped += ended.outcome.outsideSizeLimits ? 1 : 0;
    m_transferred.bytes += ended.outcome.saved ? ended.outcome.bytes : 0;
    m_gate.postNow(event::RunProgress{m_transferred});
}

bool AlbumPipeline::hasEnded(const Album &album) const
{
    {
        std::lock_guard lock(m_mutex);
        if (album.stage != Album::Stage::Listed)
            return false;
    }
    return album.handed == album.jobSize() && album.counts.done == album.handed;
}

void AlbumPipeline::finish(Album &album)
{
    AlbumQueue &queue = *album.queue;
    const int listed = queue.count();
    m_run.listed += listed;
    if (album.incomplete)
        ++m_run.incompleteAlbums;
    // A run-out login is the more telling of the two.
    if (album.loginRefusal == ListResult::LoginExpired || m_run.loginRefusal == ListResult::Listed)
        m_run.loginRefusal = album.loginRefusal;
    album.counts.unseenPosts = album.unseenPosts;
    m_run.unseenPosts += album.unseenPosts;

    recordSaved(album);
    PictureCounts &counts = album.counts;
    const bool thunder = m_setup.rules.options & kOptionThunderListOnly;
    if (thunder) {
        if (listed > 0 && !album.cutShort)
            writeThunderList(albumFilePath(queue.folder(), album.record.name, QStringLiteral(".lst")), queue.pictures);
        m_run.skipped += listed;
    } else if (!album.job) {
        // The run stopped before the album's transfers.
        counts.untried = listed;
        m_run.untried += listed;
        reportUntried(album, queue.pictures, {}, 0);
    } else {
        counts.untried = int(album.stopped.size()) + album.jobSize() - album.handed;
        m_run.total += album.jobSize();
        m_run.done += counts.done;
        m_run.saved += counts.saved;
        m_run.failed += counts.failed;
        m_run.sizeSkipped += counts.sizeSkipped;
        m_run.bytes += counts.bytes;
        m_run.skipped += album.present;
        m_run.untried += counts.untried;
        reportUntried(album, album.job->pictures, album.stopped, album.handed);
        // The job may share the queue's list: let it go before the repairs change the
        // queue, or the change would copy the whole list.
        album.job.reset();

        // The marker says "everything up to this picture is here": an album ending in
        // a stopped run keeps the marker of its last complete download, and an album
        // with a failed picture or a listing that broke off gets none, so skip-previous
        // never passes over what is missing.
        if (!m_control.stopRequested() && !album.incomplete && counts.failed == 0)
            writeMarkerFile(queue.folder(), queue.pictures.constFirst().picture);
        // The queue's positions of the files saved now; their names may still change below.
        std::vector<qsizetype> saved;
        for (qsizetype i = 0; i < queue.pictures.size() && !album.savedNames.isEmpty(); ++i) {
            if (album.savedNames.contains(queue.pictures.at(i).fileName))
                saved.push_back(i);
        }
        if (m_setup.rules.options & kOptionFixFormat)
            fixPictureFormats(queue);
        // The post times win over the order repair's made-up times when every picture
        // has one; otherwise the repair numbers the whole album as it always did.
        const bool fixOrder = m_setup.rules.options & kOptionFixOrder;
        const bool postTimesStamped = m_setup.post.postTimeAsFileTime && stampPostTimes(queue, fixOrder);
        if (fixOrder && !postTimesStamped)
            fixPictureOrder(queue);
        const QString sidecar = queue.folder() + QLatin1StringView(kSidecarFileName);
        const QString owner = archiveOwnerId(m_setup.owner);
        for (const qsizetype i : saved) {
            const QueuedPicture &queued = queue.pictures.at(i);
            appendSidecarLine(sidecar, sidecarLine({queued.fileName, queued.picture, album.record.name, owner}));
        }
    }

    const bool stopped = m_control.stopRequested() && (album.cutShort || counts.untried > 0);
    album.events->report(event::AlbumFinished{album.number, int(m_albums.size()), queue.folder(), counts, stopped});
    album.job.reset();
    m_lastQueue = std::move(album.queue);
    {
        std::lock_guard lock(m_mutex);
        ++m_current;
    }
    m_gate.advance();
    m_listWork.notify_all();
}

ArchiveOwner AlbumPipeline::archiveOwner(const Album &album) const
{
    return {archiveService(album.record), archiveOwnerId(m_setup.owner), m_setup.saveRoot};
}

void AlbumPipeline::recordSaved(Album &album)
{
    if (m_archive && !album.unrecorded.isEmpty())
        m_archive->record(album.unrecorded);
    album.unrecorded.clear();
    if (m_archive && !album.unrecordedFailures.isEmpty())
        m_archive->recordFailures(album.unrecordedFailures);
    album.unrecordedFailures.clear();
}

void AlbumPipeline::reportUntried(Album &album, const QList<QueuedPicture> &pictures, const std::vector<int> &stopped,
                                  int from)
{
    // After a stop the user asked for, what was not tried is no failure; after a full
    // disk it is, and the failure list must hold it for a later retry.
    if (!m_diskFull)
        return;
    const QString reason = QStringLiteral("磁盘空间不足，未下载");
    for (const int index : stopped)
        album.events->report(event::PictureFailed{pictures.at(index).picture.address, reason});
    for (qsizetype i = from; i < pictures.size(); ++i)
        album.events->report(event::PictureFailed{pictures.at(i).picture.address, reason});
}

void AlbumPipeline::stopListers()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopListing = true;
    }
    m_listWork.notify_all();
    for (std::thread &lister : m_listers)
        lister.join();
    m_listers.clear();
}

}  // namespace pictrove
