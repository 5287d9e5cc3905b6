#pragma once
// What the download archive holds of a listed owner, album by album: the albums an
// update walks, and the "已存档 N/M" of the album list.

#include "download/DownloadArchive.h"
#include "sources/AlbumColumns.h"
#include "sources/AlbumRecord.h"

#include <QList>
#include <QString>

namespace pictrove {

// The pictures archived for `owner` in each of `albums` (an entry per album, in list
// order); empty when the archive holds nothing of any of them.
QList<int> archivedPerAlbum(const DownloadArchive &archive, const QList<AlbumRecord> &albums, const OwnerInfo &owner);

// The same from the archive of `dataFolder`, with each album's archived files looked
// for under `saveRoot` (the paths are relative to it; none is looked for when it is
// empty) and its failed pictures counted. An archive that is not there is not made,
// and one that cannot be read counts as empty: showing counts never moves a file aside
// (the next download does that). One stat per archived file: run it off a window's thread.
QList<ArchivedCounts> archivedCountsPerAlbum(const QString &dataFolder, const QString &saveRoot,
                                             const QList<AlbumRecord> &albums, const OwnerInfo &owner);

}  // namespace pictrove
