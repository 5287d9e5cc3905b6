#include "sources/weibo/WeiboPages.h"

#include "sources/ServiceAddresses.h"
#include "sources/SourceFetch.h"
#include "text/Charsets.h"
#include "text/TextScan.h"

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
        const QString pid = textOf(item.value(u"pid"));
        const QString mid = textOf(item.value(u"mid"));
        if (!pid.isEmpty())
            page.pictureIds.append(pid);
        else if (!mid.isEmpty())
            page.statusIds.append(mid);
    }
    page.nextSinceId = textOf(data.value(u"since_id"));
    if (page.nextSinceId == u"0")
        page.nextSinceId.clear();
    return page;
}

QStringList statusPicturesOf(const QJsonObject &answer)
{
    // The answer may sit in "data" or be the status itself.
    QJsonObject status = answer.value(u"data").toObject();
    if (status.isEmpty())
        status = answer;
    const QJsonObject infos = status.value(u"pic_infos").toObject();
    QStringList order;
    for (const QJsonValue &id : status.value(u"pic_ids").toArray())
        order.append(id.toString());
    if (order.isEmpty())
        order = infos.keys();
    QStringList addresses;
    for (const QString &id : std::as_const(order)) {
        const QString url = infos.value(id).toObject().value(u"largest").toObject().value(u"url").toString();
        if (!url.isEmpty())
            addresses.append(url);
    }
    return addresses;
}

QString wallPictureAddress(const QString &pictureId)
{
    return fillAddress(kWeiboLargePicture, {pictureId});
}

}  // namespace pictrove
