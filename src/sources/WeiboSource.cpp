#include "sources/WeiboSource.h"

#include "net/PageText.h"
#include "sources/AddAlbum.h"
#include "sources/AlbumPictures.h"
#include "sources/PictureSink.h"
#include "sources/ServiceAddresses.h"
#include "sources/Session.h"
#include "sources/SourceFetch.h"
#include "text/Charsets.h"
#include "text/CleanName.h"
#include "text/EngineLog.h"
#include "text/TextScan.h"

#include <QFile>
#include <QSet>
#include <QUrl>

#include <cstdint>

namespace pictrove {

namespace {

constexpr int kPhotosPerPage = 32;
// Pauses before asking an empty photo page again, and before giving up on it.
constexpr int kEmptyPageRetryMs = 3000;
constexpr int kEmptyPageSkipMs = 1500;

bool isWeiboHost(const QString &url)
{
    const QString host = QUrl(url).host().toLower();
    return host == u"weibo.com" || host.endsWith(u".weibo.com");
}

// The user's Weibo login cookies, for the explicit cookie header of a request to
// `url`. They go to Weibo hosts only, never to whatever other site an address that
// merely mentions weibo.com points at, and over plain http without Secure cookies.
QString weiboCookiesFor(const QString &url)
{
    if (!isWeiboHost(url))
        return QString();
    QUrl root(QString::fromUtf16(kWeiboCookieRoot));
    root.setScheme(QUrl(url).scheme().toLower() == u"http" ? QStringLiteral("http")
                                                           : QStringLiteral("https"));
    return getCookies(root.toString());
}

PageRequest albumListRequest(const QString &url)
{
    PageRequest request(url, QString());
    request.headers = QString::fromUtf16(kAcceptGzipHeader);
    const QString cookies = weiboCookiesFor(url);
    if (!cookies.isEmpty())
        request.headers += QStringLiteral("\r\ncookie: ") + cookies;
    request.attempts = 1;
    request.retryDelaySec = 1;
    return request;
}

// Owner pages carry the id and nick name in one of three shapes, depending on the
// page generation; the nick is always searched after the id.
void readOwner(QString text, QString &uid, QString &nick)
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
        if (text.indexOf(QString::fromUtf16(kForms[i].idStart), 1) >= 0) {
            form = &kForms[i];
            break;
        }
    }
    uid = getBetween(text, QString::fromUtf16(form->idStart), QString::fromUtf16(form->idEnd),
                     BETWEEN_ADVANCE);
    nick = getBetween(text, QString::fromUtf16(form->nickStart), QString::fromUtf16(form->nickEnd),
                      BETWEEN_ADVANCE);
}

// The last photo page as text, for looking at by hand when a service changes its
// format; nothing reads it back.
void writePageDump(const QString &dataFolder, const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.reserve(2 + text.size() * 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    QFile dump(dataFolder + QStringLiteral("sinawb.tmp"));
    if (!dump.open(QIODevice::WriteOnly | QIODevice::Truncate) || dump.write(bytes) != bytes.size())
        qCDebug(lcEngine, "cannot write the page dump %s", qPrintable(dump.fileName()));
}

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

void weiboAlbums(Session &session, const QString &address)
{
    QString text;
    PageRequest ownerPage = albumListRequest(address);
    if (!fetchText(ownerPage, TEXT_INFLATE | TEXT_UTF8, text) || text.isEmpty())
        return;

    QString uid;
    QString nick;
    readOwner(text, uid, nick);
    session.owner.uid = uid;
    session.owner.name = cleanName(nick, kCleanNameTimeFallback, true);
    if (uid.isEmpty())
        return;

    PageRequest albums = albumListRequest(fillAddress(kWeiboAlbumsEndpoint, {uid}));
    QString reason;
    if (!fetchListPage(albums, TEXT_INFLATE | TEXT_UTF8, text, session.sleep, reason) || text.isEmpty())
        return;

    QStringList pieces;
    split(text, QStringLiteral("\"album_id\":\""), pieces);
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
        addAlbum(session, found);
        if (session.listStopRequested())
            return;
    }
}

void weiboAlbumPhotos(const AlbumWalk &walk, PictureSink &sink)
{
    const AlbumRecord &album = walk.album;
    const QString uid = walk.owner.uid;
    // Pages of photos the album's count promises; 0 for an unknown count.
    const int64_t pages = (int64_t(album.pictureCount) + kPhotosPerPage - 1) / kPhotosPerPage;
    const QString headers = QString::fromUtf16(kAcceptGzipHeader) + QStringLiteral("\r\nReferer: ")
        + fillAddress(kWeiboPhotosReferer, {uid});
    const QString pictureHeaders = QString::fromUtf16(kWeiboPictureHeaders);

    bool retried = false;
    QString reason;
    QSet<QString> seen;  // addresses handed over for this album
    QStringList pieces;
    QString text;
    for (int64_t page = 1;; ++page) {
        // Empty pages and their pauses would otherwise not notice an abort.
        if (sink.albumClosed())
            return;
        // The random fraction keeps caches out of the way; its line feed is part of it.
        PageRequest request(album.url + QString::number(page) + QStringLiteral("&_rnd=")
                                + randomFraction(),
                            QString());
        request.headers = headers;
        if (!fetchListPage(request, TEXT_INFLATE | TEXT_UTF8, text, walk.sleep, reason)) {
            sink.listingFailed(request.url, reason);
            return;
        }
        writePageDump(walk.dataFolder, text);
        if (text.isEmpty())
            return;

        // The page names the album once before its photos, so a page with photos has
        // at least two separators. The service now and then answers a page without
        // photos: it is asked once more, then skipped, as long as photos are expected.
        if (split(text, QStringLiteral("album_id\":"), pieces) < 2) {
            if (page >= pages)
                return;
            if (retried) {
                walk.sleep(kEmptyPageSkipMs);
                retried = false;
            } else {
                walk.sleep(kEmptyPageRetryMs);
                --page;
                retried = true;
            }
            continue;
        }
        // A page that answered on its second try leaves the next bad page its own retry.
        retried = false;

        // A page that brings no photo not seen before is the service repeating itself
        // (it ignores page numbers past the end): paging would never end.
        QList<QPair<QString, QString>> photos;
        bool anyNew = false;
        for (qsizetype i = 2; i < pieces.size(); ++i) {
            QString piece = pieces.at(i);
            QString title = stripTags(unescapeUnicode(
                getBetween(piece, QStringLiteral("\"caption\":\""), QStringLiteral("\",\""))));
            if (title.isEmpty())
                title = album.name;
            const QString address = photoAddress(piece, uid);
            anyNew = anyNew || !seen.contains(address);
            photos.append({address, title});
        }
        if (!anyNew)
            return;
        for (const auto &[address, title] : std::as_const(photos)) {
            seen.insert(address);
            sink.addPicture(address, title, pictureHeaders);
            if (sink.albumClosed())
                return;
        }
    }
}

}  // namespace pictrove
