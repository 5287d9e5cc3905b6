// The Sina blog fetchers against the blog and photo-blog hosts on loopback.

#include "support/PrintQt.h"
#include "SinaServices.h"

#include "RecordingPictureSink.h"

#include "net/PageResponse.h"
#include "sources/AlbumPictures.h"
#include "sources/ListingBounds.h"
#include "ListerHarness.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "support/Fixtures.h"
#include "support/RecordingEvents.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>

namespace pictrove {

namespace {

const QString kOwnerAddress = QStringLiteral("http://blog.sina.com.cn/u/1234567890");
const QString kPhotoHost = QStringLiteral("http://photo.blog.sina.com.cn");
const QByteArray kCategoryTarget = "/services/ctg_list_ctg.php?format=gsonv&uid=1234567890";
// A category address with a query: its pages ("<address>/pageN") all have one path, so
// one route answers every page.
const QByteArray kEveryPagePath = "/category/u/1234567890/s/101";
const QString kEveryPage = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234567890/s/101?from=");

// A list page that names nothing and still offers "下一页"; the page number keeps each
// one different from the one before.
QByteArray pageWithNothingButNext(int page)
{
    return "<html><body><p>page " + QByteArray::number(page)
        + "</p><div class=\"SG_page\"><a href=\"next\">下一页</a></div></body></html>";
}

// Answers every request with `page(n)` for its n-th request; from the `closeAfter`-th on
// it also calls `close`, so that a walk that would never end still ends its test.
LoopbackServer::Handler numberedPages(std::function<QByteArray(int)> page, int closeAfter,
                                      std::function<void()> close)
{
    auto asked = std::make_shared<std::atomic<int>>(0);
    return [=](const RecordedRequest &) {
        const int n = ++*asked;
        if (n >= closeAfter)
            close();
        return CannedResponse::ok(page(n));
    };
}

class SinaBlogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        lister.dataFolder = dir.path() + u'/';
    }

