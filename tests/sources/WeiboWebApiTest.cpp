// Weibo as it answers today, on loopback: the photo service wants a login, the web
// API's picture wall lists the owner instead; a login needed everywhere is said as
// such; refusals for asking too fast are waited out.

#include "support/PrintQt.h"
#include "ListerHarness.h"
#include "SinaServices.h"

#include "RecordingPictureSink.h"

#include "net/CookieStore.h"
#include "download/Downloader.h"
#include "sources/AlbumPictures.h"
#include "sources/ListAcquisition.h"
#include "sources/Session.h"
#include "sources/weibo/WeiboSource.h"
#include "support/Fixtures.h"
#include "support/RecordingEvents.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace pictrove {

namespace {

const QString kUid = QStringLiteral("1234567890");

QByteArray fixture(const char *name)
{
    return readFixture(QStringLiteral("sources/") + QString::fromLatin1(name));
}

QString queryValue(const RecordedRequest &request, const QString &key)
{
    return QUrlQuery(QString::fromLatin1(request.query())).queryItemValue(key, QUrl::FullyDecoded);
}

CannedResponse json(const QByteArray &body)
{
    return CannedResponse::ok(body, "application/json;charset=UTF-8").withGzip();
}

class WeiboWebApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        session.setDataFolder(dir.path() + u'/');
        // No pauses between pages here: the pauses are recorded instead.
        writeNoWeiboPauses(session.dataFolder());
        ExtensionSettings quick;
        quick.weiboPageIntervalMs = 0;
        session.setExtensionSettings(quick);
        session.sleep = [this](int ms) {
            std::lock_guard lock(waitsMutex);
            waits.append(ms);
        };
        serveWeibo();
    }
    void TearDown() override { CookieStore::process().clear(); }

    // Weibo with its photo service behind a login page; the web API answers while
    // `loggedIn`, and wants a login otherwise.
    void serveWeibo()
    {
        services.route("photo.weibo.com", "/albums/get_all",
                       CannedResponse::ok(fixture("weibo_login_page.html"), "text/html; charset=utf-8"));
        api("/ajax/profile/info", [](const RecordedRequest &request) {
            const bool known = queryValue(request, "uid") == kUid || queryValue(request, "screen_name") == u"小明Ming"
                || queryValue(request, "custom") == u"xiaoming";
            return known ? json(fixture("weibo_api_profile.json"))
                         : json("{\"ok\":0,\"msg\":\"用户不存在\"}");
        });
        api("/ajax/profile/getImageWall", [](const RecordedRequest &request) {
            return json(fixture(queryValue(request, "sinceid") == u"0" ? "weibo_api_image_wall.json"
                                                                        : "weibo_api_image_wall_2.json"));
        });
        api("/ajax/profile/getAlbumDetail", [](const RecordedRequest &request) {
            return json(fixture(queryValue(request, "since_id") == u"0" ? "weibo_api_album_detail_1.json"
                                                                         : "weibo_api_album_detail_2.json"));
        });
        api("/ajax/statuses/show", [](const RecordedRequest &) { return json(fixture("weibo_api_status.json")); });
    }

    void api(const QByteArray &path, std::function<CannedResponse(const RecordedRequest &)> answer)
    {
        services.route("weibo.com", path, LoopbackServer::Handler([this, answer](const RecordedRequest &request) {
            return loggedIn.load() ? answer(request) : json(fixture("weibo_api_login.json"));
        }));
    }

    void list(const QString &address)
    {
        ASSERT_EQ(startList(session, ListRequest{address, SourceType::Sina}), ListCommand::Started);
        session.waitForThreads();
    }

    void listPictures(int album, RecordingPictureSink &sink, std::function<void(int)> waiting = {})
    {
        AlbumWalk walk;
        walk.waitingForRateLimit = std::move(waiting);
        walk.album = session.albums.at(album);
        walk.owner = session.owner;
        walk.dataFolder = session.dataFolder();
        walk.sleep = session.sleep;
        listAlbumPictures(walk, sink);
    }

    // The seconds of each wait for a refusal the list said, in order.
    QList<int> rateLimitWaits() const
    {
        QList<int> seconds;
        for (const QString &line : events.log()) {
            if (line.startsWith(u"listWaiting "))
                seconds.append(line.section(u' ', 1).toInt());
        }
        return seconds;
    }

    QList<RecordedRequest> requestsTo(const QByteArray &path) const
    {
        QList<RecordedRequest> found;
        for (const RecordedRequest &request : services.requestsTo("weibo.com")) {
            if (request.path() == path)
                found.append(request);
        }
        return found;
    }

    SinaServices services;
    QTemporaryDir dir;
    RecordingEvents events;
    Session session{QString(), events};
    std::atomic<bool> loggedIn{true};
    std::mutex waitsMutex;
    QList<int> waits;
    // Counted by loopback handlers, whose threads may outlive a test's body: a member's
    // memory stays until the servers have joined them; a local's stack would be reused.
    std::atomic<int> refusals{0};
};

