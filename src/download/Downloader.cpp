#include "download/Downloader.h"

#include "download/AlbumPipeline.h"
#include "download/ArchivedAlbums.h"
#include "download/DownloadArchive.h"
#include "download/FileNaming.h"
#include "download/Folders.h"
#include "settings/ExtensionSettings.h"
#include "sources/ListAcquisition.h"
#include "sources/Session.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace pictrove {

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
    if (m_updating.load())
        requestListStop(m_session);
}

void Downloader::pause(int milliseconds)
{
    m_session.sleep(milliseconds);
}

void Downloader::transferring(const QString &folder)
{
    std::lock_guard lock(m_folderMutex);
    m_transferFolder = folder;
}

QString Downloader::openPathFolder(const QString &savePath) const
{
    std::lock_guard lock(m_folderMutex);
    return m_transferFolder.isEmpty() ? savePath : m_transferFolder;
}

DownloadResult Downloader::run(const DownloadRequest &request)
{
    m_session.setExtensionSettings(readExtensionSettings(m_session.dataFolder()));
    QString base = ownerFolderFor(request.saveRoot, m_session.owner);
    if (base.isEmpty()) {
        m_state = DownloadState::Idle;
        m_events.report(event::DownloadFinished{DownloadResult::NoSavePath, {}});
        return DownloadResult::NoSavePath;
    }
    QString failedLevel;
    // The owner's name comes from a remote page: its folder must not lead elsewhere.
    if (!isInsideFolder(request.saveRoot, base))
        failedLevel = base;
    if (!failedLevel.isEmpty() || !ensureFolder(base, failedLevel)) {
        m_lastRun = {};
        m_state = DownloadState::Idle;
        m_events.report(event::SaveFolderFailed{failedLevel});
        m_events.report(event::DownloadFinished{DownloadResult::SaveFolderFailed, {}});
        return DownloadResult::SaveFolderFailed;
    }
    stampTimes(base, QDateTime::currentSecsSinceEpoch());
    m_events.report(event::DownloadStarted{});

    PipelineSetup setup;
    setup.saveRoot = QDir::cleanPath(QDir::fromNativeSeparators(request.saveRoot.trimmed())) + u'/';
    setup.baseFolder = base;
    // A data folder that is not there (a test's session, a portable copy being set up)
    // keeps no archive: the archive is never made anywhere else.
    if (request.useArchive && !m_session.dataFolder().isEmpty() && QFileInfo(m_session.dataFolder()).isDir())
        setup.archivePath = downloadArchivePath(m_session.dataFolder());
    setup.listArchivedAlbumsWhole = request.listArchivedAlbumsWhole;
    setup.media = request.media;
    setup.post = request.post;
    const QList<AlbumRecord> listed = m_session.albums.all();
    const int albumCount = int(listed.size());
    const QStringList folderNames = albumFolderNames(listed, request.rules);
    for (const int index : request.albums) {
        if (index >= 0 && index < albumCount)
            setup.albums.append({listed.at(index), folderNames.at(index)});
    }
    setup.listedAlbumCount = albumCount;
    setup.owner = m_session.owner;
    setup.dataFolder = m_session.dataFolder();
    setup.sleep = m_session.sleep;
    setup.pageIntervalMs = m_session.extensionSettings().weiboPageIntervalMs;
    setup.requestSpacing = m_session.requestSpacing;
    setup.params = request.params;
    setup.rules = request.rules;
    const int n = int(setup.albums.size());

    AlbumPipeline pipeline(std::move(setup), *this, m_events);
    const PictureCounts run = pipeline.run();
    if (auto last = pipeline.takeLastQueue())
        m_lastQueue = std::move(last);

    const bool stopped = aborted();
    m_lastRun = run;
    m_state = DownloadState::Idle;
    const DownloadResult result = n == 0                 ? DownloadResult::NoAlbumChosen
                                  : pipeline.diskFull() ? DownloadResult::DiskFull
                                  : stopped              ? DownloadResult::Stopped
                                                         : DownloadResult::Finished;
    m_events.report(event::DownloadFinished{result, run});
    // After a stop nobody waits for the folder: the run ends where it was cut off.
    if (result == DownloadResult::Finished && run.listed > 0 && (request.rules.options & kOptionOpenFolder))
        m_events.report(event::OpenFolder{m_lastQueue->folder()});
    return result;
}

