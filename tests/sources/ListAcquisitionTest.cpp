// Get List from the request to the filled album list: the command's state handling,
// the address checks that end a list before any page is fetched, and whole lists
// against the Sina blog and Weibo hosts on loopback.

#include "support/PrintQt.h"
#include "SinaServices.h"

#include "net/PageResponse.h"
#include "sources/ListAcquisition.h"
#include "sources/Session.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "sources/weibo/WeiboSource.h"
#include "support/Fixtures.h"
#include "support/RecordingEvents.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <atomic>

namespace pictrove {

namespace {

ListRequest requestFor(const QString &address)
{
    return ListRequest{address, SourceType::Sina};
}

class ListAcquisitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        session.setDataFolder(dir.path() + u'/');
        writeNoWeiboPauses(session.dataFolder());
    }

    // Runs a list to its end, as pressing "Get List" once does.
    void list(Session &target, const QString &address)
    {
        ASSERT_EQ(startList(target, requestFor(address)), ListCommand::Started);
        target.waitForThreads();
    }

    QTemporaryDir dir;
    RecordingEvents events;
    Session session{QString(), events};
};

TEST_F(ListAcquisitionTest, PressingWhileRunningRequestsStop)
{
    AlbumRecord shown;
    shown.name = QStringLiteral("shown");
    session.albums.appendUnique(shown);
    for (const ListState running : {ListState::Running, ListState::StopRequested}) {
        session.listState = running;
        EXPECT_EQ(startList(session, requestFor(QStringLiteral("http://blog.sina.com.cn/u/1"))),
                  ListCommand::StopRequested);
        EXPECT_EQ(session.listState.load(), ListState::StopRequested);
    }
    session.waitForThreads();
    // The running list keeps its albums and is the only one to report.
    EXPECT_EQ(session.albums.size(), 1);
    EXPECT_TRUE(events.log().isEmpty()) << events.log().join(u'|').toStdString();
}

TEST_F(ListAcquisitionTest, EmptyAddressOnlyComplains)
{
    session.sourceType = SourceType::Yupoo;
    list(session, QStringLiteral(" \t "));

    // The list never started: listFinished alone.
    EXPECT_EQ(events.log(), QStringList{QStringLiteral("listFinished NoAddress 0")});
    EXPECT_EQ(session.listState.load(), ListState::Idle);
    EXPECT_EQ(session.listedBy.load(), nullptr);
    EXPECT_EQ(session.sourceType.load(), SourceType::Sina);
}

TEST_F(ListAcquisitionTest, NonWebAddressShowsNoAlbums)
{
    // The second is cut short by its NUL on the way to the HTTP library: it must not
    // list an owner other than the one shown.
    for (const QString &address : {QStringLiteral("weibo.com/u/1234"),
                                   QStringLiteral("http://weibo.com/u/1234") + QChar(0) + QStringLiteral("5678")}) {
        SCOPED_TRACE(address.toStdString());
        events.clear();
        list(session, address);

        EXPECT_EQ(events.listResult(), ListResult::NotWebAddress);
        EXPECT_EQ(events.log(), (QStringList{"listStarted", "listFinished NotWebAddress 0"}));
        EXPECT_EQ(session.listState.load(), ListState::Idle);
        EXPECT_TRUE(events.remembered().isEmpty());
        EXPECT_TRUE(session.settings().ownerHistory[0].isEmpty());
    }
}

class GetListTest : public ListAcquisitionTest {
protected:
    void SetUp() override
    {
        ListAcquisitionTest::SetUp();
        services.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
        services.routeFixture("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                              QStringLiteral("sina_categories.json"), "application/json");
        services.routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_1.html",
                              QStringLiteral("sina_articlelist_1.html"));
        services.routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_2.html",
                              QStringLiteral("sina_articlelist_2.html"));
        services.routeFixture("weibo.com", "/u/1234567890", QStringLiteral("weibo_owner_spaced.html"));
        services.routeFixture("weibo.com", "/u/nobody", QStringLiteral("weibo_owner_noid.html"));
        services.routeFixture("photo.weibo.com", "/albums/get_all", QStringLiteral("weibo_albums.json"),
                              "application/json");
    }

    SinaServices services;
};

