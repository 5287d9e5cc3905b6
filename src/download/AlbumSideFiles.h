#pragma once
// The small files written beside an album's pictures: the Thunder download list for
// an external download manager, the title file (one line per picture, the title as
// the service gave it) and the marker "pic.vrx" that remembers the first picture of
// the album's last complete download. All written on the download driver's thread.

#include "download/AlbumQueue.h"

#include <QList>
#include <QString>

namespace pictrove {

// The marker's file name inside an album folder.
inline constexpr const char16_t *kMarkerFileName = u"pic.vrx";

// One GBK line ("\r\n") per address; a picture with a fallback address gives two
// lines, the fallback second. False when the file cannot be created.
bool writeThunderList(const QString &path, const QList<QueuedPicture> &pictures);

// Appends "title\r\n" in UTF-16LE. The album's first picture (count below 2)
// creates or truncates the file and starts it with a byte-order mark; later ones
// append to it, and a line is dropped when the file cannot be opened.
void appendTitleLine(const QString &path, const QString &title, int count);

// The marker of `folder` (ending in "/"): `first`'s address in UTF-16LE without a mark
// or line end, then its fallback address after a line end when it has one. Failures
// are not reported.
void writeMarkerFile(const QString &folder, const Picture &first);
// The text up to the first line end (LF or CR LF), empty when there is no readable
// marker.
QString readMarkerFile(const QString &folder);

// folder + album name + suffix (".lst", ".txt"). The album name is cleaned again and
// cut to fit one path component, since it comes from a remote page.
QString albumFilePath(const QString &folder, const QString &albumName, const QString &suffix);

}  // namespace pictrove
