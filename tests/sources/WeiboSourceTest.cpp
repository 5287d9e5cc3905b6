// The Weibo fetchers against weibo.com and the photo service on loopback.

#include "support/PrintQt.h"
#include "SinaServices.h"

#include "RecordingPictureSink.h"

#include "net/CookieStore.h"
#include "net/PageResponse.h"
#include "sources/AlbumPictures.h"
#include "sources/ServiceAddresses.h"
#include "ListerHarness.h"
#include "sources/SourceFetch.h"
#include "sources/weibo/WeiboSource.h"
#include "support/Fixtures.h"
#include "support/RecordingEvents.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

namespace pictrove {

namespace {

const QString kUid = QStringLiteral("1234567890");
const QString kAlbumId = QStringLiteral("3555502164890927");

QByteArray fixture(const char *name)
{
    return readFixture(QStringLiteral("sources/") + QString::fromLatin1(name));
}

class WeiboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        lister.dataFolder = dir.path() + u'/';
        ExtensionSettings quick;
        quick.weiboPageIntervalMs = 0;
        lister.extension = quick;
    }
    void TearDown() override { CookieStore::process().clear(); }

    void serveAlbums() { services.routeFixture("photo.weibo.com", "/albums/get_all", QStringLiteral("weibo_albums.json"), "application/json"); }

    // A Weibo album of `count` photos as the list leaves it, as the download walks it.
    AlbumWalk walkOf(int count)
    {
        AlbumWalk walk;
        walk.owner.uid = kUid;
        walk.album.name = QStringLiteral("微博配图");
        walk.album.pictureCount = count;
        walk.album.url = fillAddress(kWeiboPhotosEndpoint, {kUid, kAlbumId, QStringLiteral("3")});
        walk.dataFolder = lister.dataFolder;
        walk.sleep = [this](int ms) { waits.append(ms); };
        return walk;
    }

    QList<int> photoPagesAsked() const
    {
        QList<int> pages;
        for (const QByteArray &target : services.targetsOf("photo.weibo.com"))
            pages.append(pageOf(target));
        return pages;
    }

    SinaServices services;
    QTemporaryDir dir;
    RecordingEvents events;
    ListerHarness lister{events};
    QList<int> waits;  // the fetcher's pauses, in ms, instead of sleeping
};

TEST_F(WeiboTest, OwnerIdAndNickInEachPageForm)
{
    const struct {
        const char *fixture;
        QString uid;
        QString name;
    } cases[] = {
        {"weibo_owner_spaced.html", QStringLiteral("1234567890"), QStringLiteral("小明Ming")},
        {"weibo_owner_compact.html", QStringLiteral("2233445566"), QStringLiteral("小红")},
        {"weibo_owner_json.html", QStringLiteral("3344556677"), QStringLiteral("小蓝")},
    };
    serveAlbums();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fixture);
        services.routeFixture("weibo.com", "/u/owner", QString::fromLatin1(c.fixture));
        lister.run(weiboAlbums, QStringLiteral("https://weibo.com/u/owner"));
        EXPECT_EQ(lister.owner.uid, c.uid);
        EXPECT_EQ(lister.owner.name, c.name);
        EXPECT_EQ(services.targetsOf("photo.weibo.com").last(),
                  QByteArray("/albums/get_all?uid=") + c.uid.toLatin1() + "&count=65535");
    }
}

TEST_F(WeiboTest, AlbumsBecomeRecords)
{
    serveAlbums();
    services.routeFixture("weibo.com", "/u/1234567890", QStringLiteral("weibo_owner_spaced.html"));
    lister.run(weiboAlbums, QStringLiteral("https://weibo.com/u/1234567890"));

    const QString photos = QStringLiteral("https://photo.weibo.com/photos/get_all?uid=1234567890&album_id=");
    const struct {
        QString name;
        int count;
        QString url;
        QString cover;
    } expected[] = {
        {QStringLiteral("微博配图"), 33, photos + QStringLiteral("3555502164890927&count=32&type=3&page="),
         QStringLiteral("http://ww1.sinaimg.cn/thumb300/4a1b2c3djw1e0.jpg")},
        {QStringLiteral("头像相册"), 1, photos + QStringLiteral("3555502164890928&count=32&type=18&page="),
         QStringLiteral("http://ww2.sinaimg.cn/thumb300/4a1b2c3djw1e1.jpg")},
        {QStringLiteral("空相册"), 0, photos + QStringLiteral("3555502164890929&count=32&type=1&page="), QString()},
    };
    const QList<AlbumRecord> albums = lister.albums.all();
    ASSERT_EQ(albums.size(), std::size(expected));
    for (qsizetype i = 0; i < albums.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(albums.at(i).name, expected[i].name);
        EXPECT_EQ(albums.at(i).pictureCount, expected[i].count);
        EXPECT_EQ(albums.at(i).url, expected[i].url);
        EXPECT_EQ(albums.at(i).coverUrl, expected[i].cover);
        EXPECT_EQ(albums.at(i).accessFlags, 0);
    }
    EXPECT_EQ(events.addedRows(), (QList<int>{0, 1, 2}));
}

