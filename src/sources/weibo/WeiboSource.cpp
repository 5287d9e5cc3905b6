#include "sources/weibo/WeiboSource.h"

#include "net/PageText.h"
#include "sources/AlbumPictures.h"
#include "sources/ListContext.h"
#include "sources/ListingBounds.h"
#include "sources/PictureSink.h"
#include "sources/ServiceAddresses.h"
#include "sources/SourceFetch.h"
#include "sources/weibo/WeiboAddress.h"
#include "sources/weibo/WeiboApi.h"
#include "sources/weibo/WeiboPages.h"
#include "sources/weibo/WeiboViewer.h"
#include "text/Charsets.h"
#include "text/CleanName.h"
#include "text/EngineLog.h"
#include "text/TextScan.h"

#include <QFile>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <initializer_list>

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

// The picture wall as an album of its own, beside the albums it lists.
const QString kWholeWallName = QStringLiteral("全部图片");

WeiboPacing listPacing(ListContext &context)
{
    WeiboPacing pacing;
    pacing.sleep = context.sleep;
    pacing.pageIntervalMs = context.extension.weiboPageIntervalMs;
    pacing.spacing = context.spacing;
    pacing.waitingForRateLimit = [&albums = context.albums](int seconds) { albums.waitingForRateLimit(seconds); };
    return pacing;
}

WeiboPacing walkPacing(const AlbumWalk &walk)
{
    WeiboPacing pacing;
    pacing.sleep = walk.sleep;
    pacing.pageIntervalMs = walk.pageIntervalMs;
    pacing.spacing = walk.spacing;
    pacing.waitingForRateLimit = walk.waitingForRateLimit;
    return pacing;
}

// What the user is told of one path's refusal.
ListResult listResultOf(WeiboRefusal refusal)
{
    switch (refusal) {
    case WeiboRefusal::None:
        break;
    case WeiboRefusal::LoginNeeded:
        // The login answer to a request that carried a login: that login has run out.
        return hasSavedWeiboLogin() ? ListResult::LoginExpired : ListResult::LoginNeeded;
    case WeiboRefusal::NotPermitted:  // a friend's login may see it
        return ListResult::LoginNeeded;
    case WeiboRefusal::RateLimited:
        return ListResult::RateLimited;
    case WeiboRefusal::Unexpected:
    case WeiboRefusal::TooLarge:
        return ListResult::ServiceChanged;
    case WeiboRefusal::Unreachable:
        return ListResult::Unreachable;
    case WeiboRefusal::NotFound:
        return ListResult::OwnerNotFound;
    }
    return ListResult::NothingFound;
}

struct PathRefusal {
    ListResult result = ListResult::NothingFound;
    QString detail;
};

// When no path listed anything, the user hears of the most telling refusal: one for
// speed first, then a login when it would help. Of equals, the first path's.
void refuse(ListOutcome &outcome, std::initializer_list<PathRefusal> paths)
{
    static constexpr ListResult kMostTellingFirst[] = {
        ListResult::RateLimited, ListResult::LoginExpired, ListResult::LoginNeeded, ListResult::ServiceChanged,
        ListResult::OwnerNotFound, ListResult::Unreachable,
    };
    for (const ListResult result : kMostTellingFirst) {
        for (const PathRefusal &path : paths) {
            if (path.result == result) {
                outcome.refusal = result;
                outcome.refusalDetail = path.detail;
                return;
            }
        }
    }
    outcome.refusal = ListResult::NothingFound;
    outcome.refusalDetail.clear();
}

QString profileAddress(const WeiboOwnerRef &ref)
{
    const QString value = QString::fromLatin1(QUrl::toPercentEncoding(ref.value));
    switch (ref.kind) {
    case WeiboOwnerRef::Kind::Uid:
        return fillAddress(kWeiboProfileByUid, {value});
    case WeiboOwnerRef::Kind::ScreenName:
        return fillAddress(kWeiboProfileByName, {value});
    case WeiboOwnerRef::Kind::Custom:
        return fillAddress(kWeiboProfileByCustom, {value});
    case WeiboOwnerRef::Kind::None:
        break;
    }
    return QString();
}

