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

void RecordingEvents::append(const QString &line)
{
    m_log.append(line);
}

void RecordingEvents::listStarted()
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("listStarted"));
}

void RecordingEvents::albumAdded(int index, const AlbumRecord &album)
{
    std::lock_guard lock(m_mutex);
    m_rows.append(index);
    append(QStringLiteral("albumAdded %1 %2").arg(index).arg(album.name));
}

void RecordingEvents::albumLost()
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("albumLost"));
}

void RecordingEvents::ownerAddressRemembered(const QString &address)
{
    std::lock_guard lock(m_mutex);
    m_remembered.append(address);
    append(QStringLiteral("ownerAddressRemembered ") + address);
}

void RecordingEvents::listFailureDetail(const QString &detail)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("listFailureDetail ") + detail);
}

void RecordingEvents::listWaiting(int seconds)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("listWaiting %1").arg(seconds));
}

void RecordingEvents::listFinished(ListResult result, int albumCount)
{
    std::lock_guard lock(m_mutex);
    m_listResult = result;
    append(QStringLiteral("listFinished %1 %2").arg(resultName(result)).arg(albumCount));
}

void RecordingEvents::downloadStarted()
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("downloadStarted"));
}

void RecordingEvents::saveFolderFailed(const QString &level)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("saveFolderFailed ") + level);
}

void RecordingEvents::albumStarted(int number, int count, const QString &name)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("albumStarted %1/%2 %3").arg(number).arg(count).arg(name));
}

void RecordingEvents::picturesListed(int count)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("picturesListed %1").arg(count));
}

void RecordingEvents::transferStarted(int total)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("transferStarted %1").arg(total));
}

void RecordingEvents::pictureProgress(const PictureCounts &album)
{
    std::lock_guard lock(m_mutex);
    m_progress.append(album);
    append(QStringLiteral("pictureProgress %1/%2 failed=%3").arg(album.done).arg(album.total).arg(album.failed));
}

void RecordingEvents::pictureFailed(const QString &address, const QString &reason)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("pictureFailed %1 %2").arg(address, reason));
}

void RecordingEvents::albumIncomplete(const QString &name, const QString &reason)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("albumIncomplete %1 %2").arg(name, reason));
}

void RecordingEvents::diskFull(const QString &folder)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("diskFull %1").arg(folder));
}

void RecordingEvents::albumFinished(int number, int count, const QString &folder, const PictureCounts &)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("albumFinished %1/%2 %3").arg(number).arg(count).arg(folder));
}

void RecordingEvents::downloadFinished(DownloadResult result, const PictureCounts &run)
{
    std::lock_guard lock(m_mutex);
    m_downloadResult = result;
    m_downloadCounts = run;
    QString line = QStringLiteral("downloadFinished %1 saved=%2 failed=%3 skipped=%4")
                       .arg(resultName(result))
                       .arg(run.saved)
                       .arg(run.failed)
                       .arg(run.skipped);
    if (run.untried > 0)
        line += QStringLiteral(" untried=%1").arg(run.untried);
    if (run.incompleteAlbums > 0)
        line += QStringLiteral(" incomplete=%1").arg(run.incompleteAlbums);
    append(line);
}

void RecordingEvents::openFolder(const QString &folder)
{
    std::lock_guard lock(m_mutex);
    m_opened.append(folder);
    append(QStringLiteral("openFolder ") + folder);
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

void RecordingEvents::albumListingWaiting(int seconds)
{
    std::lock_guard lock(m_mutex);
    append(QStringLiteral("albumListingWaiting %1").arg(seconds));
}

void RecordingEvents::runProgress(const PictureCounts &run)
{
    std::lock_guard lock(m_mutex);
    m_runCounts = run;
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

void RecordingEvents::clear()
{
    std::lock_guard lock(m_mutex);
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