TEST_F(GetListTest, ListsAlbumsOfEachKindOfOwner)
{
    const struct {
        QString address;
        const Source *source;
        QStringList names;
        QString owner;
    } cases[] = {
        {QStringLiteral("http://blog.sina.com.cn/u/1234567890"), &kSinaBlogCategoriesSource,
         {QStringLiteral("旅行"), QStringLiteral("家人"), QStringLiteral("旅行 (1)"), QString(), QStringLiteral("旅行 (2)")},
         QStringLiteral("小明的博客/")},
        // The article list is paged from the address cut before its last "_".
        {QStringLiteral("  http://blog.sina.com.cn/s/articlelist_1234567890_0_7.html "), &kSinaBlogArticlesSource,
         {QStringLiteral("春游"), QStringLiteral("秋色"), QStringLiteral("夏日"), QStringLiteral("春游 (1)")},
         QStringLiteral("博文_小明的博客/")},
        {QStringLiteral("https://weibo.com/u/1234567890"), &kWeiboSource,
         {QStringLiteral("微博配图"), QStringLiteral("头像相册"), QStringLiteral("空相册")}, QStringLiteral("小明Ming/")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        QTemporaryDir data;
        RecordingEvents heard;
        Session fresh(data.path() + u'/', heard);
        // The list is recorded under the request's type, whatever the last one was.
        fresh.sourceType = SourceType::Yupoo;

        list(fresh, c.address);

        const QList<AlbumRecord> albums = fresh.albums.all();
        ASSERT_EQ(albums.size(), c.names.size());
        const int n = int(c.names.size());
        const QString remembered = c.address.trimmed();
        QStringList expectedLog{QStringLiteral("listStarted")};
        for (int i = 0; i < n; ++i) {
            if (!c.names.at(i).isEmpty()) {
                EXPECT_EQ(albums.at(i).name, c.names.at(i));
            }
            expectedLog.append(QStringLiteral("albumAdded %1 %2").arg(i).arg(albums.at(i).name));
        }
        // An address that yielded albums heads the history and is saved at once.
        expectedLog.append(QStringLiteral("ownerAddressRemembered ") + remembered);
        expectedLog.append(QStringLiteral("listFinished Listed %1").arg(n));
        EXPECT_EQ(heard.log(), expectedLog);
        EXPECT_EQ(heard.listResult(), ListResult::Listed);

        EXPECT_EQ(fresh.listedBy.load(), c.source);
        for (const AlbumRecord &album : albums)
            EXPECT_EQ(album.source, c.source) << album.name.toStdString();
        EXPECT_EQ(fresh.listState.load(), ListState::Idle);
        EXPECT_EQ(fresh.sourceType.load(), SourceType::Sina);
        EXPECT_EQ(fresh.owner.name, c.owner);
        EXPECT_TRUE(fresh.owner.subFolder.isEmpty());
        EXPECT_EQ(heard.remembered(), QStringList{remembered});
        EXPECT_EQ(fresh.settings().ownerHistory[0], remembered);
        EXPECT_TRUE(QFile::exists(fresh.dataFolder() + QStringLiteral("soft.dat")));
    }
}

TEST_F(GetListTest, NothingFoundAsksToLogIn)
{
    const struct {
        QString address;
        const Source *source;
    } cases[] = {
        {QStringLiteral("https://weibo.com/u/nobody"), &kWeiboSource},
        // An article-list address without "_" leaves nothing to read.
        {QStringLiteral("https://blog.sina.com.cn/s/list"), &kSinaBlogArticlesSource},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        RecordingEvents heard;
        Session fresh(dir.path() + u'/', heard);

        list(fresh, c.address);

        EXPECT_EQ(fresh.listedBy.load(), c.source);
        EXPECT_EQ(heard.listResult(), ListResult::NothingFound);
        EXPECT_EQ(heard.log(), (QStringList{"listStarted", "listFinished NothingFound 0"}));
        EXPECT_TRUE(fresh.settings().ownerHistory[0].isEmpty());
    }
}

// A list that found nothing says why: a blog shown to its author only wants a login, a
// service that does not answer as it should is unreachable (and what came back is said),
// a 404 names no owner, a page larger than any page is cannot be read, another site is
// not one the program lists. A failed page is never taken for an owner without albums.
TEST_F(GetListTest, NothingListedSaysWhy)
{
    services.route("blog.sina.com.cn", "/u/author-only",
                   CannedResponse::ok("<html><title>博客</title><body>系统维护中，博文仅作者可见</body></html>"));
    services.route("blog.sina.com.cn", "/s/articlelist_2_0_1.html",
                   CannedResponse::ok("<html><title>新浪通行证</title></html>"));
    services.route("blog.sina.com.cn", "/s/articlelist_3_0_1.html", CannedResponse::error(503));
    services.route("blog.sina.com.cn", "/s/articlelist_4_0_1.html", CannedResponse::error(404));
    CannedResponse badGateway = CannedResponse::error(502);
    badGateway.reason = "Bad Gateway";
    services.route("blog.sina.com.cn", "/u/busy", badGateway);
    // Blogs whose own page answers, while the photo service does not, or sends a page
    // that inflates past the page limit (what is left of it still names a category).
    const auto blogOf = [](const QByteArray &uid) {
        return CannedResponse::ok("<html><head><title>小红的博客_新浪博客</title></head><body><a href=\""
                                  "http://blog.sina.com.cn/s/articlelist_" + uid + "_0_1.html\">博文目录</a></body></html>");
    };
    services.route("blog.sina.com.cn", "/u/5555555555", blogOf("5555555555"));
    services.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php?format=gsonv&uid=5555555555",
                   badGateway);
    services.route("blog.sina.com.cn", "/u/6666666666", blogOf("6666666666"));
    const QByteArray categories = readFixture(QStringLiteral("sources/sina_categories.json"));
    services.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php?format=gsonv&uid=6666666666",
                   CannedResponse::ok(gzipBytes(categories + QByteArray(kMaxPageBytes, ' ')), "application/json")
                       .withHeader("Content-Encoding", "gzip"));
    // A Weibo address that names no id: only the owner's page can say who it is.
    services.route("weibo.com", "/u/busy", badGateway);
    services.route("weibo.com", "/u/huge", CannedResponse::ok(readFixture(QStringLiteral("sources/weibo_owner_spaced.html"))
                                                             + QByteArray(kMaxPageBytes, ' ')));
    const struct {
        QString address;
        ListResult result;
        QString detail;  // what the list says came back, if anything
    } cases[] = {
        {QStringLiteral("https://blog.sina.com.cn/u/author-only"), ListResult::LoginNeeded, {}},
        {QStringLiteral("https://blog.sina.com.cn/s/articlelist_2_0_1.html"), ListResult::LoginNeeded, {}},
        {QStringLiteral("https://blog.sina.com.cn/s/articlelist_3_0_1.html"), ListResult::Unreachable,
         QStringLiteral("HTTP/1.1 503 Service Unavailable")},
        {QStringLiteral("https://blog.sina.com.cn/s/articlelist_4_0_1.html"), ListResult::OwnerNotFound,
         QStringLiteral("HTTP/1.1 404 Not Found")},
        {QStringLiteral("https://blog.sina.com.cn/u/busy"), ListResult::Unreachable,
         QStringLiteral("HTTP/1.1 502 Bad Gateway")},
        {QStringLiteral("https://blog.sina.com.cn/u/5555555555"), ListResult::Unreachable,
         QStringLiteral("HTTP/1.1 502 Bad Gateway")},
        {QStringLiteral("https://blog.sina.com.cn/u/6666666666"), ListResult::ServiceChanged,
         QStringLiteral("页面过大")},
        {QStringLiteral("https://weibo.com/u/busy"), ListResult::Unreachable, QStringLiteral("HTTP/1.1 502 Bad Gateway")},
        {QStringLiteral("https://weibo.com/u/huge"), ListResult::ServiceChanged, QStringLiteral("页面过大")},
        {QStringLiteral("https://example.test/u/1234567890?from=weibo.com"), ListResult::NotSupported, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        RecordingEvents heard;
        Session fresh(dir.path() + u'/', heard);
        fresh.sleep = [](int) {};
        list(fresh, c.address);
        EXPECT_EQ(heard.listResult(), c.result);
        EXPECT_EQ(fresh.albums.size(), 0);
        QStringList details;
        for (const QString &line : heard.log()) {
            if (line.startsWith(u"listFailureDetail "))
                details.append(line.mid(18));
        }
        EXPECT_EQ(details, c.detail.isEmpty() ? QStringList() : QStringList{c.detail});
    }
}

