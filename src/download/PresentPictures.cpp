#include "download/PresentPictures.h"

#include "sources/Source.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace pictrove {

QString archiveService(const AlbumRecord &album)
{
    if (!album.source)
        return QString();
    const char *service = *album.source->service ? album.source->service : album.source->name;
    return QString::fromLatin1(service);
}

QString archiveOwnerId(const OwnerInfo &owner)
{
    if (!owner.uid.isEmpty())
        return owner.uid;
    QString name = owner.name;
    if (name.endsWith(u'/'))
        name.chop(1);
    return name;
}

ArchivedFile archivedFile(const QueuedPicture &picture, const QString &folder, const AlbumRecord &album,
                          const ArchiveOwner &owner, qint64 size)
{
    ArchivedFile file;
    file.service = owner.service;
    file.ownerId = owner.ownerId;
    file.albumId = album.url;
    file.albumName = album.name;
    file.postId = picture.picture.postId;
    file.pictureId = archiveKey(picture.picture);
    file.kind = picture.picture.kind;
    file.path = QDir(owner.saveRoot).relativeFilePath(folder + picture.fileName);
    file.size = size;
    file.savedAt = QDateTime::currentSecsSinceEpoch();
    return file;
}

namespace {

// `name` with the lowest "(n)" before its extension that is neither a file in `folder`
// nor queued (in `queue` or `taken`, case-folded).
QString freeName(const QString &name, const QString &folder, const AlbumQueue &queue, const QSet<QString> &taken)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1(%2)%3").arg(base).arg(n).arg(extension);
        if (!QFileInfo::exists(folder + candidate) && !queue.nameTaken(candidate)
            && !taken.contains(candidate.toCaseFolded()))
            return candidate;
    }
}

}  // namespace

int markPresentPictures(AlbumQueue &queue, const AlbumRecord &album, const ArchiveOwner &owner,
                        DownloadArchive *archive, bool albumArchived, std::vector<bool> &present)
{
    QList<QueuedPicture> &pictures = queue.pictures;
    const QString folder = queue.folder();
    present.assign(size_t(pictures.size()), false);
    QSet<QString> archived;
    if (archive) {
        QStringList keys;
        keys.reserve(pictures.size());
        for (const QueuedPicture &queued : pictures)
            keys.append(archiveKey(queued.picture));
        archived = archive->archivedAmong(owner.service, owner.ownerId, keys);
    }
    QList<ArchivedFile> adopted;
    QSet<QString> renamed;
    int count = 0;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QueuedPicture &queued = pictures.at(i);
        bool there = !archived.isEmpty() && archived.contains(archiveKey(queued.picture));
        if (!there) {
            const QFileInfo file(folder + queued.fileName);
            there = file.exists();
            if (there && archive && albumArchived) {
                there = false;
                const QString name = freeName(queued.fileName, folder, queue, renamed);
                renamed.insert(name.toCaseFolded());
                pictures[i].fileName = name;
            } else if (there && archive) {
                adopted.append(archivedFile(queued, folder, album, owner, file.size()));
            }
        }
        present[size_t(i)] = there;
        count += there ? 1 : 0;
    }
    if (archive && !adopted.isEmpty())
        archive->record(adopted);
    return count;
}

}  // namespace pictrove
