#include "download/MissingPictures.h"

#include "download/DownloadArchive.h"
#include "download/PresentPictures.h"
#include "sources/AlbumPictures.h"
#include "sources/PictureSink.h"
#include "sources/Session.h"

#include <QHash>
#include <QSet>

namespace pictrove {

namespace {

// Keeps every picture of the album, in order: no marker, no naming, nothing skipped.
class ListedPictures : public PictureSink {
public:
    explicit ListedPictures(const std::function<bool()> &stopRequested)
        : m_stopRequested(stopRequested)
    {
    }

    void addPicture(const Picture &picture) override { pictures.append(picture); }
    bool albumClosed() const override { return m_stopRequested && m_stopRequested(); }
    void listingFailed(const QString &address, const QString &reason) override
    {
        if (failure.isEmpty())
            failure = reason + QStringLiteral("：") + address;
    }
    void postNotVisible(const QString &) override {}

    QList<Picture> pictures;
    QString failure;

private:
    const std::function<bool()> &m_stopRequested;
};

}  // namespace

QList<AlbumShortfall> findMissingPictures(Session &session, const MissingCheck &check)
{
    const DownloadArchive archive(downloadArchivePath(session.dataFolder()), DownloadArchive::Check::Quick,
                                  DownloadArchive::Access::ReadOnly);
    const QList<AlbumRecord> albums = session.albums.all();
    const QString ownerId = archiveOwnerId(session.owner);
    QList<AlbumShortfall> checked;
    for (int index = 0; index < albums.size(); ++index) {
        if (check.stopRequested && check.stopRequested())
            break;
        const AlbumRecord &album = albums.at(index);
        ListedPictures listed(check.stopRequested);
        AlbumWalk walk;
        walk.album = album;
        walk.owner = session.owner;
        walk.dataFolder = session.dataFolder();
        walk.sleep = session.sleep;
        walk.pageIntervalMs = session.extensionSettings().weiboPageIntervalMs;
        walk.spacing = session.requestSpacing;
        walk.waitingForRateLimit = check.waitingForRateLimit;
        listAlbumPictures(walk, listed);
        if (check.stopRequested && check.stopRequested())
            break;

        QStringList keys;
        keys.reserve(listed.pictures.size());
        for (const Picture &picture : std::as_const(listed.pictures))
            keys.append(archiveKey(picture));
        const QSet<QString> archived = archive.archivedAmong(archiveService(album), ownerId, keys);
        const QHash<QString, QString> reasons = archive.failureReasons(archiveService(album), ownerId, keys);

        AlbumShortfall shortfall;
        shortfall.index = index;
        shortfall.name = album.name;
        shortfall.listed = int(listed.pictures.size());
        shortfall.listingFailure = listed.failure;
        // A picture listed twice (a post shown in two places) is counted once.
        QSet<QString> seen;
        for (const Picture &picture : std::as_const(listed.pictures)) {
            const QString key = archiveKey(picture);
            if (archived.contains(key))
                ++shortfall.archived;
            else if (!seen.contains(key))
                shortfall.missing.append(MissingPicture{picture, reasons.value(key)});
            seen.insert(key);
        }
        if (check.albumChecked)
            check.albumChecked(shortfall);
        checked.append(shortfall);
    }
    return checked;
}

}  // namespace pictrove
