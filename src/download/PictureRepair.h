#pragma once
// Repairs run on an album's files after its transfers (also after an abort), on the
// download driver's thread: the real picture format as the extension, and file times
// one minute apart so that a file browser sorting by date shows the album's order.

#include <QString>

namespace pictrove {

class AlbumQueue;

// Every queued file whose first bytes name another format is renamed, and its queued
// name follows. Missing files (failed transfers) are skipped.
void fixPictureFormats(AlbumQueue &queue);

// Gives the file at `path` the extension its first bytes call for. `path` becomes the
// new path when the file now lies there (renamed, or already correctly named); true
// when a rename happened. A file of the new name is never replaced.
bool fixPictureType(QString &path);

// The extension the first bytes of a file call for (".jpg", ".png", ...), empty when
// none matches.
QString pictureTypeOf(const QByteArray &head);

// The queued files get times now, now - 60 s, now - 120 s ... in queue order; a
// missing file still uses up its minute.
void fixPictureOrder(AlbumQueue &queue);

// Each queued file whose picture has a post time gets that time; the others keep
// theirs. With `onlyWhenEveryPictureHasOne`, an album where some picture has none is
// left alone and false returned, so that the order repair can number it instead: a
// mix of post times and made-up times would sort in no order at all.
bool stampPostTimes(AlbumQueue &queue, bool onlyWhenEveryPictureHasOne);

}  // namespace pictrove
