// The Sina blog fetchers against the blog and photo-blog hosts on loopback.

#include "support/PrintQt.h"
#include "SinaServices.h"

#include "download/DownloadJob.h"
#include "sources/AddAlbum.h"
#include "sources/MainWindowState.h"
#include "sources/SinaBlogSource.h"
#include "support/Fixtures.h"
#include "support/RecordingWindowPort.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString kOwnerAddress = QStringLiteral("http://blog.sina.com.cn/u/1234567890");
const QByteArray kCategoryTarget = "/services/ctg_list_ctg.php?format=gsonv&uid=1234567890";

class SinaBlogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        state.dataFolder = dir.path() + u'/';
        state.readyFlag = 1;
    }

    void serveCategories()
    {
        services.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
        services.routeFixture("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                              QStringLiteral("sina_categories.json"), "application/json; charset=utf-8");
    }

    // An album for the picture fetchers, and a job ready to queue its pictures.
    int addAlbum(const QString &name, const QString &url)
    {
        AlbumRecord album;
        album.name = name;
        album.url = url;
        const int index = ::addAlbum(state, album) - 1;
        state.downloadJob.setJobFolder(dir.path() + QStringLiteral("/pictures/"));
        state.downState = DOWN_RUNNING;
        return index;
    }

    SinaServices services;
    QTemporaryDir dir;
    RecordingWindowPort port;
    MainWindowState state{port};
};

TEST_F(SinaBlogTest, CategoriesBecomeAlbums)
{
    serveCategories();
    sinaBlogCategories(state, kOwnerAddress);

    EXPECT_EQ(state.owner.name, QStringLiteral("小明的博客"));
    EXPECT_EQ(state.owner.uid, QStringLiteral("1234567890"));
    const QList<RecordedRequest> asked = services.requestsTo("photo.blog.sina.com.cn");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.at(0).target, kCategoryTarget);
    EXPECT_EQ(asked.at(0).header("Accept-Encoding"), QByteArray("gzip, deflate"));

    const QString base = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234567890/s/");
    const struct {
        QString name;
        int count;
        QString url;
        QString cover;
    } expected[] = {
        {QStringLiteral("旅行"), 12, base + QStringLiteral("101"), QStringLiteral("http://s1.sinaimg.cn/bmiddle/4b3c1e96g101")},
        {QStringLiteral("家人"), 5, base + QStringLiteral("102"), QStringLiteral("http://s1.sinaimg.cn/bmiddle/4b3c1e96g102")},
        // The nameless category is skipped; a repeated name gets a counter.
        {QStringLiteral("旅行 (1)"), 7, base + QStringLiteral("104"), QStringLiteral("http://s1.sinaimg.cn/bmiddle/4b3c1e96g104")},
        // A name that cleans to nothing becomes the time; a cover listed before the
        // address is not found.
        {QString(), 2, base + QStringLiteral("105"), QString()},
        // No count: 0.
        {QStringLiteral("旅行 (2)"), 0, base + QStringLiteral("106"), QString()},
    };
    const QList<AlbumRecord> albums = state.albums.all();
    ASSERT_EQ(albums.size(), std::size(expected));
    for (qsizetype i = 0; i < albums.size(); ++i) {
        SCOPED_TRACE(i);
        const AlbumRecord &album = albums.at(i);
        if (expected[i].name.isEmpty())
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}$")).match(album.name).hasMatch()) << album.name.toStdString();
        else
            EXPECT_EQ(album.name, expected[i].name);
        EXPECT_EQ(album.pictureCount, expected[i].count);
        EXPECT_EQ(album.url, expected[i].url);
        EXPECT_EQ(album.coverUrl, expected[i].cover);
        EXPECT_EQ(album.accessFlags, 0);
        EXPECT_EQ(album.position, i);
    }
    EXPECT_EQ(port.rows(), (QList<int>{0, 1, 2, 3, 4}));
}

TEST_F(SinaBlogTest, AlbumsFoundBeforeStartUpAreDropped)
{
    serveCategories();
    state.readyFlag = 0;
    sinaBlogCategories(state, kOwnerAddress);
    EXPECT_TRUE(state.albums.isEmpty());
    EXPECT_TRUE(port.rows().isEmpty());
}