// The id in the address is the owner's: a page may show the logged-in viewer instead,
// so its id is never taken over, and its nick only when the ids agree.
TEST_F(WeiboTest, AnIdInTheAddressIsTheOwnersWhateverThePageShows)
{
    serveAlbums();
    for (const char *page : {"weibo_owner_noid.html", "weibo_owner_compact.html"}) {
        SCOPED_TRACE(page);
        lister.albums.clear();
        services.routeFixture("weibo.com", "/u/1234567890", QString::fromLatin1(page));
        lister.run(weiboAlbums, QStringLiteral("https://weibo.com/u/1234567890"));
        EXPECT_EQ(lister.owner.uid, kUid);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}$")).match(lister.owner.name).hasMatch())
            << lister.owner.name.toStdString();
        EXPECT_EQ(lister.albums.size(), 3);
        EXPECT_EQ(services.targetsOf("photo.weibo.com").last(), "/albums/get_all?uid=1234567890&count=65535");
    }
}

TEST_F(WeiboTest, StopRequestEndsAfterCurrentAlbum)
{
    services.routeFixture("weibo.com", "/u/1234567890", QStringLiteral("weibo_owner_spaced.html"));
    services.route("photo.weibo.com", "/albums/get_all", LoopbackServer::Handler([this](const RecordedRequest &) {
        lister.stop = true;
        return CannedResponse::ok(fixture("weibo_albums.json"), "application/json");
    }));
    lister.stop = false;
    lister.run(weiboAlbums, QStringLiteral("https://weibo.com/u/1234567890"));
    EXPECT_EQ(lister.albums.size(), 1);
}