TEST_F(GetListTest, SameAddressInOtherCaseIsNotAddedAgain)
{
    for (const QString &address : {QStringLiteral("https://weibo.com/u/1234567890?from=Home"),
                                   QStringLiteral("https://weibo.com/u/1234567890?FROM=HOME")}) {
        list(session, address);
        EXPECT_EQ(session.albums.size(), 3);
        EXPECT_EQ(events.listResult(), ListResult::Listed);
    }
    EXPECT_EQ(events.remembered(), QStringList{QStringLiteral("https://weibo.com/u/1234567890?from=Home")});
    EXPECT_TRUE(session.settings().ownerHistory[1].isEmpty());
}

TEST_F(GetListTest, PressingAgainStopsAfterCurrentAlbum)
{
    const ListRequest request = requestFor(QStringLiteral("http://blog.sina.com.cn/u/1234567890"));
    // The user presses "Get List" again while the category list is on its way.
    std::atomic<int> secondPress{-1};
    services.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                   LoopbackServer::Handler([this, request, &secondPress](const RecordedRequest &) {
                       secondPress = int(startList(session, request));
                       return CannedResponse::ok(readFixture(QStringLiteral("sources/sina_categories.json")),
                                                 "application/json");
                   }));

    ASSERT_EQ(startList(session, request), ListCommand::Started);
    session.waitForThreads();

    EXPECT_EQ(secondPress.load(), int(ListCommand::StopRequested));
    EXPECT_EQ(session.albums.size(), 1);
    EXPECT_EQ(events.listResult(), ListResult::Stopped);
    EXPECT_EQ(events.logOf(QStringLiteral("listFinished")), QStringList{QStringLiteral("listFinished Stopped 1")});
    EXPECT_EQ(session.listState.load(), ListState::Idle);
}

}  // namespace

}  // namespace pictrove