TEST_F(SinaBlogTest, StopRequestEndsAfterCurrentAlbum)
{
    // The user presses "Get List" again while the list page is on its way.
    const auto stopWhileServing = [this](const char *fixture, const QByteArray &type) {
        return LoopbackServer::Handler([this, fixture, type](const RecordedRequest &) {
            state.listState = LIST_STOP;
            return CannedResponse::ok(readFixture(QStringLiteral("sources/") + QString::fromLatin1(fixture)), type);
        });
    };
    services.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
    services.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                   stopWhileServing("sina_categories.json", "application/json"));
    services.route("blog.sina.com.cn", "/s/articlelist_1234567890_0_1.html",
                   stopWhileServing("sina_articlelist_1.html", "text/html; charset=utf-8"));

    sinaBlogCategories(state, kOwnerAddress);
    EXPECT_EQ(state.albums.size(), 1);

    state.albums.clear();
    state.listState = LIST_RUNNING;
    sinaBlogArticles(state, QStringLiteral("http://blog.sina.com.cn/s/articlelist_1234567890_0"));
    EXPECT_EQ(state.albums.size(), 1);
    EXPECT_EQ(services.targetsOf("blog.sina.com.cn").count("/s/articlelist_1234567890_0_2.html"), 0);
}

TEST_F(SinaBlogTest, UnreachableOwnerPageGivesNothing)
{
    services.route("blog.sina.com.cn", "/u/1234567890", CannedResponse::ok(QByteArray()));
    sinaBlogCategories(state, kOwnerAddress);
    EXPECT_TRUE(state.albums.isEmpty());
    EXPECT_TRUE(services.requestsTo("photo.blog.sina.com.cn").isEmpty());
}

