#include "support/RecordingEvents.h"

namespace pictrove {

QString resultName(ListResult result)
{
    switch (result) {
    case ListResult::Listed:
        return QStringLiteral("Listed");
    case ListResult::NoAddress:
        return QStringLiteral("NoAddress");
    case ListResult::NotWebAddress:
        return QStringLiteral("NotWebAddress");
    case ListResult::NothingFound:
        return QStringLiteral("NothingFound");
    case ListResult::Stopped:
        return QStringLiteral("Stopped");
    case ListResult::LoginNeeded:
        return QStringLiteral("LoginNeeded");
    case ListResult::LoginExpired:
        return QStringLiteral("LoginExpired");
    case ListResult::RateLimited:
        return QStringLiteral("RateLimited");
    case ListResult::ServiceChanged:
        return QStringLiteral("ServiceChanged");
    case ListResult::Unreachable:
        return QStringLiteral("Unreachable");
    case ListResult::OwnerNotFound:
        return QStringLiteral("OwnerNotFound");
    case ListResult::NotSupported:
        return QStringLiteral("NotSupported");
    }
    return QStringLiteral("?");
}

QString resultName(DownloadResult result)
{
    switch (result) {
    case DownloadResult::Finished:
        return QStringLiteral("Finished");
    case DownloadResult::NoSavePath:
        return QStringLiteral("NoSavePath");
    case DownloadResult::SaveFolderFailed:
        return QStringLiteral("SaveFolderFailed");
    case DownloadResult::NoAlbumChosen:
        return QStringLiteral("NoAlbumChosen");
    case DownloadResult::Stopped:
        return QStringLiteral("Stopped");
    case DownloadResult::DiskFull:
        return QStringLiteral("DiskFull");
    }
    return QStringLiteral("?");
}

QString resultName(UpdateResult result)
{
    switch (result) {
    case UpdateResult::Updated:
        return QStringLiteral("Updated");
    case UpdateResult::NotListed:
        return QStringLiteral("NotListed");
    case UpdateResult::NothingArchived:
        return QStringLiteral("NothingArchived");
    case UpdateResult::NoArchive:
        return QStringLiteral("NoArchive");
    case UpdateResult::Stopped:
        return QStringLiteral("Stopped");
    }
    return QStringLiteral("?");
}

void RecordingEvents::append(const QString &line)
{
    m_log.append(line);
}

void RecordingEvents::report(const ListEvent &event)
{
    std::lock_guard lock(m_mutex);
    std::visit([this](const auto &e) { on(e); }, event);
}

void RecordingEvents::report(const DownloadEvent &event)
{
    std::lock_guard lock(m_mutex);
    std::visit([this](const auto &e) { on(e); }, event);
}

void RecordingEvents::on(const event::ListStarted &)
{
    append(QStringLiteral("listStarted"));
}

void RecordingEvents::on(const event::AlbumAdded &e)
{
    m_rows.append(e.index);
    append(QStringLiteral("albumAdded %1 %2").arg(e.index).arg(e.album.name));
}

void RecordingEvents::on(const event::AlbumLost &)
{
    append(QStringLiteral("albumLost"));
}

void RecordingEvents::on(const event::OwnerAddressRemembered &e)
{
    m_remembered.append(e.address);
    append(QStringLiteral("ownerAddressRemembered ") + e.address);
}

void RecordingEvents::on(const event::ListFailureDetail &e)
{
    append(QStringLiteral("listFailureDetail ") + e.detail);
}

void RecordingEvents::on(const event::ListWaiting &e)
{
    append(QStringLiteral("listWaiting %1").arg(e.seconds));
}

void RecordingEvents::on(const event::ListFinished &e)
{
    m_listResult = e.result;
    append(QStringLiteral("listFinished %1 %2").arg(resultName(e.result)).arg(e.albumCount));
}

void RecordingEvents::on(const event::DownloadStarted &)
{
    append(QStringLiteral("downloadStarted"));
}

void RecordingEvents::on(const event::SaveFolderFailed &e)
{
    append(QStringLiteral("saveFolderFailed ") + e.level);
}

void RecordingEvents::on(const event::AlbumStarted &e)
{
    append(QStringLiteral("albumStarted %1/%2 %3").arg(e.number).arg(e.count).arg(e.name));
}

void RecordingEvents::on(const event::PicturesListed &e)
{
    append(QStringLiteral("picturesListed %1").arg(e.count));
}

void RecordingEvents::on(const event::TransferStarted &e)
{
    append(QStringLiteral("transferStarted %1").arg(e.total));
}

void RecordingEvents::on(const event::PictureProgress &e)
{
    m_progress.append(e.album);
    append(QStringLiteral("pictureProgress %1/%2 failed=%3").arg(e.album.done).arg(e.album.total).arg(e.album.failed));
}

void RecordingEvents::on(const event::PictureFailed &e)
{
    append(QStringLiteral("pictureFailed %1 %2").arg(e.address, e.reason));
}

void RecordingEvents::on(const event::AlbumIncomplete &e)
{
    QString line = QStringLiteral("albumIncomplete %1 %2").arg(e.name, e.reason);
    if (e.loginRefusal != ListResult::Listed)
        line += QStringLiteral(" [%1]").arg(resultName(e.loginRefusal));
    append(line);
}

void RecordingEvents::on(const event::DiskFull &e)
{
    append(QStringLiteral("diskFull %1").arg(e.folder));
}

void RecordingEvents::on(const event::ArchiveUnusable &e)
{
    append(QStringLiteral("archiveUnusable %1 -> %2").arg(e.file, e.movedTo));
}

void RecordingEvents::on(const event::AlbumFinished &e)
{
    if (e.stopped)
        m_stoppedAlbums.append(e.number);
    append(QStringLiteral("albumFinished %1/%2 %3").arg(e.number).arg(e.count).arg(e.folder));
}

void RecordingEvents::on(const event::DownloadFinished &e)
{
    m_downloadResult = e.result;
    m_downloadCounts = e.run;
    QString line = QStringLiteral("downloadFinished %1 saved=%2 failed=%3 skipped=%4")
                       .arg(resultName(e.result))
                       .arg(e.run.saved)
                       .arg(e.run.failed)
                       .arg(e.run.skipped);
    if (e.run.untried > 0)
        line += QStringLiteral(" untried=%1").arg(e.run.untried);
    if (e.run.sizeSkipped > 0)
        line += QStringLiteral(" sizeSkipped=%1").arg(e.run.sizeSkipped);
    if (e.run.incompleteAlbums > 0)
        line += QStringLiteral(" incomplete=%1").arg(e.run.incompleteAlbums);
    if (e.run.unseenPosts > 0)
        line += QStringLiteral(" unseenPosts=%1").arg(e.run.unseenPosts);
    append(line);
}

void RecordingEvents::on(const event::OpenFolder &e)
{
    m_opened.append(e.folder);
    append(QStringLiteral("openFolder ") + e.folder);
}

void RecordingEvents::on(const event::UpdateAlbumsChosen &e)
{
    QStringList albums;
    for (const int album : e.albums)
        albums.append(QString::number(album));
    append(QStringLiteral("updateAlbumsChosen ") + albums.join(u','));
}

void RecordingEvents::on(const event::UpdateFinished &e)
{
    QString line = QStringLiteral("updateFinished %1 list=%2 albums=%3/%4")
                       .arg(resultName(e.result), resultName(e.list))
                       .arg(e.archivedAlbums)
                       .arg(e.albums);
    if (e.download)
        line += QStringLiteral(" download=%1 saved=%2").arg(resultName(*e.download)).arg(e.run.saved);
    append(line);
}

QStringList RecordingEvents::log() const
{
    // A list of its own (see LoopbackServer::requests): the engine's threads go on
    // appending to the log while a test reads this copy.
    std::lock_guard lock(m_mutex);
    QStringList copy;
    copy.reserve(m_log.size());
    for (const QString &line : std::as_const(m_log))
        copy.append(line);
    return copy;
}

QStringList RecordingEvents::logOf(const QString &event) const
{
    std::lock_guard lock(m_mutex);
    QStringList lines;
    for (const QString &line : m_log) {
        if (line == event || line.startsWith(event + QLatin1Char(' ')))
            lines.append(line);
    }
    return lines;
}

QList<int> RecordingEvents::addedRows() const
{
    std::lock_guard lock(m_mutex);
    return m_rows;
}

std::optional<ListResult> RecordingEvents::listResult() const
{
    std::lock_guard lock(m_mutex);
    return m_listResult;
}

std::optional<DownloadResult> RecordingEvents::downloadResult() const
{
    std::lock_guard lock(m_mutex);
    return m_downloadResult;
}

PictureCounts RecordingEvents::downloadCounts() const
{
    std::lock_guard lock(m_mutex);
    return m_downloadCounts;
}

void RecordingEvents::on(const event::AlbumListingWaiting &e)
{
    append(QStringLiteral("albumListingWaiting %1").arg(e.seconds));
}

void RecordingEvents::on(const event::RunProgress &e)
{
    m_runCounts = e.run;
}

PictureCounts RecordingEvents::runCounts() const
{
    std::lock_guard lock(m_mutex);
    return m_runCounts;
}

QList<PictureCounts> RecordingEvents::progress() const
{
    std::lock_guard lock(m_mutex);
    return m_progress;
}

QStringList RecordingEvents::remembered() const
{
    std::lock_guard lock(m_mutex);
    return m_remembered;
}

QStringList RecordingEvents::openedFolders() const
{
    std::lock_guard lock(m_mutex);
    return m_opened;
}

QList<int> RecordingEvents::stoppedAlbums() const
{
    std::lock_guard lock(m_mutex);
    return m_stoppedAlbums;
}

void RecordingEvents::clear()
{
    std::lock_guard lock(m_mutex);
    m_stoppedAlbums.clear();
    m_log.clear();
    m_rows.clear();
    m_listResult.reset();
    m_downloadResult.reset();
    m_downloadCounts = {};
    m_progress.clear();
    m_runCounts = PictureCounts{};
    m_remembered.clear();
    m_opened.clear();
}

}  // namespace pictrove
