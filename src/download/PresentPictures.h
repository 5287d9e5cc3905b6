#pragma once
// Which of an album's queued pictures a download with skip-previous passes over, and
// the archive rows of an album's saved files.

#include "download/AlbumQueue.h"
#include "download/DownloadArchive.h"
#include "sources/AlbumRecord.h"

#include <QList>
#include <QString>

#include <vector>

namespace pictrove {

// Whose pictures a run archives, and the folder the archived paths are relative to.
struct ArchiveOwner {
    QString service;
    QString ownerId;
    QString saveRoot;  // ends in "/"
};

// The archive's name of the service that lists `album`'s pictures.
QString archiveService(const AlbumRecord &album);
// The owner's id, or its name where the service gave no id.
QString archiveOwnerId(const OwnerInfo &owner);

// The row of `picture`, saved (or found) in `folder` with `size` bytes.
ArchivedFile archivedFile(const QueuedPicture &picture, const QString &folder, const AlbumRecord &album,
                          const ArchiveOwner &owner, qint64 size);

// Marks each picture of `queue` that is already there: archived for the owner
// (wherever its file is now), or a file under its rule-made name. Such a file that is
// not in the archive is recorded now, without fetching it, so a folder tree made before
// the archive is adopted. Not so in an album the archive knows (`albumArchived`): there
// a new picture may have shifted the names, and the file under its name is another
// picture's; it gets a free name instead, so no saved file is written over. `archive`
// may be null (no archive in this run). Returns how many are marked.
int markPresentPictures(AlbumQueue &queue, const AlbumRecord &album, const ArchiveOwner &owner,
                        DownloadArchive *archive, bool albumArchived, std::vector<bool> &present);

}  // namespace pictrove
