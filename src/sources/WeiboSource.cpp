#include "sources/WeiboSource.h"

#include "net/PageText.h"
#include "sources/AddAlbum.h"
#include "sources/AlbumPictures.h"
#include "sources/PictureSink.h"
#include "sources/ServiceAddresses.h"
#include "sources/Session.h"
#include "sources/SourceFetch.h"
#include "sources/WeiboPages.h"
#include "text/Charsets.h"
#include "text/CleanName.h"
#include "text/EngineLog.h"
#include "text/TextScan.h"

#include <QFile>
#include <QSet>
#include <QUrl>

#include <algorithm>
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

}  // namespace

void weiboAlbums(Session &session, const QString &address)
{
    QString text;
    PageRequest ownerPage = albumListRequest(address);
    if (!fetchText(ownerPage, TEXT_INFLATE | TEXT_UTF8, text) || text.isEmpty())
        return;

    const WeiboOwner owner = readWeiboOwner(text);
    const QString uid = owner.uid;
    session.owner.uid = uid;
    session.owner.name = cleanName(owner.nick, kCleanNameTimeFallback, true);
    if (uid.isEmpty())
        return;

    PageRequest albums = albumListRequest(fillAddress(kWeiboAlbumsEndpoint, {uid}));
    QString reason;
    if (!fetchListPage(albums, TEXT_INFLATE | TEXT_UTF8, text, session.sleep, reason) || text.isEmpty())
        return;

    for (const AlbumRecord &found : weiboAlbumsOnPage(text, uid)) {
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

        // The service now and then answers a page without photos: it is asked once
        // more, then skipped, as long as photos are expected.
        const std::optional<QList<PagePicture>> photos = weiboPhotosOnPage(text, uid, album.name);
        if (!photos) {
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
        const bool anyNew = std::any_of(photos->begin(), photos->end(), [&](const PagePicture &photo) {
            return !seen.contains(photo.address);
        });
        if (!anyNew)
            return;
        for (const auto &[address, title] : *photos) {
            seen.insert(address);
            sink.addPicture(address, title, pictureHeaders);
            if (sink.albumClosed())
                return;
        }
    }
}

}  // namespace pictrove
