// A source added the way docs/architecture.md says (a lister of albums, a lister of
// pictures, one entry in the session's table) is listed and downloaded by the engine
// as it is, with no other change: nothing in the list or the download asks which
// service an album came from.

#include "download/Downloader.h"
#include "download/ResultMessages.h"
#include "net/NetworkSetup.h"
#include "sources/ListAcquisition.h"
#include "sources/ListContext.h"
#include "sources/PictureSink.h"
#include "sources/Session.h"
#include "sources/AlbumPictures.h"
#include "sources/Sources.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "support/RecordingEvents.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace pictrove {

namespace {

const QByteArray kPicture = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(500, 'x');

bool claimsExample(const QString &address)
{
    return address.startsWith(u"http://pictures.example.test/");
}

ListOutcome listExampleAlbums(const QString &address, ListContext &context);
void listExamplePictures(const AlbumWalk &walk, PictureSink &sink);

const Source kExampleSource{
    "example", &claimsExample, &listExampleAlbums, &listExamplePictures, u"Referer: http://pictures.example.test/", 2,
};

// Two albums, named by the address; no page is fetched.
ListOutcome listExampleAlbums(const QString &address, ListContext &context)
{
    for (const char *name : {"one", "two"}) {
        AlbumRecord album;
        album.name = QString::fromLatin1(name);
        album.url = address + u'/' + album.name;
        album.source = &kExampleSource;
        context.albums.addAlbum(album);
    }
    ListOutcome outcome;
    outcome.owner.name = QStringLiteral("Example");
    return outcome;
}

// Two pictures per album, on the service's picture host; album "two" has a post the
// viewer may not see between them.
void listExamplePictures(const AlbumWalk &walk, PictureSink &sink)
{
    for (int i = 1; i <= 2; ++i) {
        if (i == 2 && walk.album.name == u"two")
            sink.postNotVisible(QStringLiteral("hidden-post"));
        Picture picture;
        picture.address = QStringLiteral("http://img.example.test/%1/%2.jpg").arg(walk.album.name).arg(i);
        picture.title = QStringLiteral("%1-%2").arg(walk.album.name).arg(i);
        picture.headers = QString::fromUtf16(kExampleSource.pictureHeaders);
        sink.addPicture(picture);
    }
}

TEST(AddedSourceTest, IsListedAndDownloadedLikeTheOthers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    setRetryPauseHook([](int) {});
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("img.example.test")}};
    for (const char *path : {"/one/1.jpg", "/one/2.jpg", "/two/1.jpg", "/two/2.jpg"})
        server.route("img.example.test", path, CannedResponse::ok(kPicture, "image/jpeg"));

    RecordingEvents events;
    Session session(dir.path() + u'/', events);
    session.sleep = [](int) {};
    session.sources.prepend(&kExampleSource);
    ASSERT_EQ(startList(session, ListRequest{QStringLiteral("http://pictures.example.test/owner")}),
              ListCommand::Started);
    session.waitForThreads();
    ASSERT_EQ(events.listResult(), ListResult::Listed);
    EXPECT_EQ(session.listedBy.load(), &kExampleSource);
    EXPECT_EQ(session.owner.name, QStringLiteral("Example/"));

    Downloader downloader(session, events);
    DownloadRequest request = downloadRequestFor(session.settings(), SourceType::Sina, dir.path() + QStringLiteral("/save"), {0, 1});
    ASSERT_EQ(downloader.start(request), DownloadCommand::Started);
    session.waitForThreads();

    EXPECT_EQ(events.downloadResult(), DownloadResult::Finished);
    EXPECT_EQ(events.downloadCounts().saved, 4);
    // The hidden post is counted and told, and is no failure: album two is complete
    // (it gets its marker below).
    EXPECT_EQ(events.downloadCounts().unseenPosts, 1);
    EXPECT_EQ(events.downloadCounts().incompleteAlbums, 0);
    EXPECT_EQ(runSummary(events.downloadCounts()), QStringLiteral("保存 4 张，跳过 0 张，失败 0 张；1 条微博无权查看"));
    const QString owner = dir.path() + QStringLiteral("/save/Example/");
    EXPECT_EQ(QDir(owner + QStringLiteral("one")).entryList(QDir::Files, QDir::Name),
              (QStringList{"one-1.jpg", "one-2.jpg", "pic.vrx"}));
    EXPECT_EQ(QDir(owner + QStringLiteral("two")).entryList(QDir::Files, QDir::Name),
              (QStringList{"pic.vrx", "two-1.jpg", "two-2.jpg"}));
    for (const RecordedRequest &asked : server.requests())
        EXPECT_EQ(asked.header("Referer"), QByteArray("http://pictures.example.test/"));
    setRetryPauseHook({});
}

// The built-in table: which source claims which owner address.
TEST(AddedSourceTest, BuiltInSourcesClaimTheSinaAddresses)
{
    const struct {
        const char *address;
        const char *source;  // "" when none claims it
    } cases[] = {
        {"http://blog.sina.com.cn/u/1234567890", "sina-blog-categories"},
        {"http://blog.sina.com.cn/s/articlelist_1234567890_0_1.html", "sina-blog-articles"},
        {"https://weibo.com/u/1234567890", "weibo"},
        {"https://m.weibo.cn/u/1234567890", "weibo"},
        {"https://photo.weibo.com/1234567890/albums", "weibo"},
        {"https://example.test/u/3?from=weibo.com", ""},
        {"https://www.qq.com/", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        const Source *source = sourceFor(builtInSources(), QString::fromLatin1(c.address));
        EXPECT_STREQ(source ? source->name : "", c.source);
    }
}

}  // namespace

}  // namespace pictrove