TEST_F(WeiboWebApiTest, PictureWallListsTheOwnerWhenThePhotoServiceWantsALogin)
{
    CookieStore::process().addCookie({.domain = ".weibo.com", .name = "XSRF-TOKEN", .value = "tok3n"});
    list(QStringLiteral("https://weibo.com/u/1234567890"));

    EXPECT_EQ(events.listResult(), ListResult::Listed);
    EXPECT_EQ(session.owner.uid, kUid);
    EXPECT_EQ(session.owner.name, QStringLiteral("小明Ming/"));
    const QList<AlbumRecord> albums = session.albums.all();
    ASSERT_EQ(albums.size(), 3);
    EXPECT_EQ(albums.at(1).name, QStringLiteral("头像相册"));
    EXPECT_EQ(albums.at(2).name, QStringLiteral("全部图片"));
    EXPECT_EQ(albums.at(0).pictureCount, -1);
    // An id that came encoded is not encoded again; one that came plain is encoded once.
    EXPECT_TRUE(albums.at(0).url.contains(u"containerid=107803%3A1234567890_-_album_1001&")) << albums.at(0).url.toStdString();
    EXPECT_TRUE(albums.at(1).url.contains(u"containerid=107803%3A1234567890_-_album_1002&")) << albums.at(1).url.toStdString();
    EXPECT_EQ(albums.at(0).coverUrl, QStringLiteral("https://wx1.sinaimg.cn/large/4a1b2c3dgy1hcover01.jpg"));

    // The requests look like the weibo.com pages' own.
    const QList<RecordedRequest> wall = requestsTo("/ajax/profile/getImageWall");
    ASSERT_EQ(wall.size(), 1);
    EXPECT_EQ(wall.at(0).header("X-Requested-With"), "XMLHttpRequest");
    EXPECT_EQ(wall.at(0).header("Accept"), "application/json, text/plain, */*");
    EXPECT_EQ(wall.at(0).header("Referer"), "https://weibo.com/u/1234567890");
    EXPECT_EQ(wall.at(0).header("X-XSRF-TOKEN"), "tok3n");

    // An album, paged by its since id.
    RecordingPictureSink album;
    listPictures(0, album);
    EXPECT_EQ(album.addresses, (QStringList{"https://wx1.sinaimg.cn/large/4a1b2c3dgy1halb001.jpg",
                                            "https://wx1.sinaimg.cn/large/4a1b2c3dgy1halb002.jpg",
                                            "https://wx1.sinaimg.cn/large/4a1b2c3dgy1halb003.jpg"}));
    EXPECT_EQ(album.headerLines.value(0), QStringLiteral("Referer: https://weibo.com/"));
    EXPECT_TRUE(album.failures.isEmpty()) << album.failures.join('\n').toStdString();

    // The whole wall; an item without a picture id is asked for by its status.
    RecordingPictureSink whole;
    listPictures(2, whole);
    EXPECT_EQ(whole.addresses, (QStringList{"https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall01.jpg",
                                            "https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall02.jpg",
                                            "https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall03.jpg",
                                            "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hstat01.jpg",
                                            "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hstat02.jpg"}));
    EXPECT_EQ(whole.titles.value(0), QStringLiteral("全部图片"));
    ASSERT_EQ(requestsTo("/ajax/statuses/show").size(), 1);
    EXPECT_EQ(queryValue(requestsTo("/ajax/statuses/show").at(0), "id"), "4900000000000004");
}

