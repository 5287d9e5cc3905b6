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

#include <cstdint>
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

// One item of a picture wall or album page. Most name their picture, which is fetched
// by its id; a live photo or a video names no address of its moving part, and an item
// without a picture id names only its post: for those the post itself is asked for
// (statuses/show), and `picture` holds only its post id.
struct WallItem {
    Picture picture;
    bool askPost = false;
};

// One page of the picture wall or of an album (getImageWall, getAlbumDetail): its
// items in page order, and where the next page starts (empty at the end).
struct WallPage {
    QList<WallItem> items;
    QString nextSinceId;
};
WallPage wallPageOf(const QJsonObject &answer);

// A post (statuses/show, or a post of a list): every picture, live photo, GIF and
// video of it in the post's order, each with the post's id, time and text (the title,
// as the service gives pictures no caption of their own). A live photo is its still
// followed at once by its moving part (MediaKind::LiveMotion); a video is the largest
// version the post offers.
struct PostMedia {
    QList<Picture> pictures;
    // The post has more pictures than it lists ("pic_num" above its "pic_ids"): lists
    // of posts give the first nine only, and the full post gives them all.
    bool morePictures = false;
};
PostMedia postMediaOf(const QJsonObject &answer);

// Weibo's post time, "Tue Mar 05 12:34:56 +0800 2024", in seconds since the epoch;
// 0 when the text is not one.
int64_t weiboPostTime(const QString &text);

// The full-size address of a picture id.
QString wallPictureAddress(const QString &pictureId);

}  // namespace pictrove