QString refusalText(const WeiboAnswer &answer)
{
    switch (answer.refusal) {
    case WeiboRefusal::LoginNeeded:
        // A login was sent with the request: it has run out.
        if (hasSavedWeiboLogin())
            return QStringLiteral("微博登录已失效：请重新登录 (%1)").arg(answer.detail);
        return QStringLiteral("login needed (%1)").arg(answer.detail);
    case WeiboRefusal::RateLimited:
        return QStringLiteral("asked too fast (%1)").arg(answer.detail);
    case WeiboRefusal::Unexpected:
        return QStringLiteral("unexpected answer (%1)").arg(answer.detail);
    case WeiboRefusal::NotPermitted:
        return QStringLiteral("not permitted (%1)").arg(answer.detail);
    default:
        return answer.detail;
    }
}

// The page at `address` ended the album's listing with `answer`'s refusal; a login
// answer is told typed too, so the run can say the login is the reason.
void refuseListing(PictureSink &sink, const QString &address, const WeiboAnswer &answer)
{
    if (answer.refusal == WeiboRefusal::LoginNeeded)
        sink.loginRefused(listResultOf(answer.refusal));
    sink.listingFailed(address, refusalText(answer));
}

bool claimsWeiboOwner(const QString &address)
{
    return isSinaServiceAddress(address) && (address.indexOf(u"weibo.com", 1) >= 0 || isWeiboAddress(address));
}

}  // namespace

// Weibo refuses owners asked too fast: its pages are paced per owner, so a second
// lister would only wait for its turn.
const Source kWeiboSource{
    "weibo", &claimsWeiboOwner, &weiboAlbums, &weiboAlbumPhotos, kWeiboPictureHeaders, 1, "weibo",
};

const Source kWeiboWallSource{
    "weibo-wall", nullptr, nullptr, &weiboWallPictures, kWeiboPictureHeaders, 1, "weibo",
};

ListOutcome weiboAlbums(const QString &address, ListContext &context)
{
    ListOutcome outcome;
    WeiboClient client(listPacing(context));
    const WeiboOwnerRef ref = weiboOwnerOfAddress(address);
    // An id in the address is the owner's; a page could show the logged-in viewer.
    QString uid = ref.kind == WeiboOwnerRef::Kind::Uid ? ref.value : QString();
    QString nick;
    WeiboRefusal profileRefusal = WeiboRefusal::None;
    QString profileDetail;
    if (ref.kind != WeiboOwnerRef::Kind::None) {
        PageRequest profile(profileAddress(ref), QString());
        profile.headers = weiboApiHeaders(uid, address);
        const WeiboAnswer answer = client.get(profile);
        profileRefusal = answer.refusal;
        profileDetail = answer.detail;
        if (answer.refusal == WeiboRefusal::None) {
            const WeiboOwner owner = weiboProfileOf(answer.json);
            if (uid.isEmpty())
                uid = owner.uid;
            if (owner.uid == uid)
                nick = owner.nick;
        }
    }
    PathRefusal ownerPageRefusal;
    if (uid.isEmpty() || nick.isEmpty()) {
        // The owner's own page, as the site served it before its web API: still the
        // only way for addresses of other shapes.
        QString text;
        QString reason;
        PageRequest ownerPage = albumListRequest(address);
        if (!fetchListPage(ownerPage, kTextInflate | kTextUtf8, text, context.sleep, reason)) {
            ownerPageRefusal = {listResultOfFailure(reason), reason};
        } else if (!text.isEmpty()) {
            const WeiboOwner owner = readWeiboOwner(text);
            if (uid.isEmpty()) {
                uid = owner.uid;
                nick = owner.nick;
            } else if (owner.uid == uid) {
                nick = owner.nick;
            }
        }
    }
    outcome.owner.uid = uid;
    outcome.owner.name = cleanName(nick, kCleanNameTimeFallback, true);
    if (uid.isEmpty()) {
        refuse(outcome, {{listResultOf(profileRefusal), profileDetail}, ownerPageRefusal});
        return outcome;
    }

    const WeiboAnswer albums = client.get(albumListRequest(fillAddress(kWeiboAlbumsEndpoint, {uid})));
    if (albums.refusal == WeiboRefusal::None) {
        QList<AlbumRecord> found = weiboAlbumsOf(albums.json, uid);
        if (!found.isEmpty()) {
            for (AlbumRecord &album : found) {
                album.source = &kWeiboSource;
                context.albums.addAlbum(album);
                if (context.albums.stopRequested())
                    break;
            }
            return outcome;
        }
    }
    if (context.albums.stopRequested())
        return outcome;

    // The photo service wants a login (or has nothing): the web API's picture wall.
    PageRequest wallRequest(fillAddress(kWeiboImageWallAlbums, {uid}), QString());
    wallRequest.headers = weiboApiHeaders(uid);
    const WeiboAnswer wall = client.get(wallRequest);
    if (wall.refusal != WeiboRefusal::None) {
        refuse(outcome, {{listResultOf(wall.refusal), wall.detail}, {listResultOf(albums.refusal), albums.detail}});
        return outcome;
    }
    QList<AlbumRecord> found = wallAlbumsOf(wall.json);
    const WallPage firstPage = wallPageOf(wall.json);
    if (!firstPage.items.isEmpty()) {
        AlbumRecord whole;
        whole.name = kWholeWallName;
        whole.url = fillAddress(kWeiboImageWallPage, {uid});
        whole.pictureCount = -1;
        whole.accessFlags = 0;
        found.append(whole);
    }
    for (AlbumRecord &album : found) {
        album.source = &kWeiboWallSource;
        context.albums.addAlbum(album);
        if (context.albums.stopRequested())
            break;
    }
    return outcome;
}