// The login's cookies reach photo.weibo.com in one Cookie header: the ones for every
// Weibo host and the XSRF token weibo.com set for itself alike.
TEST_F(WeiboWebApiTest, EveryCookieTravelsInOneCookieHeader)
{
    CookieStore &store = CookieStore::process();
    store.addCookie({.domain = ".weibo.com", .name = "SUB", .value = "_2A25login"});
    store.addCookie({.domain = ".weibo.com", .name = "SUBP", .value = "0033WrSX"});
    store.addCookie({.domain = "weibo.com", .name = "XSRF-TOKEN", .value = "tok3n", .hostOnly = true});
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    const QList<RecordedRequest> photo = services.requestsTo("photo.weibo.com");
    ASSERT_FALSE(photo.isEmpty());
    for (const RecordedRequest &request : photo) {
        SCOPED_TRACE(request.target.toStdString());
        const QList<QByteArray> cookies = request.headerValues("Cookie");
        ASSERT_EQ(cookies.size(), 1);
        QList<QByteArray> pairs = cookies.at(0).split(';');
        for (QByteArray &pair : pairs)
            pair = pair.trimmed();
        std::sort(pairs.begin(), pairs.end());
        EXPECT_EQ(pairs, (QList<QByteArray>{"SUB=_2A25login", "SUBP=0033WrSX", "XSRF-TOKEN=tok3n"}));
    }
}

TEST_F(WeiboWebApiTest, EveryAddressFormListsTheSameOwner)
{
    for (const char *address :
         {"https://weibo.com/u/1234567890", "https://weibo.com/1234567890", "https://www.weibo.com/1234567890/profile",
          "https://weibo.com/p/1005051234567890", "https://weibo.com/p/1234567890", "https://m.weibo.cn/u/1234567890",
          "https://m.weibo.cn/p/2304131234567890_-_WEIBO_SECOND_PROFILE_WEIBO",
          "https://m.weibo.cn/profile/1234567890", "https://photo.weibo.com/1234567890/albums",
          "https://weibo.com/n/%E5%B0%8F%E6%98%8EMing", "https://weibo.com/xiaoming"}) {
        SCOPED_TRACE(address);
        services.clearLog();
        ListerHarness lister(events);
        lister.dataFolder = session.dataFolder();
        lister.extension = session.extensionSettings();
        lister.sleep = session.sleep;
        lister.run(weiboAlbums, QString::fromLatin1(address));
        EXPECT_EQ(lister.owner.uid, kUid);
        EXPECT_EQ(lister.albums.size(), 3);
        const QList<RecordedRequest> wall = requestsTo("/ajax/profile/getImageWall");
        ASSERT_EQ(wall.size(), 1);
        EXPECT_EQ(queryValue(wall.at(0), "uid"), kUid);
        // A lookup by name or personal address comes from the address the user gave.
        const QList<RecordedRequest> profile = requestsTo("/ajax/profile/info");
        ASSERT_FALSE(profile.isEmpty());
        const bool lookup = queryValue(profile.at(0), "uid").isEmpty();
        EXPECT_EQ(profile.at(0).header("Referer"), lookup ? QByteArray(address) : "https://weibo.com/u/1234567890");
    }
}

TEST_F(WeiboWebApiTest, LoginNeededWhenEveryPathWantsOne)
{
    loggedIn = false;
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    EXPECT_EQ(events.listResult(), ListResult::LoginNeeded);
    EXPECT_TRUE(session.albums.isEmpty());
    // Each path asked once: a login does not come by asking again.
    EXPECT_EQ(services.requestsTo("photo.weibo.com").size(), 1);
    EXPECT_EQ(requestsTo("/ajax/profile/getImageWall").size(), 1);
}

