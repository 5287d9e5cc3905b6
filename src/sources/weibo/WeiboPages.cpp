#include "sources/weibo/WeiboPages.h"

#include "sources/ServiceAddresses.h"
#include "sources/SourceFetch.h"
#include "text/Charsets.h"
#include "text/TextScan.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonValue>
#include <QStringList>
#include <QUrl>

#include <cstdint>

namespace pictrove {

namespace {

// Ids and numbers come as strings or as numbers, depending on the service's mood.
QString textOf(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    // Whole numbers read back exactly (QJsonValue keeps 64-bit integers as such).
    if (value.isDouble())
        return value.toVariant().toString();
    return QString();
}

int32_t countOf(const QJsonValue &value)
{
    const double number = value.isString() ? value.toString().toDouble() : value.toDouble();
    if (!(number >= 0))
        return 0;
    return number > double(INT32_MAX) ? INT32_MAX : int32_t(number);
}

}  // namespace

// Owner pages carry the id and nick name in one of three shapes, depending on the
// page generation; the nick is always searched after the id.
WeiboOwner readWeiboOwner(const QString &page)
{
    static const struct {
        const char16_t *idStart, *idEnd, *nickStart, *nickEnd;
    } kForms[] = {
        {u"['oid'] = '", u"'", u"['onick'] = '", u"'"},
        {u"['oid']='", u"'", u"['onick']='", u"'"},
        {u"\"id\":", u",", u"\"name\":\"", u"\""},
    };
    const auto *form = &kForms[2];
    for (int i = 0; i < 2; ++i) {
        if (page.indexOf(QString::fromUtf16(kForms[i].idStart), 1) >= 0) {
            form = &kForms[i];
            break;
        }
    }
    QString text = page;
    WeiboOwner owner;
    owner.uid = getBetween(text, QString::fromUtf16(form->idStart), QString::fromUtf16(form->idEnd),
                           kBetweenAdvance);
    owner.nick = getBetween(text, QString::fromUtf16(form->nickStart), QString::fromUtf16(form->nickEnd),
                            kBetweenAdvance);
    return owner;
}

QList<AlbumRecord> weiboAlbumsOf(const QJsonObject &answer, const QString &uid)
{
    QList<AlbumRecord> albums;
    const QJsonArray list = answer.value(u"data").toObject().value(u"album_list").toArray();
    for (const QJsonValue &entry : list) {
        const QJsonObject album = entry.toObject();
        const QString albumId = textOf(album.value(u"album_id"));
        if (albumId.isEmpty())
            continue;
        AlbumRecord found;
        found.name = album.value(u"caption").toString();
        found.coverUrl = album.value(u"cover_pic").toString();
        found.pictureCount = countOf(album.value(u"count").toObject().value(u"photos"));
        // Bit 1 of the access flags: private, shown as such in the remark column.
        found.accessFlags = album.value(u"is_private").toBool() ? 2 : 0;
        found.url = fillAddress(kWeiboPhotosEndpoint, {uid, albumId, textOf(album.value(u"type"))});
        albums.append(found);
    }
    return albums;
}

std::optional<QList<Picture>> weiboPhotosOf(const QJsonObject &answer, const QString &uid,
                                                const QString &albumName)
{
    const QJsonArray list = answer.value(u"data").toObject().value(u"photo_list").toArray();
    if (list.isEmpty())
        return std::nullopt;
    QList<Picture> photos;
    for (const QJsonValue &entry : list) {
        const QJsonObject photo = entry.toObject();
        QString title = stripTags(photo.value(u"caption").toString());
        if (title.isEmpty())
            title = albumName;
        QString address = photo.value(u"original_pic").toString();
        if (address.isEmpty()) {
            // Older albums give the parts of the address instead; type 0 are the small
            // pictures kept under the owner's id.
            const QString host = photo.value(u"pic_host").toString();
            const QString name = photo.value(u"pic_name").toString();
            address = textOf(photo.value(u"pic_type")) != u"0" ? host + QStringLiteral("/large/") + name
                                                               : host + uid + QStringLiteral("/180/") + name;
        }
        Picture picture;
        picture.address = address;
        picture.title = title;
        photos.append(std::move(picture));
    }
    return photos;
}

WeiboOwner weiboProfileOf(const QJsonObject &answer)
{
    const QJsonObject user = answer.value(u"data").toObject().value(u"user").toObject();
    WeiboOwner owner;
    owner.uid = textOf(user.value(u"idstr"));
    if (owner.uid.isEmpty())
        owner.uid = textOf(user.value(u"id"));
    owner.nick = user.value(u"screen_name").toString();
    return owner;
}

QList<AlbumRecord> wallAlbumsOf(const QJsonObject &answer)
{
    QList<AlbumRecord> albums;
    const QJsonArray list = answer.value(u"data").toObject().value(u"album_list").toArray();
    for (const QJsonValue &entry : list) {
        const QJsonObject album = entry.toObject();
        // Sent decoded once and encoded once: an id that arrives encoded is not
        // encoded a second time.
        const QString container = QUrl::fromPercentEncoding(textOf(album.value(u"containerid")).toUtf8());
        if (container.isEmpty())
            continue;
        AlbumRecord found;
        found.name = album.value(u"pic_title").toString();
        found.url = fillAddress(kWeiboAlbumDetailPage, {QString::fromLatin1(QUrl::toPercentEncoding(container))});
        const QString cover = album.value(u"pic").toString();
        found.coverUrl = cover.isEmpty() || cover.startsWith(u"http") ? cover : wallPictureAddress(cover);
        found.pictureCount = -1;
        found.accessFlags = 0;
        albums.append(found);
    }
    return albums;
}

WallPage wallPageOf(const QJsonObject &answer)
{
    const QJsonObject data = answer.value(u"data").toObject();
    WallPage page;
    for (const QJsonValue &entry : data.value(u"list").toArray()) {
        const QJsonObject item = entry.toObject();
        WallItem found;
        found.picture.pictureId = textOf(item.value(u"pid"));
        found.picture.postId = textOf(item.value(u"mid"));
        const QString type = item.value(u"type").toString();
        // The moving part of a live photo, and a video, are named by the post only.
        found.askPost = found.picture.pictureId.isEmpty() || type == u"livephoto" || type == u"video";
        if (found.askPost) {
            if (found.picture.postId.isEmpty())
                continue;
            found.picture.pictureId.clear();
        } else {
            found.picture.address = wallPictureAddress(found.picture.pictureId);
            if (type == u"gif")
                found.picture.kind = MediaKind::Animated;
        }
        page.items.append(found);
    }
    page.nextSinceId = textOf(data.value(u"since_id"));
    if (page.nextSinceId == u"0")
        page.nextSinceId.clear();
    return page;
}

namespace {

// The address without its query: what names a file, and what identifies a video whose
// address carries a signature that changes from one listing to the next.
QString withoutQuery(const QString &address)
{
    const qsizetype query = address.indexOf(u'?');
    return query < 0 ? address : address.left(query);
}

// One picture of a post (an entry of "pic_infos", or the data of a mixed post's "pic"
// item), with its moving part when it is a live photo. `post` carries the post's id,
// time and text.
void appendPicture(QList<Picture> &pictures, const QJsonObject &info, const QString &pid, const Picture &post)
{
    Picture picture = post;
    picture.pictureId = pid;
    for (const char16_t *size : {u"largest", u"original", u"mw2000", u"large"}) {
        picture.address = info.value(size).toObject().value(u"url").toString();
        if (!picture.address.isEmpty())
            break;
    }
    if (picture.address.isEmpty() && !pid.isEmpty())
        picture.address = wallPictureAddress(pid);
    if (picture.address.isEmpty())
        return;
    const QString type = info.value(u"type").toString();
    if (type == u"gif")
        picture.kind = MediaKind::Animated;
    pictures.append(picture);

    const QString motion = info.value(u"video").toString();
    if (type != u"livephoto" || motion.isEmpty())
        return;
    Picture moving = picture;
    moving.address = motion;
    moving.fallbackAddress.clear();
    moving.kind = MediaKind::LiveMotion;
    // Its own id beside the still's, so the archive keeps a row for each file.
    moving.pictureId = (pid.isEmpty() ? withoutQuery(motion) : pid) + QStringLiteral(".mov");
    pictures.append(moving);
}

// The largest version of a video ("page_info" of a post, or the data of a mixed post's
// "video" item): the largest of the playback list, else the best named address.
void appendVideo(QList<Picture> &pictures, const QJsonObject &page, const Picture &post)
{
    const QJsonObject media = page.value(u"media_info").toObject();
    QString address;
    double largest = -1;
    for (const QJsonValue &entry : media.value(u"playback_list").toArray()) {
        const QJsonObject play = entry.toObject().value(u"play_info").toObject();
        const QString url = play.value(u"url").toString();
        const double area = play.value(u"width").toDouble() * play.value(u"height").toDouble();
        if (!url.isEmpty() && area > largest) {
            largest = area;
            address = url;
        }
    }
    for (const char16_t *name : {u"mp4_720p_mp4", u"mp4_hd_url", u"mp4_sd_url", u"stream_url_hd", u"stream_url"}) {
        if (!address.isEmpty())
            break;
        address = media.value(name).toString();
    }
    if (address.isEmpty())
        return;
    Picture video = post;
    video.address = address;
    video.kind = MediaKind::Video;
    video.pictureId = textOf(media.value(u"media_id"));
    if (video.pictureId.isEmpty())
        video.pictureId = textOf(page.value(u"object_id"));
    if (video.pictureId.isEmpty())
        video.pictureId = withoutQuery(address);
    pictures.append(video);
}

}  // namespace

PostMedia postMediaOf(const QJsonObject &answer)
{
    // The answer may sit in "data" or be the post itself.
    QJsonObject status = answer.value(u"data").toObject();
    if (status.isEmpty())
        status = answer;
    Picture post;
    for (const char16_t *id : {u"idstr", u"id", u"mblogid"}) {
        post.postId = textOf(status.value(id));
        if (!post.postId.isEmpty())
            break;
    }
    post.postTime = weiboPostTime(status.value(u"created_at").toString());
    post.postText = status.value(u"text_raw").toString();
    if (post.postText.isEmpty())
        post.postText = stripTags(status.value(u"text").toString());
    post.title = post.postText;

    PostMedia media;
    // A mixed post lists pictures and videos together, in its order.
    const QJsonArray mixed = status.value(u"mix_media_info").toObject().value(u"items").toArray();
    for (const QJsonValue &entry : mixed) {
        const QJsonObject item = entry.toObject();
        const QJsonObject data = item.value(u"data").toObject();
        const QString type = item.value(u"type").toString();
        if (type == u"video") {
            appendVideo(media.pictures, data, post);
        } else if (type == u"pic") {
            QString pid = textOf(data.value(u"pic_id"));
            if (pid.isEmpty())
                pid = textOf(item.value(u"id"));
            appendPicture(media.pictures, data, pid, post);
        }
    }
    if (!mixed.isEmpty())
        return media;

    const QJsonObject infos = status.value(u"pic_infos").toObject();
    QStringList order;
    for (const QJsonValue &id : status.value(u"pic_ids").toArray())
        order.append(textOf(id));
    if (order.isEmpty())
        order = infos.keys();
    for (const QString &id : std::as_const(order)) {
        if (!id.isEmpty())
            appendPicture(media.pictures, infos.value(id).toObject(), id, post);
    }
    media.morePictures = countOf(status.value(u"pic_num")) > order.size();

    const QJsonObject page = status.value(u"page_info").toObject();
    if (page.value(u"type").toString() == u"video")
        appendVideo(media.pictures, page, post);
    return media;
}

int64_t weiboPostTime(const QString &text)
{
    // "Tue Mar 05 12:34:56 +0800 2024": day, month, date, time, offset, year.
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 6)
        return 0;
    static const char16_t *const kMonths[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                              u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    int month = 0;
    for (int m = 0; m < 12; ++m) {
        if (parts.at(1) == QStringView(kMonths[m]))
            month = m + 1;
    }
    bool dayOk = false;
    bool yearOk = false;
    const int day = parts.at(2).toInt(&dayOk);
    const int year = parts.at(5).toInt(&yearOk);
    const QTime time = QTime::fromString(parts.at(3), QStringLiteral("HH:mm:ss"));
    const QString &zone = parts.at(4);
    bool zoneOk = zone.size() == 5 && (zone.at(0) == u'+' || zone.at(0) == u'-');
    const int hours = zoneOk ? zone.mid(1, 2).toInt(&zoneOk) : 0;
    bool minutesOk = false;
    const int minutes = zoneOk ? zone.mid(3, 2).toInt(&minutesOk) : 0;
    const QDate date(year, month, dayOk ? day : 0);
    if (!month || !dayOk || !yearOk || !zoneOk || !minutesOk || !date.isValid() || !time.isValid() || hours > 14
        || minutes > 59)
        return 0;
    const int offset = (zone.at(0) == u'-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return QDateTime(date, time, Qt::UTC).toSecsSinceEpoch() - offset;
}

QString wallPictureAddress(const QString &pictureId)
{
    return fillAddress(kWeiboLargePicture, {pictureId});
}

}  // namespace pictrove