DownloadCommand Downloader::startUpdate(const UpdateRequest &request)
{
    DownloadState idle = DownloadState::Idle;
    if (!m_state.compare_exchange_strong(idle, DownloadState::Running)) {
        requestAbort();
        return DownloadCommand::AbortRequested;
    }
    ListState listIdle = ListState::Idle;
    if (!m_session.listState.compare_exchange_strong(listIdle, ListState::Running)) {
        m_state = DownloadState::Idle;
        requestListStop(m_session);
        return DownloadCommand::AbortRequested;
    }
    m_session.albums.clear();
    m_session.listedBy = nullptr;
    m_updating = true;
    if (!m_session.startThread([this, request] { runUpdate(request); })) {
        m_updating = false;
        m_session.listState = ListState::Idle;
        m_state = DownloadState::Idle;
        return DownloadCommand::ThreadFailed;
    }
    return DownloadCommand::Started;
}

void Downloader::runUpdate(const UpdateRequest &request)
{
    event::UpdateFinished finished;
    finished.list = runList(m_session, request.list);
    finished.albums = m_session.albums.size();
    m_updating = false;
    m_session.listState = ListState::Idle;
    m_session.listEvents().report(event::ListFinished{finished.list, finished.albums});

    const QString dataFolder = m_session.dataFolder();
    const bool haveArchive = request.download.useArchive && !dataFolder.isEmpty() && QFileInfo(dataFolder).isDir();
    QList<int> chosen;
    if (aborted() || finished.list == ListResult::Stopped) {
        finished.result = UpdateResult::Stopped;
    } else if (finished.albums == 0) {
        finished.result = UpdateResult::NotListed;
    } else if (!haveArchive) {
        finished.result = UpdateResult::NoArchive;
    } else {
        // This thread's connection only chooses the albums; the run opens its own.
        const DownloadArchive archive(downloadArchivePath(dataFolder));
        if (!archive.movedAsideTo().isEmpty())
            m_events.report(event::ArchiveUnusable{downloadArchivePath(dataFolder), archive.movedAsideTo(),
                                                   archive.problem()});
        const QList<int> counts = archive.isOpen()
                                      ? archivedPerAlbum(archive, m_session.albums.all(), m_session.owner)
                                      : QList<int>();
        for (int index = 0; index < counts.size(); ++index) {
            if (counts.at(index) > 0)
                chosen.append(index);
        }
        finished.result = !archive.isOpen() ? UpdateResult::NoArchive
                          : chosen.isEmpty() ? UpdateResult::NothingArchived
                                             : UpdateResult::Updated;
    }

    if (finished.result == UpdateResult::Updated) {
        DownloadRequest download = request.download;
        download.albums = chosen;
        // An update fetches what is new: a Thunder list instead would record nothing
        // in the archive, and the next update would find the same pictures new again.
        download.rules.options = uint16_t((download.rules.options | kOptionSkipPrevious) & ~kOptionThunderListOnly);
        download.useArchive = true;
        download.listArchivedAlbumsWhole = true;
        finished.archivedAlbums = int(chosen.size());
        m_events.report(event::UpdateAlbumsChosen{chosen});
        finished.download = run(download);  // sets the state to idle
        finished.run = m_lastRun;
        if (finished.download == DownloadResult::Stopped)
            finished.result = UpdateResult::Stopped;
    } else {
        m_state = DownloadState::Idle;
    }
    m_events.report(finished);
}

}  // namespace pictrove