void weiboAlbumPhotos(const AlbumWalk &walk, PictureSink &sink)
{
    const AlbumRecord &album = walk.album;
    const QString uid = walk.owner.uid;
    // Pages of photos the album's count promises; 0 for an unknown count.
    const int pages = promisedPages(album.pictureCount, kPhotosPerPage);
    const QString headers = QString::fromUtf16(kAcceptGzipHeader) + QStringLiteral("\r\nReferer: ")
        + fillAddress(kWeiboPhotosReferer, {uid});
    const QString pictureHeaders = QString::fromUtf16(kWeiboPictureHeaders);

    WeiboClient client(walkPacing(walk));
    bool retried = false;
    bool skipped = false;  // the page before had no photos, even when asked again
    QSet<QString> seen;    // addresses handed over for this album
    QString lastPage;
    for (int page = 1;; ++page) {
        // Empty pages and their pauses would otherwise not notice an abort.
        if (sink.albumClosed())
            return;
        // The random fraction keeps caches out of the way; its line feed is part of it.
        PageRequest request(album.url + QString::number(page) + QStringLiteral("&_rnd=")
                                + randomFraction(),
                            QString());
        if (page > kMaxListPages) {
            sink.listingFailed(request.url, pageLimitReason());
            return;
        }
        request.headers = headers;
        lastPage = request.url;
        const WeiboAnswer answer = client.get(request);
        writePageDump(walk.dataFolder, answer.text);
        if (answer.refusal != WeiboRefusal::None) {
            refuseListing(sink, request.url, answer);
            return;
        }

        // The service now and then answers a page without photos: it is asked once
        // more, then skipped, as long as photos are expected. A second such page in a
        // row ends the album, whatever its count says.
        const std::optional<QList<Picture>> photos = weiboPhotosOf(answer.json, uid, album.name);
        if (!photos) {
            if (page >= pages || (retried && skipped))
                break;
            if (retried) {
                walk.sleep(kEmptyPageSkipMs);
                retried = false;
                skipped = true;
            } else {
                walk.sleep(kEmptyPageRetryMs);
                --page;
                retried = true;
            }
            continue;
        }
        // A page that answered on its second try leaves the next bad page its own retry.
        retried = false;
        skipped = false;

        // A page that brings no photo not seen before is the service repeating itself
        // (it ignores page numbers past the end): paging would never end.
        const bool anyNew = std::any_of(photos->begin(), photos->end(), [&](const Picture &photo) {
            return !seen.contains(photo.address);
        });
        if (!anyNew)
            break;
        for (Picture photo : *photos) {
            seen.insert(photo.address);
            photo.headers = pictureHeaders;
            sink.addPicture(photo);
            if (sink.albumClosed())
                return;
        }
    }
    const QString shortBy = shortOfCountReason(album.pictureCount, int(seen.size()));
    if (!shortBy.isEmpty())
        sink.listingFailed(lastPage, shortBy);
}