    void serveCategories()
    {
        services.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
        services.routeFixture("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                              QStringLiteral("sina_categories.json"), "application/json; charset=utf-8");
    }

    // What the download hands a picture fetcher for one album of the list.
    AlbumWalk walkOf(const QString &name, const QString &url) const
    {
        AlbumWalk walk;
        walk.album.name = name;
        walk.album.url = url;
        walk.dataFolder = lister.dataFolder;
        walk.sleep = [](int) {};
        return walk;
    }

    SinaServices services;
    QTemporaryDir dir;
    RecordingEvents events;
    ListerHarness lister{events};
};

TEST_F(SinaBlogTest, CategoriesBecomeAlbums)
{
    serveCategories();
    lister.run(sinaBlogCategories, kOwnerAddress);

    EXPECT_EQ(lister.owner.name, QStringLiteral("小明的博客"));
    EXPECT_EQ(lister.owner.uid, QStringLiteral("1234567890"));
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
    const QList<AlbumRecord> albums = lister.albums.all();
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
    EXPECT_EQ(events.addedRows(), (QList<int>{0, 1, 2, 3, 4}));
}

// An owner whose photo-category service answers 404 or nothing is listed from the
// owner's article list; a service that fails otherwise still says so.
TEST_F(SinaBlogTest, DeadCategoryServiceListsTheArticles)
{
    const struct {
        const char *what;
        CannedResponse answer;
        bool articlesListed;
    } cases[] = {
        {"not found", CannedResponse::error(404, "gone"), true},
        {"empty answer", CannedResponse::ok(QByteArray(), "application/json"), true},
        {"server error", CannedResponse::error(500, "busy"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        services.clearLog();
        lister.albums.clear();
        services.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
        services.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php", c.answer);
        services.routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_1.html", QStringLiteral("sina_articlelist_1.html"));
        services.routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_2.html", QStringLiteral("sina_articlelist_1.html"));

        lister.run(sinaBlogCategories, kOwnerAddress);

        QStringList names;
        for (const AlbumRecord &album : lister.albums.all())
            names.append(album.name);
        // The owner is the one the owner page names, never someone to log in as.
        EXPECT_EQ(lister.owner.name, QStringLiteral("小明的博客"));
        EXPECT_NE(lister.refusal, ListResult::LoginNeeded);
        if (c.articlesListed) {
            EXPECT_EQ(names, (QStringList{QStringLiteral("春游"), QStringLiteral("秋色"), QStringLiteral("夏日")}));
            EXPECT_NE(lister.refusal, ListResult::OwnerNotFound);
        } else {
            EXPECT_TRUE(names.isEmpty());
            EXPECT_EQ(lister.refusal, ListResult::Unreachable);
            EXPECT_EQ(services.targetsOf("blog.sina.com.cn").count("/s/articlelist_1234567890_0_1.html"), 0);
        }
    }
}

TEST_F(SinaBlogTest, StopRequestEndsAfterCurrentAlbum)
{
    // The user presses "Get List" again while the list page is on its way.
    const auto stopWhileServing = [this](const char *fixture, const QByteArray &type) {
        return LoopbackServer::Handler([this, fixture, type](const RecordedRequest &) {
            lister.stop = true;
            return CannedResponse::ok(readFixture(QStringLiteral("sources/") + QString::fromLatin1(fixture)), type);
        });
    };
    services.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
    services.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                   stopWhileServing("sina_categories.json", "application/json"));
    services.route("blog.sina.com.cn", "/s/articlelist_1234567890_0_1.html",
                   stopWhileServing("sina_articlelist_1.html", "text/html; charset=utf-8"));

    lister.stop = false;
    lister.run(sinaBlogCategories, kOwnerAddress);
    EXPECT_EQ(lister.albums.size(), 1);

    lister.albums.clear();
    lister.stop = false;
    lister.run(sinaBlogArticles, QStringLiteral("http://blog.sina.com.cn/s/articlelist_1234567890_0_1.html"));
    EXPECT_EQ(lister.albums.size(), 1);
    EXPECT_EQ(services.targetsOf("blog.sina.com.cn").count("/s/articlelist_1234567890_0_2.html"), 0);
}

TEST_F(SinaBlogTest, UnreachableOwnerPageGivesNothing)
{
    services.route("blog.sina.com.cn", "/u/1234567890", CannedResponse::ok(QByteArray()));
    lister.run(sinaBlogCategories, kOwnerAddress);
    EXPECT_TRUE(lister.albums.isEmpty());
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
        // A server that answers page 2 with page 1 again, "下一页" and all: the list
        // ends there instead of paging forever.
        {"1234567891", "sina_articlelist_1.html", "sina_articlelist_1.html",
         {QStringLiteral("春游"), QStringLiteral("秋色"), QStringLiteral("夏日")}},
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
        lister.albums.clear();
        const QByteArray base = QByteArray("/s/articlelist_") + c.uid + "_0";
        services.routeFixture("blog.sina.com.cn", base + "_1.html", QString::fromLatin1(c.page1));
        services.routeFixture("blog.sina.com.cn", base + "_2.html", QString::fromLatin1(c.page2));
        services.routeFixture("blog.sina.com.cn", base + "_3.html", QString::fromLatin1(c.page1));

        lister.run(sinaBlogArticles, QStringLiteral("http://blog.sina.com.cn") + QString::fromLatin1(base) + QStringLiteral("_1.html"));

        QStringList names;
        for (const AlbumRecord &album : lister.albums.all()) {
            names.append(album.name);
            EXPECT_EQ(album.pictureCount, -1);
            EXPECT_TRUE(album.url.startsWith(u"http://blog.sina.com.cn/s/blog_4b3c1e96010"));
            EXPECT_TRUE(album.coverUrl.isEmpty());
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(lister.owner.name, QStringLiteral("博文_小明的博客"));
        QList<QByteArray> targets;
        for (const QByteArray &target : services.targetsOf("blog.sina.com.cn")) {
            if (target.startsWith(base))
                targets.append(target);
        }
        EXPECT_EQ(targets, (QList<QByteArray>{base + "_1.html", base + "_2.html"}));
    }
    EXPECT_EQ(lister.albums.at(1).url, QStringLiteral("http://blog.sina.com.cn/s/blog_4b3c1e96010b02.html"));
}

TEST_F(SinaBlogTest, CategoryPicturesPageAndRewriteAddresses)
{
    const QByteArray path = "/category/u/1234567890/s/101";
    services.routeFixture("photo.blog.sina.com.cn", path + "/page1", QStringLiteral("sina_category_page1.html"));
    services.routeFixture("photo.blog.sina.com.cn", path + "/page2", QStringLiteral("sina_category_page2.html"));
    services.routeFixture("photo.blog.sina.com.cn", path + "/page3", QStringLiteral("sina_category_page1.html"));
    RecordingPictureSink sink;

    sinaBlogCategoryPictures(walkOf(QStringLiteral("旅行"), kPhotoHost + QString::fromLatin1(path)), sink);

    EXPECT_EQ(services.targetsOf("photo.blog.sina.com.cn"), (QList<QByteArray>{path + "/page1", path + "/page2"}));
    EXPECT_EQ(sink.addresses, (QStringList{
        QStringLiteral("http://s6.sinaimg.cn/orignal/4b3c1e96g0a1&690"),
        // One level of entities is decoded with the page, the rest of "amp" goes.
        QStringLiteral("http://s6.sinaimg.cn/orignal/4b3c1e96g0a2&;690"),
        QStringLiteral("http://s7.sinaimg.cn/mw690/4b3c1e96g0a3"),
    }));
    EXPECT_EQ(sink.titles, (QStringList{QStringLiteral("日落"), QStringLiteral("海边 & 清晨"), QStringLiteral("归途")}));
    EXPECT_EQ(sink.headerLines, QStringList(3, QStringLiteral("Referer: http://blog.sina.com.cn/")));
}

TEST_F(SinaBlogTest, CategoryPicturesStopOnAbort)
{
    const QByteArray path = "/category/u/1234567890/s/101";
    RecordingPictureSink sink;
    services.route("photo.blog.sina.com.cn", path + "/page1", LoopbackServer::Handler([&sink](const RecordedRequest &) {
        sink.close();
        return CannedResponse::ok(readFixture(QStringLiteral("sources/sina_category_page1.html")));
    }));
    services.routeFixture("photo.blog.sina.com.cn", path + "/page2", QStringLiteral("sina_category_page2.html"));

    sinaBlogCategoryPictures(walkOf(QStringLiteral("旅行"), kPhotoHost + QString::fromLatin1(path)), sink);

    EXPECT_EQ(services.targetsOf("photo.blog.sina.com.cn"), QList<QByteArray>{path + "/page1"});
    EXPECT_EQ(sink.count(), 0);
    // The sink is asked after every picture: at most one more is handed over.
    EXPECT_LE(sink.afterClose, 1);
}

// A category's paging ends at the first page that brings no picture not seen before,
// whatever its "下一页" says; the album is incomplete only when that leaves it far short
// of the count its category gave.
TEST_F(SinaBlogTest, CategoryPagingEndsAtAPageWithNothingNew)
{
    const QByteArray first = readFixture(QStringLiteral("sources/sina_category_page1.html"));
    const struct {
        const char *what;
        int count;
        QStringList failures;
    } cases[] = {
        {"count unknown", -1, {}},
        {"count a little off", 5, {}},
        {"count far above what the pages bring", 40,
         {kEveryPage + QStringLiteral("/page2 相册标明 40 张，只列出 2 张")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        services.clearLog();
        RecordingPictureSink sink;
        const auto page = [&first](int n) { return n == 1 ? first : pageWithNothingButNext(n); };
        services.route("photo.blog.sina.com.cn", kEveryPagePath, numberedPages(page, 20, [&sink] { sink.close(); }));
        AlbumWalk walk = walkOf(QStringLiteral("旅行"), kEveryPage);
        walk.album.pictureCount = c.count;

        sinaBlogCategoryPictures(walk, sink);

        EXPECT_EQ(services.requestsTo("photo.blog.sina.com.cn").size(), 2);
        EXPECT_EQ(sink.count(), 2);
        EXPECT_EQ(sink.failures, c.failures);
    }
}

TEST_F(SinaBlogTest, ArticleListEndsAtAPageWithNothingNew)
{
    const QByteArray base = "/s/articlelist_1234567890_0";
    services.routeFixture("blog.sina.com.cn", base + "_1.html", QStringLiteral("sina_articlelist_1.html"));
    for (int page = 2; page <= 30; ++page) {
        services.route("blog.sina.com.cn", base + "_" + QByteArray::number(page) + ".html",
                       CannedResponse::ok(pageWithNothingButNext(page)));
    }
    // Asked to stop only so that a list that would never end still ends its test.
    services.route("blog.sina.com.cn", base + "_20.html", LoopbackServer::Handler([this](const RecordedRequest &) {
        lister.stop = true;
        return CannedResponse::ok(pageWithNothingButNext(20));
    }));
    lister.stop = false;

    lister.run(sinaBlogArticles, QStringLiteral("http://blog.sina.com.cn") + QString::fromLatin1(base) + QStringLiteral("_1.html"));

    EXPECT_EQ(services.targetsOf("blog.sina.com.cn"), (QList<QByteArray>{base + "_1.html", base + "_2.html"}));
    EXPECT_EQ(lister.albums.size(), 3);
}

// A server that pages on with new pictures for ever is asked for kMaxListPages pages,
// and the album is said to be incomplete.
TEST_F(SinaBlogTest, CategoryPagingStopsAtThePageLimit)
{
    RecordingPictureSink sink;
    const auto newPicture = [](int n) {
        return "<img class=\"pt_border\" src=\"http://s1.sinaimg.cn/small/p" + QByteArray::number(n)
            + "\" title=\"t\" /><a href=\"next\">下一页</a>";
    };
    services.route("photo.blog.sina.com.cn", kEveryPagePath,
                   numberedPages(newPicture, kMaxListPages + 20, [&sink] { sink.close(); }));

    sinaBlogCategoryPictures(walkOf(QStringLiteral("旅行"), kEveryPage), sink);

    EXPECT_EQ(services.requestsTo("photo.blog.sina.com.cn").size(), kMaxListPages);
    EXPECT_EQ(sink.count(), kMaxListPages);
    EXPECT_EQ(sink.failures, QStringList{kEveryPage + QStringLiteral("/page%1 超过 %2 页，其余未列出")
                                                          .arg(kMaxListPages + 1)
                                                          .arg(kMaxListPages)});
}

// A page larger than any page is, cut at kMaxPageBytes as it arrives or as it is
// inflated, is never read as if it were whole: the album is incomplete at once.
TEST_F(SinaBlogTest, APagePastThePageLimitLeavesTheAlbumIncomplete)
{
    const QByteArray categoryPage = readFixture(QStringLiteral("sources/sina_category_page1.html"));
    const QByteArray articlePage = readFixture(QStringLiteral("sources/sina_article_url.html"));
    const auto gzipBomb = [](const QByteArray &page) {
        return CannedResponse::ok(gzipBytes(page + QByteArray(kMaxPageBytes, ' ')))
            .withHeader("Content-Encoding", "gzip");
    };
    const auto pastTheLimit = [](const QByteArray &page) {
        return CannedResponse::ok(page + QByteArray(kMaxPageBytes, ' '));
    };
    const QString category = kPhotoHost + QStringLiteral("/category/u/1234567890/s/101");
    const QString article = QStringLiteral("http://blog.sina.com.cn/s/blog_4b3c1e960102a01.html");
    const struct {
        const char *what;
        CannedResponse answer;
        bool categoryWalk;
        QString page;
    } cases[] = {
        {"category page inflating past the limit", gzipBomb(categoryPage), true, category + QStringLiteral("/page1")},
        {"category page arriving past the limit", pastTheLimit(categoryPage), true, category + QStringLiteral("/page1")},
        {"article inflating past the limit", gzipBomb(articlePage), false, article},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        services.clearLog();
        services.route("photo.blog.sina.com.cn", "/category/u/1234567890/s/101/page1", c.answer);
        services.route("blog.sina.com.cn", "/s/blog_4b3c1e960102a01.html", c.answer);
        RecordingPictureSink sink;

        if (c.categoryWalk)
            sinaBlogCategoryPictures(walkOf(QStringLiteral("旅行"), category), sink);
        else
            sinaBlogArticlePictures(walkOf(QStringLiteral("春游"), article), sink);

        EXPECT_EQ(sink.count(), 0);
        EXPECT_EQ(sink.failures, QStringList{c.page + QStringLiteral(" 页面过大")});
        // The same page would come again: it is asked once.
        EXPECT_EQ(services.requestsTo(c.categoryWalk ? "photo.blog.sina.com.cn" : "blog.sina.com.cn").size(), 1);
    }
}

// Every picture of an article, in page order, each once: the sinaimg.cn address at its
// original size, with the album.sina.com.cn link to the same picture as its fallback.
TEST_F(SinaBlogTest, ArticlePicturesTakeEveryPictureOnce)
{
    const auto album = [](const char *id) { return QStringLiteral("http://album.sina.com.cn/pic/") + QString::fromLatin1(id); };
    const auto original = [](const char *host, const char *id) {
        return QStringLiteral("http://%1.sinaimg.cn/orignal/%2").arg(QLatin1String(host), QLatin1String(id));
    };
    const struct {
        const char *fixture;
        QStringList addresses;
        QStringList fallbacks;
    } cases[] = {
        // A link around each lazy-loaded picture.
        {"sina_article_url.html",
         {original("s1", "4b3c1e96g0&690"), original("s2", "4b3c1e96g1&690"), original("s3", "4b3c1e96g2&690")},
         {album("4b3c1e96g0"), album("4b3c1e96g1"), album("4b3c1e96g2")}},
        // The last link holds a plain picture instead of a lazy-loaded one.
        {"sina_article_realsrc.html",
         {original("s1", "4b3c1e96g0&690"), original("s2", "4b3c1e96g1&690"), original("s9", "4b3c1e96g2")},
         {album("4b3c1e96g0"), album("4b3c1e96g1"), album("4b3c1e96g2")}},
        // The first picture once more through another host and size, a link with a
        // plain picture, a link alone, then a lazy-loaded picture without a link.
        {"sina_article_pictures.html",
         {original("s1", "4b3c1e96g0&690"), original("s2", "4b3c1e96g1&690"), original("s4", "4b3c1e96g4"),
          album("4b3c1e96g5"), original("s5", "4b3c1e96g3&690")},
         {album("4b3c1e96g0"), album("4b3c1e96g1"), album("4b3c1e96g4"), QString(), QString()}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fixture);
        services.route("blog.sina.com.cn", "/s/blog_4b3c1e960102a01.html",
                       CannedResponse::ok(readFixture(QStringLiteral("sources/") + QString::fromLatin1(c.fixture)),
                                          "text/html; charset=gb2312"));
        RecordingPictureSink sink;

        sinaBlogArticlePictures(
            walkOf(QStringLiteral("春游"), QStringLiteral("http://blog.sina.com.cn/s/blog_4b3c1e960102a01.html")), sink);

        EXPECT_EQ(sink.addresses, c.addresses);
        QStringList fallbacks;
        for (const Picture &picture : sink.pictures)
            fallbacks.append(picture.fallbackAddress);
        EXPECT_EQ(fallbacks, c.fallbacks);
        // An article's pictures are named after the article.
        for (qsizetype i = 0; i < sink.count(); ++i) {
            EXPECT_EQ(sink.titles.at(i), QStringLiteral("春游"));
            EXPECT_EQ(sink.headerLines.at(i), QStringLiteral("Referer: http://blog.sina.com.cn/"));
        }
    }
}

// An album closed while its article is read takes no more of the article's pictures.
TEST_F(SinaBlogTest, ArticlePicturesStopWhenTheAlbumCloses)
{
    services.route("blog.sina.com.cn", "/s/blog_4b3c1e960102a01.html",
                   CannedResponse::ok(readFixture(QStringLiteral("sources/sina_article_pictures.html")),
                                      "text/html; charset=gb2312"));
    RecordingPictureSink sink;
    sink.close();

    sinaBlogArticlePictures(
        walkOf(QStringLiteral("春游"), QStringLiteral("http://blog.sina.com.cn/s/blog_4b3c1e960102a01.html")), sink);

    EXPECT_EQ(sink.afterClose, 0);
}

}  // namespace

}  // namespace pictrove
