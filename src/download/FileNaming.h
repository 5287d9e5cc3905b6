#pragma once
// How a queued picture and its album are named: the user's rules (base by mode,
// prefix and suffix with the ?1..?9 escapes and the post's letter escapes, find and
// replace), the cleaning, the
// length limits and the collision counter. Pure text work apart from reading the
// clock for the time-stamp fallback; addPicture calls it on the thread that lists the album.
//
// Names from remote pages are never taken as paths: every result is one path
// component without "/" that cannot be "." or "..", so pictures and album folders
// always stay inside the run's base folder.

#include "settings/SettingsBlock.h"
#include "sources/AlbumRecord.h"
#include "sources/Picture.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace pictrove {

class AlbumQueue;

// Longest file-name component the file system takes, in bytes of UTF-8.
inline constexpr int kMaxNameBytes = 255;

// Everything one picture's name may be built from.
struct PictureNaming {
    Picture picture;
    int sequence = 1;  // pictures already queued for the album + 1
    AlbumRecord album;
    int selectedAlbumCount = 0;
    int albumCount = 0;
    QString ownerName;  // OwnerInfo::name as stored
    QString ownerId;    // OwnerInfo::uid; empty where the service gives none
    // The picture's place among its post's pictures, from 1; 0 when it has no post id.
    int numberInPost = 0;
    NameRules rules;
};

// The letter escapes of a picture's post, after the digit escapes: ?d the post date
// (YYYYMMDD) and ?t its time (HHMMSS), both in China Standard Time, the services' own
// clock; ?p the post id, ?i the picture id, ?n the picture's number within its post, ?o
// the owner's id. A value the service did not give is an empty text. One pass: a value
// is never read for escapes again, so an id cannot bring one in.
QString expandPostEscapes(const QString &name, const PictureNaming &in);

// The name after the rules and the cleaning: the base of the collision counter.
QString pictureNameBase(const PictureNaming &in);

// The album's folder component; empty when the album's pictures go straight into
// the base folder.
QString albumFolderName(const AlbumRecord &album, const NameRules &rules);

// True when the folder rules give each album a folder of its own (by its name or its
// position); false when they give every album the same folder, which the albums of a
// run then share on purpose.
bool foldersNameEachAlbum(const NameRules &rules);

// The folder component of every listed album, in list order. With foldersNameEachAlbum,
// two albums whose names clean to the same folder ("Family \/ 家" and "Family 家") get
// distinct ones, numbered like album names ("Family 家 (1)", letter case ignored).
// Numbered over the whole list, not the chosen albums, so an album keeps its folder
// from one run to the next whichever albums are chosen with it.
QStringList albumFolderNames(const QList<AlbumRecord> &listed, const NameRules &rules);

// The file name a picture is queued under: the length limit against the folder, the
// extension split, the collision counter against the names already taken in `queue`'s
// folder (the queue remembers where the counter stopped for each base), and the byte
// limit of one component. A still keeps a picture extension the rules gave it (".jpg"
// otherwise); the other kinds always end in their own (mediaExtension), so a GIF named
// after a ".jpg" address is still saved as what it is.
QString finalFileName(const QString &collisionBase, const QString &jobFolder, AlbumQueue &queue,
                      MediaKind kind = MediaKind::Still);

// The extension a file of `kind` is saved with: ".jpg", ".gif", ".mov" (the moving
// part of a live photo), ".mp4".
QString mediaExtension(MediaKind kind);

// True for .jpeg .jpg .bmp .gif .png .tif in any letter case.
bool hasPictureExtension(const QString &name);

// `stem`, cut at a character boundary so that stem + tail take at most `maxBytes`
// bytes of UTF-8. `tail` itself is never cut.
QString fitUtf8(const QString &stem, const QString &tail, int maxBytes = kMaxNameBytes);

}  // namespace pictrove