// The same login answer to requests that carried a saved login means that login has
// run out; a post the viewer may not see still asks for a (friend's) login.
TEST_F(WeiboWebApiTest, ALoginAnswerToASavedLoginSaysItHasRunOut)
{
    loggedIn = false;
    ASSERT_TRUE(CookieStore::process().addCookie(
        {.domain = QStringLiteral(".weibo.com"), .name = QStringLiteral("SUB"), .value = QStringLiteral("old-login")}));
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    EXPECT_EQ(events.listResult(), ListResult::LoginExpired);
    EXPECT_TRUE(session.albums.isEmpty());
    const QList<RecordedRequest> wall = requestsTo("/ajax/profile/getImageWall");
    ASSERT_FALSE(wall.isEmpty());
    EXPECT_TRUE(wall.at(0).header("Cookie").contains("SUB=old-login"));
}

TEST_F(WeiboWebApiTest, AnAlbumWhoseListingMeetsARunOutLoginSaysSo)
{
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    ASSERT_FALSE(session.albums.isEmpty());
    loggedIn = false;
    const struct {
        bool loginSaved;
        QString reason;
        ListResult refusal;
    } cases[] = {
        {false, QStringLiteral("login needed"), ListResult::LoginNeeded},
        {true, QStringLiteral("微博登录已失效：请重新登录"), ListResult::LoginExpired},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.loginSaved);
        if (c.loginSaved) {
            ASSERT_TRUE(CookieStore::process().addCookie({.domain = QStringLiteral(".weibo.com"),
                                                          .name = QStringLiteral("SUB"),
                                                          .value = QStringLiteral("old-login")}));
        }
        RecordingPictureSink album;
        listPictures(0, album);
        ASSERT_EQ(album.failures.size(), 1);
        EXPECT_TRUE(album.failures.at(0).contains(c.reason)) << album.failures.at(0).toStdString();
        EXPECT_EQ(album.loginRefusal, c.refusal);
    }
}

// A download: the first album that meets the run-out login says so typed, and the
// albums after it are not asked again.
TEST_F(WeiboWebApiTest, ADownloadStopsAskingOnceTheSavedLoginHasRunOut)
{
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    ASSERT_GE(session.albums.size(), 2);
    loggedIn = false;
    ASSERT_TRUE(CookieStore::process().addCookie(
        {.domain = QStringLiteral(".weibo.com"), .name = QStringLiteral("SUB"), .value = QStringLiteral("old-login")}));
    services.clearLog();
    QList<int> all;
    for (int i = 0; i < session.albums.size(); ++i)
        all.append(i);
    Downloader downloader(session, events);
    ASSERT_EQ(downloader.start(downloadRequestFor(SettingsBlock(), SourceType::Sina, dir.path(), all)),
              DownloadCommand::Started);
    session.waitForThreads();

    const QStringList refused = events.log().filter(QStringLiteral("albumIncomplete "));
    ASSERT_EQ(refused.size(), session.albums.size()) << events.log().join(u'\n').toStdString();
    for (const QString &line : refused)
        EXPECT_TRUE(line.endsWith(QStringLiteral("[LoginExpired]"))) << line.toStdString();
    EXPECT_EQ(events.downloadCounts().loginRefusal, ListResult::LoginExpired);
    EXPECT_EQ(services.requestsTo("weibo.com").size(), 1);
}

TEST_F(WeiboWebApiTest, AnOwnerWeiboDoesNotKnowIsSaidToBeUnknown)
{
    list(QStringLiteral("https://weibo.com/n/nobody"));
    EXPECT_EQ(events.listResult(), ListResult::OwnerNotFound);
    EXPECT_TRUE(requestsTo("/ajax/profile/getImageWall").isEmpty());
}

