#include "download/ArchivedAlbums.h"

#include "download/PresentPictures.h"

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

QList<int> archivedPerAlbum(const QString &dataFolder, const QList<AlbumRecord> &albums, const OwnerInfo &owner)
{
    if (dataFolder.isEmpty())
        return {};
    const DownloadArchive archive(downloadArchivePath(dataFolder), DownloadArchive::Check::Quick,
                                  DownloadArchive::Access::ReadOnly);
    return archive.isOpen() ? archivedPerAlbum(archive, albums, owner) : QList<int>();
}

}  // namespace pictrove
