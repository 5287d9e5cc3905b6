#include "download/ArchivedAlbums.h"

#include "download/PresentPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace pictrove {

QList<int> archivedPerAlbum(const DownloadArchive &archive, const QList<AlbumRecord> &albums, const OwnerInfo &owner)
{
    // Albums of one owner may come from more than one source: one query per service.
    QHash<QString, QHash<QString, int>> byService;
    const QString ownerId = archiveOwnerId(owner);
    QList<int> counts;
    counts.reserve(albums.size());
    bool any = false;
    for (const AlbumRecord &album : albums) {
        const QString service = archiveService(album);
        auto found = byService.find(service);
        if (found == byService.end())
            found = byService.insert(service, archive.albumCounts(service, ownerId));
        const int count = found->value(album.url);
        any = any || count > 0;
        counts.append(count);
    }
    return any ? counts : QList<int>();
}

QList<ArchivedCounts> archivedCountsPerAlbum(const QString &dataFolder, const QString &saveRoot,
                                             const QList<AlbumRecord> &albums, const OwnerInfo &owner)
{
    if (dataFolder.isEmpty())
        return {};
    const DownloadArchive archive(downloadArchivePath(dataFolder), DownloadArchive::Check::Quick,
                                  DownloadArchive::Access::ReadOnly);
    if (!archive.isOpen())
        return {};
    struct ServiceRows {
        QHash<QString, QStringList> paths;
        QHash<QString, int> failures;
    };
    QHash<QString, ServiceRows> byService;
    const QString ownerId = archiveOwnerId(owner);
    const QDir root(saveRoot);
    QList<ArchivedCounts> counts;
    counts.reserve(albums.size());
    bool any = false;
    for (const AlbumRecord &album : albums) {
        const QString service = archiveService(album);
        auto found = byService.find(service);
        if (found == byService.end())
            found = byService.insert(service, ServiceRows{archive.albumPaths(service, ownerId),
                                                          archive.albumFailures(service, ownerId)});
        ArchivedCounts albumCounts;
        const QStringList paths = found->paths.value(album.url);
        albumCounts.archived = int(paths.size());
        for (const QString &path : saveRoot.isEmpty() ? QStringList() : paths) {
            if (!QFileInfo::exists(root.filePath(path)))
                ++albumCounts.missingFiles;
        }
        albumCounts.failed = found->failures.value(album.url);
        any = any || albumCounts.archived > 0 || albumCounts.failed > 0;
        counts.append(albumCounts);
    }
    return any ? counts : QList<ArchivedCounts>();
}

}  // namespace pictrove