TEST_F(WeiboWebApiTest, RefusalsForSpeedAreWaitedOut)
{
    services.route("weibo.com", "/ajax/profile/getImageWall", LoopbackServer::Handler([&](const RecordedRequest &) {
        return refusals.fetch_add(1) < 2 ? CannedResponse::error(432) : json(fixture("weibo_api_image_wall.json"));
    }));
    list(QStringLiteral("https://weibo.com/u/1234567890"));

    EXPECT_EQ(events.listResult(), ListResult::Listed);
    EXPECT_EQ(session.albums.size(), 3);
    EXPECT_EQ(waits, (QList<int>{2000, 4000}));
    EXPECT_TRUE(events.log().contains(QStringLiteral("listWaiting 2")));
    EXPECT_TRUE(events.log().contains(QStringLiteral("listWaiting 4")));

    // One that never clears ends the list, saying so, after a bounded wait: a minute
    // of waits in all (the pauses between pages are the slower pace the refusals
    // above brought, and come on top).
    refusals = -1000;
    waits.clear();
    events.clear();
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    EXPECT_EQ(events.listResult(), ListResult::RateLimited);
    EXPECT_EQ(rateLimitWaits(), (QList<int>{2, 4, 8, 16, 30}));
    EXPECT_EQ(waits.mid(waits.size() - 5), (QList<int>{2000, 4000, 8000, 16000, 30000}));
}

// A session that every request finds blocked gives up within about a minute in all,
// not per request: the user hears of the first wait at once, the list ends refused,
// and the next listing in the session gives up at once.
TEST_F(WeiboWebApiTest, ABlockedSessionGivesUpWithinAMinuteInAll)
{
    for (const char *host : {"weibo.com", "photo.weibo.com"}) {
        services.route(host, "/", LoopbackServer::Handler([&](const RecordedRequest &) {
            ++refusals;
            return CannedResponse::error(432);
        }));
    }
    for (const char *path : {"/ajax/profile/info", "/ajax/profile/getImageWall", "/ajax/statuses/show"})
        services.route("weibo.com", path, CannedResponse::error(432));
    services.route("photo.weibo.com", "/albums/get_all", CannedResponse::error(432));

    list(QStringLiteral("https://weibo.com/u/1234567890"));
    EXPECT_EQ(events.listResult(), ListResult::RateLimited);
    const QStringList log = events.log();
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log.at(0), QStringLiteral("listStarted"));
    EXPECT_EQ(log.at(1), QStringLiteral("listWaiting 2"));
    EXPECT_EQ(rateLimitWaits(), (QList<int>{2, 4, 8, 16, 30}));

    // The same session's next listing: refused at once, no wait, said as refused.
    waits.clear();
    QList<int> said;
    AlbumWalk walk;
    walk.album.name = QStringLiteral("全部图片");
    walk.album.url = QStringLiteral("https://weibo.com/ajax/profile/getImageWall?uid=1234567890&sinceid=");
    walk.owner.uid = kUid;
    walk.sleep = session.sleep;
    walk.spacing = session.requestSpacing;
    walk.waitingForRateLimit = [&](int seconds) { said.append(seconds); };
    RecordingPictureSink sink;
    weiboWallPictures(walk, sink);
    EXPECT_TRUE(said.isEmpty());
    ASSERT_EQ(sink.failures.size(), 1);
    EXPECT_TRUE(sink.failures.at(0).contains(u"asked too fast (HTTP 432)")) << sink.failures.at(0).toStdString();
    // A blocked session asks without a pause: the request is refused at once.
    EXPECT_TRUE(waits.isEmpty());
}

// An album's listing during a download waits out refusals for speed too, and says so.
TEST_F(WeiboWebApiTest, AnAlbumsListingWaitsOutRefusalsAndSaysSo)
{
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    ASSERT_EQ(events.listResult(), ListResult::Listed);
    services.route("weibo.com", "/ajax/profile/getAlbumDetail", LoopbackServer::Handler([&](const RecordedRequest &request) {
        if (refusals.fetch_add(1) < 2)
            return CannedResponse::error(418);
        return json(fixture(queryValue(request, "since_id") == u"0" ? "weibo_api_album_detail_1.json"
                                                                     : "weibo_api_album_detail_2.json"));
    }));
    waits.clear();
    QList<int> said;
    RecordingPictureSink sink;
    listPictures(0, sink, [&](int seconds) { said.append(seconds); });
    EXPECT_EQ(said, (QList<int>{2, 4}));
    // The waits, then the next page at the pace the two refusals slowed to.
    ASSERT_EQ(waits.size(), 3);
    EXPECT_EQ(waits.mid(0, 2), (QList<int>{2000, 4000}));
    EXPECT_GT(waits.at(2), 1000);
    EXPECT_LE(waits.at(2), 2000);
    EXPECT_GT(sink.count(), 0);
    EXPECT_TRUE(sink.failures.isEmpty());
}

