#include "sources/WeiboPages.h"

#include "sources/ServiceAddresses.h"
#include "sources/SourceFetch.h"
#include "text/Charsets.h"
#include "text/TextScan.h"

#include <QStringList>

namespace pictrove {

namespace {

QString photoAddress(QString &piece, const QString &uid)
{
    QString address =
        getBetween(piece, QStringLiteral("original_pic\":\""), QStringLiteral("\""), BETWEEN_ADVANCE);
    if (address.isEmpty()) {
        // Older albums give the parts of the address instead; type 0 are the small
        // pictures kept under the owner's id.
        const QString type = getBetween(piece, QStringLiteral("pic_type\":"), QStringLiteral(","));
        const QString name = getBetween(piece, QStringLiteral("pic_name\":\""), QStringLiteral("\""));
        const QString host = getBetween(piece, QStringLiteral("pic_host\":\""), QStringLiteral("\""));
        if (type != u"0")
            address = host + QStringLiteral("/large/") + name;
        else
            address = host + uid + QStringLiteral("/180/") + name;
    }
    return unescapeSlashes(address);
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
                           BETWEEN_ADVANCE);
    owner.nick = getBetween(text, QString::fromUtf16(form->nickStart), QString::fromUtf16(form->nickEnd),
                            BETWEEN_ADVANCE);
    return owner;
}

QList<AlbumRecord> weiboAlbumsOnPage(const QString &page, const QString &uid)
{
    QList<AlbumRecord> albums;
    QStringList pieces;
    split(page, QStringLiteral("\"album_id\":\""), pieces);
    AlbumRecord found;
    found.accessFlags = 0;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces.at(i);
        QString albumId = piece;
        if (keepBefore(albumId, QStringLiteral("\",")) < 0)
            albumId.clear();
        if (albumId.isEmpty())
            continue;

        // Each value is searched after the previous one: the fields come in this order.
        const QString type = getBetween(piece, QStringLiteral("type\":"), QStringLiteral(","), BETWEEN_ADVANCE);
        found.name = unescapeUnicode(
            getBetween(piece, QStringLiteral("\"caption\":\""), QStringLiteral("\""), BETWEEN_ADVANCE));
        found.coverUrl = unescapeSlashes(
            getBetween(piece, QStringLiteral("cover_pic\":\""), QStringLiteral("\""), BETWEEN_ADVANCE));
        found.pictureCount = decimalValue(
            getBetween(piece, QStringLiteral("\"photos\":"), QStringLiteral(","), BETWEEN_ADVANCE));
        found.url = fillAddress(kWeiboPhotosEndpoint, {uid, albumId, type});
        albums.append(found);
    }
    return albums;
}

std::optional<QList<PagePicture>> weiboPhotosOnPage(const QString &page, const QString &uid,
                                                    const QString &albumName)
{
    // The page names the album once before its photos, so a page with photos has at
    // least two separators.
    QStringList pieces;
    if (split(page, QStringLiteral("album_id\":"), pieces) < 2)
        return std::nullopt;
    QList<PagePicture> photos;
    for (qsizetype i = 2; i < pieces.size(); ++i) {
        QString piece = pieces.at(i);
        QString title = stripTags(unescapeUnicode(
            getBetween(piece, QStringLiteral("\"caption\":\""), QStringLiteral("\",\""))));
        if (title.isEmpty())
            title = albumName;
        photos.append({photoAddress(piece, uid), title});
    }
    return photos;
}

}  // namespace pictrove