TEST_F(SinaBlogTest, ArticleListPagesUntilNoNextPage)
{
    const struct {
        const char *uid;
        const char *page1;
        const char *page2;
        QStringList names;
    } cases[] = {
        // Titles, then the link text of a link without one; a link with neither is skipped.
        {"1234567890", "sina_articlelist_1.html", "sina_articlelist_2.html",
         {QStringLiteral("春游"), QStringLiteral("秋色"), QStringLiteral("夏日"), QStringLiteral("春游 (1)")}},
        // No "atc_title" on page 1: the dotted-line separator holds for page 2 as well,
        // where a side box with "atc_title" stays out.
        {"2233445566", "sina_articlelist_linedot_1.html", "sina_articlelist_linedot_2.html",
         {QStringLiteral("老照片"), QStringLiteral("雪景"), QStringLiteral("新年")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.uid);
        state.albums.clear();
        const QByteArray base = QByteArray("/s/articlelist_") + c.uid + "_0";
        services.routeFixture("blog.sina.com.cn", base + "_1.html", QString::fromLatin1(c.page1));
        services.routeFixture("blog.sina.com.cn", base + "_2.html", QString::fromLatin1(c.page2));
        services.routeFixture("blog.sina.com.cn", base + "_3.html", QString::fromLatin1(c.page1));

        sinaBlogArticles(state, QStringLiteral("http://blog.sina.com.cn") + QString::fromLatin1(base));

        QStringList names;
        for (const AlbumRecord &album : state.albums.all()) {
            names.append(album.name);
            EXPECT_EQ(album.pictureCount, -1);
            EXPECT_TRUE(album.url.startsWith(u"http://blog.sina.com.cn/s/blog_4b3c1e96010"));
            EXPECT_TRUE(album.coverUrl.isEmpty());
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(state.owner.name, QStringLiteral("博文_小明的博客"));
        QList<QByteArray> targets;
        for (const QByteArray &target : services.targetsOf("blog.sina.com.cn")) {
            if (target.startsWith(base))
                targets.append(target);
        }
        EXPECT_EQ(targets, (QList<QByteArray>{base + "_1.html", base + "_2.html"}));
    }
    EXPECT_EQ(state.albums.at(1).url, QStringLiteral("http://blog.sina.com.cn/s/blog_4b3c1e96010b02.html"));
}

TEST_F(SinaBlogTest, CategoryPicturesPageAndRewriteAddresses)
{
    const QByteArray path = "/category/u/1234567890/s/101";
    services.routeFixture("photo.blog.sina.com.cn", path + "/page1", QStringLiteral("sina_category_page1.html"));
    services.routeFixture("photo.blog.sina.com.cn", path + "/page2", QStringLiteral("sina_category_page2.html"));
    services.routeFixture("photo.blog.sina.com.cn", path + "/page3", QStringLiteral("sina_category_page1.html"));
    const int album = addAlbum(QStringLiteral("旅行"), QStringLiteral("http://photo.blog.sina.com.cn") + QString::fromLatin1(path));

    sinaBlogCategoryPictures(state, album);

    EXPECT_EQ(services.targetsOf("photo.blog.sina.com.cn"), (QList<QByteArray>{path + "/page1", path + "/page2"}));
    const DownloadJob &job = state.downloadJob;
    EXPECT_EQ(job.jobAddresses, (QStringList{
        QStringLiteral("http://s6.sinaimg.cn/orignal/4b3c1e96g0a1&690"),
        // One level of entities is decoded with the page, the rest of "amp" goes.
        QStringLiteral("http://s6.sinaimg.cn/orignal/4b3c1e96g0a2&;690"),
        QStringLiteral("http://s7.sinaimg.cn/mw690/4b3c1e96g0a3"),
    }));
    ASSERT_EQ(job.jobFileNames.size(), 3);
    EXPECT_TRUE(job.jobFileNames.at(0).startsWith(u"日落")) << job.jobFileNames.at(0).toStdString();
    EXPECT_TRUE(job.jobFileNames.at(1).startsWith(u"海边 & 清晨")) << job.jobFileNames.at(1).toStdString();
    EXPECT_TRUE(job.jobFileNames.at(2).startsWith(u"归途")) << job.jobFileNames.at(2).toStdString();
    EXPECT_EQ(job.jobExtraHeaders, QStringList(3, QStringLiteral("Referer: http://blog.sina.com.cn/")));
}

TEST_F(SinaBlogTest, CategoryPicturesStopOnAbort)
{
    const QByteArray path = "/category/u/1234567890/s/101";
    services.route("photo.blog.sina.com.cn", path + "/page1", LoopbackServer::Handler([this](const RecordedRequest &) {
        state.downState = DOWN_ABORT;
        return CannedResponse::ok(readFixture(QStringLiteral("sources/sina_category_page1.html")));
    }));
    services.routeFixture("photo.blog.sina.com.cn", path + "/page2", QStringLiteral("sina_category_page2.html"));
    const int album = addAlbum(QStringLiteral("旅行"), QStringLiteral("http://photo.blog.sina.com.cn") + QString::fromLatin1(path));

    sinaBlogCategoryPictures(state, album);

    EXPECT_EQ(services.targetsOf("photo.blog.sina.com.cn"), QList<QByteArray>{path + "/page1"});
    EXPECT_EQ(state.downloadJob.queuedCount(), 0);
}

TEST_F(SinaBlogTest, ArticlePictureTakesFirstPictureOnly)
{
    const struct {
        const char *fixture;
        QString address;
    } cases[] = {
        // As many "&url=" as "real_src": the link's address.
        {"sina_article_url.html", QStringLiteral("http://album.sina.com.cn/pic/4b3c1e96g0")},
        // Fewer "real_src": the lazy-loaded picture, at its original size.
        {"sina_article_realsrc.html", QStringLiteral("http://s1.sinaimg.cn/orignal/4b3c1e96g0&690")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fixture);
        state.albums.clear();
        state.downloadJob.clearQueue();
        services.route("blog.sina.com.cn", "/s/blog_4b3c1e960102a01.html",
                       CannedResponse::ok(readFixture(QStringLiteral("sources/") + QString::fromLatin1(c.fixture)),
                                          "text/html; charset=gb2312"));
        const int album = addAlbum(QStringLiteral("春游"), QStringLiteral("http://blog.sina.com.cn/s/blog_4b3c1e960102a01.html"));

        sinaBlogArticlePicture(state, album);

        const DownloadJob &job = state.downloadJob;
        EXPECT_EQ(job.jobAddresses, QStringList{c.address});
        ASSERT_EQ(job.jobFileNames.size(), 1);
        EXPECT_TRUE(job.jobFileNames.at(0).startsWith(u"春游")) << job.jobFileNames.at(0).toStdString();
        EXPECT_EQ(job.jobExtraHeaders, QStringList{QStringLiteral("Referer: http://blog.sina.com.cn/")});
    }
}

}  // namespace