// A post the viewer may not see (deleted, or for friends only) in the middle of the
// wall is passed over and counted, in either shape of the refusal: the rest of its page
// and the pages after it still arrive, and the listing is not broken off.
TEST_F(WeiboWebApiTest, PostsTheViewerMayNotSeeArePassedOverAndCounted)
{
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    ASSERT_EQ(events.listResult(), ListResult::Listed);
    const struct {
        const char *what;
        QByteArray hidden;
    } cases[] = {
        {"today's shape", fixture("weibo_api_status_hidden.json")},
        {"older shape", QByteArray(R"({"ok":0,"msg":"微博不存在或暂无查看权限!"})")},
        {"a code alone", QByteArray(R"({"ok":0,"error_code":20112})")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        api("/ajax/profile/getImageWall", [](const RecordedRequest &request) {
            return json(fixture(queryValue(request, "sinceid") == u"0" ? "weibo_api_image_wall_hidden.json"
                                                                        : "weibo_api_image_wall_2.json"));
        });
        api("/ajax/statuses/show", [hidden = c.hidden](const RecordedRequest &request) {
            return queryValue(request, "id") == u"4900000000000009" ? json(hidden) : json(fixture("weibo_api_status.json"));
        });
        RecordingPictureSink whole;
        listPictures(2, whole);
        EXPECT_EQ(whole.addresses, (QStringList{"https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall01.jpg",
                                                "https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall02.jpg",
                                                "https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall03.jpg",
                                                "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hstat01.jpg",
                                                "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hstat02.jpg"}));
        EXPECT_EQ(whole.unseenPosts, QStringList{"4900000000000009"});
        EXPECT_TRUE(whole.failures.isEmpty()) << whole.failures.join('\n').toStdString();
    }

    // A page whose only post is hidden is no end of the wall.
    api("/ajax/profile/getImageWall", [](const RecordedRequest &request) {
        if (queryValue(request, "sinceid") == u"0")
            return json(R"({"ok":1,"data":{"since_id":"2","list":[{"mid":"4900000000000009","type":"pic"}]}})");
        return json(fixture("weibo_api_image_wall_2.json"));
    });
    RecordingPictureSink onlyHidden;
    listPictures(2, onlyHidden);
    EXPECT_EQ(onlyHidden.count(), 3);
    EXPECT_EQ(onlyHidden.unseenPosts.size(), 1);

    // Any other refusal of a status still breaks the listing off, after the page's
    // pictures read so far.
    api("/ajax/profile/getImageWall", [](const RecordedRequest &) { return json(fixture("weibo_api_image_wall_hidden.json")); });
    api("/ajax/statuses/show", [](const RecordedRequest &) { return CannedResponse::error(404); });
    RecordingPictureSink broken;
    listPictures(2, broken);
    EXPECT_EQ(broken.addresses, (QStringList{"https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall01.jpg",
                                             "https://wx1.sinaimg.cn/large/4a1b2c3dgy1hwall02.jpg"}));
    EXPECT_EQ(broken.failures.size(), 1);
}

// A wall of every kind of post: each picture, live photo (still, then its moving part),
// GIF and video arrives in the wall's order and the posts' own, each once however many
// items and posts name it, and every post is asked for once. A 12-picture post gives
// all twelve.
TEST_F(WeiboWebApiTest, EveryMediumOfEveryPostArrivesOnceInOrder)
{
    list(QStringLiteral("https://weibo.com/u/1234567890"));
    ASSERT_EQ(events.listResult(), ListResult::Listed);
    api("/ajax/profile/getImageWall",
        [](const RecordedRequest &) { return json(fixture("weibo_api_image_wall_media.json")); });
    api("/ajax/statuses/show", [](const RecordedRequest &request) {
        const QString id = queryValue(request, "id");
        const char *name = id == u"4900000000000011" ? "weibo_api_status_live.json"
            : id == u"4900000000000012"              ? "weibo_api_status_video.json"
            : id == u"4900000000000013"              ? "weibo_api_status_mixed.json"
            : id == u"4900000000000014"              ? "weibo_api_status_12.json"
                                                     : "weibo_api_status_hidden.json";
        return json(fixture(name));
    });
    RecordingPictureSink sink;
    listPictures(2, sink);
    EXPECT_TRUE(sink.failures.isEmpty()) << sink.failures.join('\n').toStdString();

    QStringList ids;
    QStringList kinds;
    for (const Picture &picture : std::as_const(sink.pictures)) {
        ids.append(picture.pictureId);
        kinds.append(QString::number(int(picture.kind)));
    }
    QStringList expected{"4a1b2c3dgy1hwall01", "4a1b2c3dgy1hlive01", "4a1b2c3dgy1hlive01.mov",
                         "4a1b2c3dgy1hgif001", "4a1b2c3dgy1hpic001", "4900000000000099",
                         "4a1b2c3dgy1hmix001", "4900000000000098", "4a1b2c3dgy1hmix002",
                         "4a1b2c3dgy1hmix002.mov"};
    for (int n = 1; n <= 12; ++n)
        expected.append(QStringLiteral("4a1b2c3dgy1hdoz%1").arg(n, 3, 10, QLatin1Char('0')));
    EXPECT_EQ(ids, expected);
    QStringList expectedKinds{"0", "0", "2", "1", "0", "3", "0", "3", "0", "2"};
    for (int n = 1; n <= 12; ++n)
        expectedKinds.append(QStringLiteral("0"));
    EXPECT_EQ(kinds, expectedKinds);

    // The wall's own item knows its post but not its time; the post's pictures know both.
    EXPECT_EQ(sink.pictures.at(0).postId, QStringLiteral("4900000000000001"));
    EXPECT_EQ(sink.pictures.at(0).title, QStringLiteral("全部图片"));
    EXPECT_EQ(sink.pictures.at(1).postTime, 1709613296);
    EXPECT_EQ(sink.pictures.at(5).title, QStringLiteral("一段视频"));
    // Videos and moving parts need the Referer of the site, as pictures do.
    for (const QString &headers : std::as_const(sink.headerLines))
        EXPECT_EQ(headers, QStringLiteral("Referer: https://weibo.com/"));
    QStringList asked;
    for (const RecordedRequest &request : requestsTo("/ajax/statuses/show"))
        asked.append(queryValue(request, "id"));
    EXPECT_EQ(asked, (QStringList{"4900000000000011", "4900000000000012", "4900000000000013", "4900000000000014"}));
}

// Captions read as JSON: an escaped quote or fields in another order change nothing.
TEST_F(WeiboWebApiTest, PhotoCaptionsSurviveEscapesAndReorderedFields)
{
    services.route("photo.weibo.com", "/photos/get_all", LoopbackServer::Handler([](const RecordedRequest &request) {
        if (!request.target.contains("&page=1&"))
            return json("{\"result\":true,\"data\":{\"photo_list\":[]}}");
        return json(R"({"data":{"photo_list":[{"pic_type":1,"caption":"he said \"hi\", then \u79bb\u5f00",)"
                    R"("original_pic":"https:\/\/wx2.sinaimg.cn\/large\/q1.jpg","album_id":"1"}],"total":1},"result":true})");
    }));
    AlbumWalk walk;
    walk.owner.uid = kUid;
    walk.album.name = QStringLiteral("相册");
    walk.album.pictureCount = 1;
    walk.album.url = QStringLiteral("https://photo.weibo.com/photos/get_all?uid=1234567890&album_id=1&count=32&type=3&page=");
    walk.dataFolder = session.dataFolder();
    walk.sleep = session.sleep;
    RecordingPictureSink sink;
    weiboAlbumPhotos(walk, sink);
    EXPECT_EQ(sink.addresses, QStringList{"https://wx2.sinaimg.cn/large/q1.jpg"});
    EXPECT_EQ(sink.titles, QStringList{"he said \"hi\", then 离开"});
}

}  // namespace

}  // namespace pictrove