TEST_F(WeiboTest, LoginCookiesGoOnlyWhereTheyBelong)
{
    CookieFields login;
    login.domain = QStringLiteral("weibo.com");
    login.name = QStringLiteral("SUB");
    login.value = QStringLiteral("secret");
    login.secure = true;
    CookieFields language;
    language.domain = QStringLiteral("weibo.com");
    language.name = QStringLiteral("LANG");
    language.value = QStringLiteral("zh");
    ASSERT_TRUE(CookieStore::process().addCookie(login));
    ASSERT_TRUE(CookieStore::process().addCookie(language));
    serveAlbums();

    const struct {
        QString address;
        QByteArray host;
        QByteArray path;
        bool language;
        bool login;
    } cases[] = {
        {QStringLiteral("https://weibo.com/u/1"), "weibo.com", "/u/1", true, true},
        // Plain http: never the Secure login cookie.
        {QStringLiteral("http://weibo.com/u/2"), "weibo.com", "/u/2", true, false},
        // Another site that merely mentions weibo.com gets none of them.
        {QStringLiteral("https://example.test/u/3?from=weibo.com"), "example.test", "/u/3", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        services.routeFixture(c.host, c.path, QStringLiteral("weibo_owner_spaced.html"));
        lister.run(weiboAlbums, c.address);
        QList<RecordedRequest> asked;
        for (const RecordedRequest &request : services.requestsTo(c.host)) {
            if (request.path() == c.path)
                asked.append(request);
        }
        ASSERT_EQ(asked.size(), 1);
        const QByteArray cookies = asked.at(0).headerValues("Cookie").join("; ");
        EXPECT_EQ(cookies.contains("LANG=zh"), c.language) << cookies.toStdString();
        EXPECT_EQ(cookies.contains("SUB=secret"), c.login) << cookies.toStdString();
    }
    // The album list on https carries the login explicitly as well.
    for (const RecordedRequest &request : services.requestsTo("photo.weibo.com")) {
        bool explicitLogin = false;
        for (const QByteArray &value : request.headerValues("Cookie"))
            explicitLogin = explicitLogin || (value.contains("SUB=secret") && value.contains("LANG=zh"));
        EXPECT_TRUE(explicitLogin);
    }
}

// Paging follows the album's count while pages bring photos, and ends at the first page
// that brings none (asked twice, and one such page skipped) whatever the count says. A
// count far above what was listed leaves the album incomplete; one a little off does not.
TEST_F(WeiboTest, PhotoPagesFollowCountAndRetryEmptyPages)
{
    const QByteArray p32 = fixture("weibo_photos_32.json");
    const QByteArray p1 = fixture("weibo_photos_1.json");
    const QByteArray empty = fixture("weibo_photos_empty.json");
    // Full pages further into an album: other photos than the first page's.
    const auto later = [&p32](int page) {
        return QByteArray(p32).replace("abcd00", "page" + QByteArray::number(page) + "_");
    };
    const struct {
        const char *name;
        int count;
        QHash<int, QList<QByteArray>> script;  // answers per page; others empty
        QList<int> pages;
        int pictures;
        QList<int> waits;
        QString incomplete;  // the reason the album is incomplete, if it is
    } cases[] = {
        {"33 photos: two pages, then the empty third ends it", 33, {{1, {p32}}, {2, {p1}}}, {1, 2, 3}, 33, {}, {}},
        {"32 photos: one page; a page with photos is always followed", 32, {{1, {p32}}}, {1, 2}, 32, {}, {}},
        {"unknown count", -1, {{1, {p1}}}, {1, 2}, 1, {}, {}},
        {"a count a little off", 40, {{1, {p32}}, {2, {p1}}}, {1, 2, 3}, 33, {}, {}},
        {"an empty page is asked again after 3 s, then skipped after 1.5 s", 65,
         {{1, {p32}}, {2, {empty, empty}}, {3, {p1}}}, {1, 2, 2, 3, 4}, 33, {3000, 1500},
         QStringLiteral("相册标明 65 张，只列出 33 张")},
        {"every bad page gets its own retry", 97,
         {{1, {p32}}, {2, {empty, later(2)}}, {3, {empty, later(3)}}, {4, {p1}}}, {1, 2, 2, 3, 3, 4, 5}, 97,
         {3000, 3000}, {}},
        {"nothing at all", 33, {}, {1, 1, 2}, 0, {3000, 1500}, QStringLiteral("相册标明 33 张，只列出 0 张")},
        {"a count far above the photos: two empty pages in a row end it", 200, {{1, {p32}}, {2, {p1}}},
         {1, 2, 3, 3, 4, 4}, 33, {3000, 1500, 3000}, QStringLiteral("相册标明 200 张，只列出 33 张")},
        // count.photos of 1e12 reads as the largest count there is.
        {"a count no album has", INT32_MAX, {{1, {p32}}}, {1, 2, 2, 3, 3}, 32, {3000, 1500, 3000},
         QStringLiteral("相册标明 2147483647 张，只列出 32 张")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        waits.clear();
        RecordingPictureSink sink;
        // Closes the album only so that paging that would never end still ends the test.
        const LoopbackServer::Handler pages = photoPages(c.script, empty);
        auto asked = std::make_shared<std::atomic<int>>(0);
        services.route("photo.weibo.com", "/photos/get_all",
                       LoopbackServer::Handler([&sink, pages, asked](const RecordedRequest &request) {
                           if (++*asked >= 50)
                               sink.close();
                           return pages(request);
                       }));
        const qsizetype before = services.requestsTo("photo.weibo.com").size();

        weiboAlbumPhotos(walkOf(c.count), sink);

        EXPECT_EQ(photoPagesAsked().mid(before), c.pages);
        EXPECT_EQ(sink.count(), c.pictures);
        EXPECT_EQ(waits, c.waits);
        EXPECT_EQ(sink.failures.size(), c.incomplete.isEmpty() ? 0 : 1);
        if (!c.incomplete.isEmpty() && !sink.failures.isEmpty()) {
            EXPECT_EQ(sink.failures.at(0).section(u' ', 1), c.incomplete);
        }
    }
}

TEST_F(WeiboTest, PagingEndsWhenTheServiceRepeatsAPage)
{
    // A service that ignores the page number answers the first page forever.
    services.route("photo.weibo.com", "/photos/get_all", CannedResponse::ok(fixture("weibo_photos_32.json")));
    RecordingPictureSink sink;

    weiboAlbumPhotos(walkOf(97), sink);

    EXPECT_EQ(photoPagesAsked(), (QList<int>{1, 2}));
    EXPECT_EQ(sink.count(), 32);
    ASSERT_EQ(sink.failures.size(), 1);
    EXPECT_EQ(sink.failures.at(0).section(u' ', 1), QStringLiteral("相册标明 97 张，只列出 32 张"));
}

// A photo page larger than any page is, cut at kMaxPageBytes as it arrives or as it is
// inflated, is never read as if it were whole: the album is incomplete at once.
TEST_F(WeiboTest, APagePastThePageLimitLeavesTheAlbumIncomplete)
{
    // Blanks after the JSON: what is left after the cut still reads as a whole page.
    const QByteArray page = fixture("weibo_photos_32.json") + QByteArray(kMaxPageBytes, ' ');
    const struct {
        const char *what;
        CannedResponse answer;
    } cases[] = {
        {"inflating past the limit", CannedResponse::ok(gzipBytes(page), "application/json").withHeader("Content-Encoding", "gzip")},
        {"arriving past the limit", CannedResponse::ok(page, "application/json")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        services.clearLog();
        services.route("photo.weibo.com", "/photos/get_all", c.answer);
        RecordingPictureSink sink;

        weiboAlbumPhotos(walkOf(33), sink);

        // The same page would come again: it is asked once.
        EXPECT_EQ(photoPagesAsked(), QList<int>{1});
        EXPECT_EQ(sink.count(), 0);
        ASSERT_EQ(sink.failures.size(), 1);
        EXPECT_EQ(sink.failures.at(0).section(u' ', 1), QStringLiteral("页面过大"));
    }
}

TEST_F(WeiboTest, PhotosHandedOverWithCaptionsAndBuiltAddresses)
{
    services.route("photo.weibo.com", "/photos/get_all",
                   photoPages({{1, {fixture("weibo_photos_32.json")}}}, fixture("weibo_photos_empty.json")));
    RecordingPictureSink sink;

    weiboAlbumPhotos(walkOf(32), sink);

    ASSERT_EQ(sink.count(), 32);
    // Piece 1 (the page's own album id) is no photo: the first photo is photo 1.
    EXPECT_EQ(sink.addresses.at(0), QStringLiteral("http://ww2.sinaimg.cn/large/abcd0001.jpg"));
    // No original address: type 1 is a large picture, type 0 sits under the owner's id.
    EXPECT_EQ(sink.addresses.at(2), QStringLiteral("http://ww4.sinaimg.cn/large/abcd0003.jpg"));
    EXPECT_EQ(sink.addresses.at(3), QStringLiteral("http://ww1.sinaimg.cn1234567890/180/abcd0004.jpg"));
    EXPECT_EQ(sink.addresses.at(31), QStringLiteral("http://ww1.sinaimg.cn/large/abcd0032.jpg"));
    // "\u4e2d<b>\u6587</b> caption": escapes decoded, tags stripped; an empty caption
    // falls back to the album name.
    EXPECT_EQ(sink.titles.at(0), QStringLiteral("中文 caption"));
    EXPECT_EQ(sink.titles.at(1), QStringLiteral("微博配图"));
    EXPECT_EQ(sink.headerLines, QStringList(32, QStringLiteral("Referer: https://weibo.com/")));

    const QList<RecordedRequest> asked = services.requestsTo("photo.weibo.com");
    ASSERT_EQ(asked.size(), 2);
    for (const RecordedRequest &request : asked) {
        EXPECT_EQ(request.header("Referer"), QByteArray("https://photo.weibo.com/1234567890/talbum/index?from=profile_wb"));
        EXPECT_EQ(request.header("Accept-Encoding"), QByteArray("gzip, deflate"));
        EXPECT_TRUE(request.target.startsWith("/photos/get_all?uid=1234567890&album_id=3555502164890927&count=32&type=3&page="));
        // The random fraction keeps its line feed.
        EXPECT_TRUE(QRegularExpression(QStringLiteral("&_rnd=0\\.\\d{16}%0A$"))
                        .match(QString::fromLatin1(request.target)).hasMatch()) << request.target.toStdString();
    }

    // The last page is left in the data folder as UTF-16LE with a byte-order mark.
    QFile dump(lister.dataFolder + QStringLiteral("sinawb.tmp"));
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    const QByteArray bytes = dump.readAll();
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    EXPECT_EQ(text, QString::fromUtf8(fixture("weibo_photos_empty.json")));
}

TEST_F(WeiboTest, AbortStopsThePaging)
{
    RecordingPictureSink sink;
    services.route("photo.weibo.com", "/photos/get_all", LoopbackServer::Handler([&sink](const RecordedRequest &) {
        sink.close();
        return CannedResponse::ok(fixture("weibo_photos_32.json"), "application/json");
    }));
    weiboAlbumPhotos(walkOf(33), sink);
    EXPECT_EQ(photoPagesAsked(), QList<int>{1});
    EXPECT_EQ(sink.count(), 0);
    // The sink is asked after every picture: at most one more is handed over.
    EXPECT_LE(sink.afterClose, 1);
}

}  // namespace

}  // namespace pictrove
