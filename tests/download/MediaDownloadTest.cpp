// Media beside pictures, downloaded: a live photo's still and moving part side by side
// under one name, a GIF as .gif, a video as .mp4, no address query in any name, and
// the options that leave moving parts or videos out.

#include "download/Downloader.h"
#include "net/NetworkSetup.h"
#include "sources/AlbumPictures.h"
#include "sources/ListAcquisition.h"
#include "sources/ListContext.h"
#include "sources/PictureSink.h"
#include "sources/Session.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "support/RecordingEvents.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

namespace {

const QByteArray kStill = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(500, 's');
const QByteArray kGif = QByteArray("GIF89a") + QByteArray(500, 'g');
// The moving part as an older QuickTime movie, whose first box is no "ftyp".
const QByteArray kMotion = QByteArray("\0\0\0\x08wide\0\0\x10\0mdat", 16) + QByteArray(500, 'm');
const QByteArray kVideo = QByteArray("\0\0\0\x18" "ftypmp42", 12) + QByteArray(500, 'v');

bool claimsMedia(const QString &address)
{
    return address.startsWith(u"http://media.example.test/");
}

ListOutcome listMediaAlbum(const QString &address, ListContext &context);
void listMedia(const AlbumWalk &walk, PictureSink &sink);

const Source kMediaSource{
    "media-example", &claimsMedia, &listMediaAlbum, &listMedia, u"Referer: http://media.example.test/", 1,
};

ListOutcome listMediaAlbum(const QString &address, ListContext &context)
{
    AlbumRecord album;
    album.name = QStringLiteral("post");
    album.url = address;
    album.source = &kMediaSource;
    context.albums.addAlbum(album);
    ListOutcome outcome;
    outcome.owner.name = QStringLiteral("Owner");
    return outcome;
}

Picture medium(const char *address, const char *title, MediaKind kind, const char *pictureId)
{
    Picture picture;
    picture.address = QString::fromLatin1(address);
    picture.title = QString::fromLatin1(title);
    picture.kind = kind;
    picture.pictureId = QString::fromLatin1(pictureId);
    picture.headers = QString::fromUtf16(kMediaSource.pictureHeaders);
    return picture;
}

// A live photo, a GIF and a video, as a post's reader gives them; the moving part and
// the video carry a signed query, as Weibo's do.
void listMedia(const AlbumWalk &, PictureSink &sink)
{
    sink.addPicture(medium("http://img.example.test/large/p1.jpg", "live", MediaKind::Still, "p1"));
    sink.addPicture(medium("http://img.example.test/live/m1.mov?Expires=1709620000&ssig=a%2Fb", "live",
                           MediaKind::LiveMotion, "p1.mov"));
    sink.addPicture(medium("http://img.example.test/large/g1.gif", "anim", MediaKind::Animated, "g1"));
    sink.addPicture(medium("http://img.example.test/o0/v1080.mp4?label=mp4_1080p&Expires=1&ssig=c", "clip",
                           MediaKind::Video, "v1"));
}

TEST(MediaDownloadTest, EachKindIsSavedAsWhatItIsUnlessLeftOut)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    setRetryPauseHook([](int) {});
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("img.example.test")}};
    server.route("img.example.test", "/large/p1.jpg", CannedResponse::ok(kStill, "image/jpeg"));
    server.route("img.example.test", "/live/m1.mov", CannedResponse::ok(kMotion, "video/quicktime"));
    server.route("img.example.test", "/large/g1.gif", CannedResponse::ok(kGif, "image/gif"));
    server.route("img.example.test", "/o0/v1080.mp4", CannedResponse::ok(kVideo, "video/mp4"));

    RecordingEvents events;
    Session session(dir.path() + u'/', events);
    session.sleep = [](int) {};
    session.sources.prepend(&kMediaSource);
    ASSERT_EQ(startList(session, ListRequest{QStringLiteral("http://media.example.test/owner")}),
              ListCommand::Started);
    session.waitForThreads();
    ASSERT_EQ(events.listResult(), ListResult::Listed);

    const struct {
        const char *what;
        MediaOptions media;
        uint8_t fileBase;
        QStringList files;
    } cases[] = {
        {"everything", {}, kFileBaseDescription, {"anim.gif", "clip.mp4", "live.jpg", "live.mov", "pic.vrx"}},
        {"no moving parts", {false, true}, kFileBaseDescription, {"anim.gif", "clip.mp4", "live.jpg", "pic.vrx"}},
        {"no videos", {true, false}, kFileBaseDescription, {"anim.gif", "live.jpg", "live.mov", "pic.vrx"}},
        // Named by address: the query is no part of a name, and the moving part still
        // takes its still's.
        {"named by address", {}, kFileBaseAddress, {"g1.gif", "p1.jpg", "p1.mov", "pic.vrx", "v1080.mp4"}},
        // By number, the GIF is still a GIF and the video a video; a moving part takes
        // no number of its own.
        {"numbered", {}, kFileBaseSequence, {"1.jpg", "1.mov", "2.gif", "3.mp4", "pic.vrx"}},
    };
    Downloader downloader(session, events);
    int run = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString save = dir.path() + QStringLiteral("/save%1").arg(++run);
        DownloadRequest request = downloadRequestFor(session.settings(), SourceType::Sina, save, {0});
        request.media = c.media;
        request.rules.fileBase = c.fileBase;
        ASSERT_EQ(downloader.start(request), DownloadCommand::Started);
        session.waitForThreads();
        EXPECT_EQ(events.downloadResult(), DownloadResult::Finished);
        EXPECT_EQ(events.downloadCounts().failed, 0);
        EXPECT_EQ(events.downloadCounts().saved, c.files.size() - 1);
        const QString folder = save + QStringLiteral("/Owner/post/");
        EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), c.files);
        for (const QString &name : c.files) {
            QFile file(folder + name);
            if (!name.endsWith(u".vrx") && file.open(QIODevice::ReadOnly)) {
                const QByteArray body = file.readAll();
                const QByteArray &expected = name.endsWith(u".mov") ? kMotion
                    : name.endsWith(u".gif")                        ? kGif
                    : name.endsWith(u".mp4")                        ? kVideo
                                                                    : kStill;
                EXPECT_EQ(body, expected) << name.toStdString();
            }
        }
    }
    for (const RecordedRequest &asked : server.requests())
        EXPECT_EQ(asked.header("Referer"), QByteArray("http://media.example.test/"));
    setRetryPauseHook({});
}

}  // namespace

}  // namespace pictrove
