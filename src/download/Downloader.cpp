#include "download/Downloader.h"

#include "download/AlbumQueueSink.h"
#include "download/AlbumSideFiles.h"
#include "download/FileNaming.h"
#include "download/Folders.h"
#include "download/PictureRepair.h"
#include "download/TransferCoordinator.h"
#include "settings/ExtensionSettings.h"
#include "sources/AlbumPictures.h"
#include "sources/Session.h"

#include <QDateTime>
#include <QFileInfo>

namespace pictrove {

namespace {

// The transfers of one album report into the run's events and stop with the run.
class AlbumTransferObserver : public TransferObserver {
public:
    AlbumTransferObserver(const Downloader &downloader, Session &session, DownloadEvents &events)
        : m_downloader(downloader)
        , m_session(session)
        , m_events(events)
    {
    }

    bool stopRequested() const override { return m_downloader.state() == DownloadState::AbortRequested; }
    void pause(int milliseconds) override { m_session.sleep(milliseconds); }
    void progress(const PictureCounts &album) override { m_events.pictureProgress(album); }
    void failed(const QString &address, const QString &reason) override { m_events.pictureFailed(address, reason); }
    void noSpace() override { m_noSpace = true; }

    bool diskFull() const { return m_noSpace; }

private:
    bool m_noSpace = false;
    const Downloader &m_downloader;
    Session &m_session;
    DownloadEvents &m_events;
};

}  // namespace

DownloadRequest downloadRequestFor(const SettingsBlock &settings, SourceType type, const QString &saveRoot,
                                   const QList<int> &albums)
{
    DownloadRequest request;
    request.saveRoot = saveRoot;
    request.albums = albums;
    request.params = settings.downloadParams[size_t(settingsIndex(type))];
    request.rules = settings.nameRules[size_t(settingsIndex(type))];
    return request;
}

Downloader::Downloader(Session &session, DownloadEvents &events)
    : m_session(session)
    , m_events(events)
{
}

Downloader::~Downloader()
{
    m_session.waitForThreads();
}

DownloadCommand Downloader::start(const DownloadRequest &request)
{
    DownloadState idle = DownloadState::Idle;
    if (!m_state.compare_exchange_strong(idle, DownloadState::Running)) {
        requestAbort();
        return DownloadCommand::AbortRequested;
    }
    if (!m_session.startThread([this, request] { run(request); })) {
        m_state = DownloadState::Idle;
        return DownloadCommand::ThreadFailed;
    }
    return DownloadCommand::Started;
}

void Downloader::requestAbort()
{
    DownloadState current = m_state.load();
    while (current != DownloadState::Idle
           && !m_state.compare_exchange_weak(current, DownloadState::AbortRequested)) {
    }
}

void Downloader::closeAlbum()
{
    setStateUnlessAborted(DownloadState::AlbumClosed);
}

bool Downloader::setStateUnlessAborted(DownloadState value)
{
    DownloadState current = m_state.load();
    while (current != DownloadState::AbortRequested) {
        if (m_state.compare_exchange_weak(current, value))
            return true;
    }
    return false;
}

QString Downloader::openPathFolder(const QString &savePath) const
{
    return m_transferring.load() ? m_queue.folder() : savePath;
}

DownloadResult Downloader::run(const DownloadRequest &request)
{
    m_session.setExtensionSettings(readExtensionSettings(m_session.dataFolder()));
    QString base = ownerFolderFor(request.saveRoot, m_session.owner);
    if (base.isEmpty()) {
        m_state = DownloadState::Idle;
        m_events.downloadFinished(DownloadResult::NoSavePath, {});
        return DownloadResult::NoSavePath;
    }
    QString failedLevel;
    if (!ensureFolder(base, failedLevel)) {
        m_state = DownloadState::Idle;
        m_events.saveFolderFailed(failedLevel);
        m_events.downloadFinished(DownloadResult::SaveFolderFailed, {});
        return DownloadResult::SaveFolderFailed;
    }
    stampTimes(base, QDateTime::currentSecsSinceEpoch());
    setStateUnlessAborted(DownloadState::Running);
    m_events.downloadStarted();

    QList<int> chosen;
    const int albumCount = m_session.albums.size();
    for (const int index : request.albums) {
        if (index >= 0 && index < albumCount)
            chosen.append(index);
    }

    PictureCounts run;
    m_diskFull = false;
    const int n = int(chosen.size());
    for (int k = 1; k <= n; ++k) {
        if (aborted())
            break;
        m_queue.clear();
        m_queue.setFolder(base);
        if (!setStateUnlessAborted(DownloadState::Running))
            break;
        walkAlbum(request, k, n, chosen.at(k - 1), run);
    }

    const bool stopped = aborted();
    m_state = DownloadState::Idle;
    const DownloadResult result = n == 0       ? DownloadResult::NoAlbumChosen
                                  : m_diskFull ? DownloadResult::DiskFull
                                  : stopped    ? DownloadResult::Stopped
                                               : DownloadResult::Finished;
    m_events.downloadFinished(result, run);
    if (run.listed > 0 && (request.rules.options & OPT_OPEN_FOLDER))
        m_events.openFolder(m_queue.folder());
    return result;
}

void Downloader::walkAlbum(const DownloadRequest &request, int number, int n, int albumIndex, PictureCounts &run)
{
    AlbumWalk walk;
    walk.album = m_session.albums.at(albumIndex);
    walk.owner = m_session.owner;
    walk.dataFolder = m_session.dataFolder();
    walk.sleep = m_session.sleep;
    walk.pageIntervalMs = m_session.extensionSettings().weiboPageIntervalMs;
    m_events.albumStarted(number, n, walk.album.name);
    transferAlbum(request, walk, n, run);
    m_events.albumFinished(number, n, m_queue.folder());
}

void Downloader::transferAlbum(const DownloadRequest &request, const AlbumWalk &walk, int n, PictureCounts &run)
{
    bool incomplete = false;
    // Only the Sina sources can list pictures; an album of any other type lists nothing.
    if (m_session.sourceType.load() == SourceType::Sina) {
        AlbumQueueSink::Album album{walk.album, walk.owner.name, n, m_session.albums.size()};
        AlbumQueueSink sink(*this, m_queue, request.rules, album, m_events);
        listAlbumPictures(m_session.listKind.load(), walk, sink);
        incomplete = sink.listingIncomplete() && !aborted();
        if (incomplete) {
            ++run.incompleteAlbums;
            m_events.albumIncomplete(walk.album.name, sink.listingFailure());
        }
    }
    if (m_queue.isEmpty() || aborted())
        return;
    run.listed += m_queue.count();

    if (request.rules.options & OPT_THUNDER_LIST_ONLY) {
        writeThunderList(albumFilePath(m_queue.folder(), walk.album.name, QStringLiteral(".lst")),
                         m_queue.addresses);
        run.skipped += m_queue.count();
        return;
    }

    // With skip-previous, a picture already under its final name is not fetched again:
    // files appear under their final names only when whole, so an album stopped or
    // killed half-way resumes where it stopped. Names come from the listing order, so
    // the same picture gets the same name again.
    TransferJob job{{}, {}, {}, m_queue.folder(), request.params};
    int present = 0;
    for (int i = 0; i < m_queue.count(); ++i) {
        if ((request.rules.options & OPT_SKIP_PREVIOUS) && QFileInfo::exists(job.folder + m_queue.fileNames.at(i))) {
            ++present;
            continue;
        }
        job.addresses.append(m_queue.addresses.at(i));
        job.fileNames.append(m_queue.fileNames.at(i));
        job.extraHeaders.append(m_queue.extraHeaders.at(i));
    }
    run.skipped += present;

    m_events.transferStarted(int(job.addresses.size()));
    AlbumTransferObserver observer(*this, m_session, m_events);
    m_transferring = true;
    const PictureCounts album = runTransfers(job, observer);
    m_transferring = false;
    if (observer.diskFull()) {
        m_diskFull = true;
        m_events.diskFull(m_queue.folder());
        requestAbort();
    }
    // The marker says "everything up to this picture is here": an aborted album keeps
    // the marker of its last complete download, and an album with a failed picture or
    // a listing that broke off gets none, so skip-previous never passes over what is
    // missing.
    if (!aborted() && !incomplete && album.failed == 0)
        writeMarkerFile(m_queue.folder(), m_queue.addresses.first());

    run.total += album.total;
    run.done += album.done;
    run.saved += album.saved;
    run.failed += album.failed;
    run.skipped += album.total - album.done;
    run.bytes += album.bytes;

    if (request.rules.options & OPT_FIX_FORMAT)
        fixPictureFormats(m_queue);
    if (request.rules.options & OPT_FIX_ORDER)
        fixPictureOrder(m_queue);
}

}  // namespace pictrove
