#pragma once
// Reading Weibo's answers: the owner page of old, the photo service's album list and
// photo pages, and the web API's owner profile, picture wall and album pages. Pure
// functions of a page's text or of an answer's JSON, apart from the fetching in
// WeiboSource.

#include "sources/AlbumRecord.h"
#include "sources/Picture.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace pictrove {

// The ids and nick names of an owner page of old (the address's own page).
struct WeiboOwner {
    QString uid;   // empty when the page names no owner
    QString nick;  // as the page gives it, not yet cleaned
};
WeiboOwner readWeiboOwner(const QString &page);

// The photo service (photo.weibo.com).
// The albums of albums/get_all; `url` is the address of their first photo page
// without its page number.
QList<AlbumRecord> weiboAlbumsOf(const QJsonObject &answer, const QString &uid);
// The photos of one photos/get_all page. nullopt for a page without photos (the
// service answers one now and then, or past the end); titles fall back to `albumName`.
std::optional<QList<Picture>> weiboPhotosOf(const QJsonObject &answer, const QString &uid,
                                                const QString &albumName);

// The web API (weibo.com/ajax).
// profile/info: the owner's id and nick name; empty when the answer has none.
WeiboOwner weiboProfileOf(const QJsonObject &answer);

// The albums the picture wall lists (getImageWall with has_album=true), each with an
// unknown count and the address of its getAlbumDetail pages without the since_id.
QList<AlbumRecord> wallAlbumsOf(const QJsonObject &answer);

// One page of the picture wall or of an album (getImageWall, getAlbumDetail): the
// pictures' ids, the statuses whose pictures must be asked for separately, and where
// the next page starts (empty at the end).
struct WallPage {
    QStringList pictureIds;
    QStringList statusIds;
    QString nextSinceId;
};
WallPage wallPageOf(const QJsonObject &answer);

// statuses/show: the largest version of each picture of the status.
QStringList statusPicturesOf(const QJsonObject &answer);

// The full-size address of a picture id.
QString wallPictureAddress(const QString &pictureId);

}  // namespace pictrove