void weiboWallPictures(const AlbumWalk &walk, PictureSink &sink)
{
    const QString apiHeaders = weiboApiHeaders(walk.owner.uid);
    const QString pictureHeaders = QString::fromUtf16(kWeiboPictureHeaders);
    WeiboClient client(walkPacing(walk));
    // What was handed over for this album, by picture id (by address where there is
    // none): a picture a post and the wall both name, or the same picture id under
    // another host or extension, is saved once.
    QSet<QString> seen;
    QSet<QString> askedPosts;
    const auto keyOf = [](const Picture &picture) {
        return picture.pictureId.isEmpty() ? picture.address : picture.pictureId;
    };
    // Hands over what was not handed over before; false once the album is closed. A
    // live photo's moving part goes with its still, or not at all.
    const auto handOver = [&](const QList<Picture> &pictures) {
        bool stillHandedOver = false;
        for (Picture picture : pictures) {
            if (picture.kind == MediaKind::LiveMotion && !stillHandedOver)
                continue;
            stillHandedOver = false;
            if (seen.contains(keyOf(picture)))
                continue;
            seen.insert(keyOf(picture));
            if (picture.title.isEmpty())
                picture.title = walk.album.name;
            picture.headers = pictureHeaders;
            sink.addPicture(picture);
            if (sink.albumClosed())
                return false;
            stillHandedOver = picture.kind != MediaKind::LiveMotion;
        }
        return true;
    };
    QString sinceId = QStringLiteral("0");
    for (int pageNumber = 1;; ++pageNumber) {
        if (sink.albumClosed())
            return;
        PageRequest request(walk.album.url + sinceId, QString());
        if (pageNumber > kMaxListPages) {
            sink.listingFailed(request.url, pageLimitReason());
            return;
        }
        request.headers = apiHeaders;
        const WeiboAnswer answer = client.get(request);
        if (answer.refusal != WeiboRefusal::None) {
            refuseListing(sink, request.url, answer);
            return;
        }
        const WallPage page = wallPageOf(answer.json);
        QList<Picture> pictures;
        // Items that need their post: it is asked for once per album, and its media
        // take the item's place. A post the viewer may not see (deleted, or for friends
        // only) is passed over and counted; the page's other pictures and the pages
        // after it still come.
        int unseen = 0;
        for (qsizetype i = 0; i < page.items.size(); ++i) {
            const WallItem &item = page.items.at(i);
            if (!item.askPost) {
                pictures.append(item.picture);
                continue;
            }
            const QString &mid = item.picture.postId;
            if (askedPosts.contains(mid))
                continue;
            askedPosts.insert(mid);
            PageRequest status(fillAddress(kWeiboStatus, {mid}), QString());
            status.headers = apiHeaders;
            const WeiboAnswer shown = client.get(status);
            if (shown.refusal == WeiboRefusal::NotPermitted || shown.refusal == WeiboRefusal::NotFound) {
                sink.postNotVisible(mid);
                ++unseen;
                continue;
            }
            if (shown.refusal != WeiboRefusal::None) {
                // What this page brought is still the album's: the pictures read so
                // far, and those of its later items that name their own.
                for (const WallItem &later : page.items.sliced(i + 1)) {
                    if (!later.askPost)
                        pictures.append(later.picture);
                }
                if (handOver(pictures))
                    refuseListing(sink, status.url, shown);
                return;
            }
            const PostMedia media = postMediaOf(shown.json);
            // statuses/show is the full post, which lists every picture (lists of
            // posts give nine); one that still lists fewer than it counts is worth a
            // look by whoever keeps the program working.
            if (media.morePictures)
                qCWarning(lcEngine, "post %s lists fewer pictures than its pic_num", qPrintable(mid));
            pictures.append(media.pictures);
            if (sink.albumClosed())
                return;
        }
        // A page bringing nothing new is the service repeating itself; one whose only
        // posts were hidden is not.
        const bool anyNew = std::any_of(pictures.begin(), pictures.end(),
                                        [&](const Picture &picture) { return !seen.contains(keyOf(picture)); });
        if (!anyNew && (unseen == 0 || !pictures.isEmpty()))
            return;
        if (!handOver(pictures))
            return;
        if (page.nextSinceId.isEmpty() || page.nextSinceId == sinceId)
            return;
        sinceId = page.nextSinceId;
    }
}

}  // namespace pictrove
