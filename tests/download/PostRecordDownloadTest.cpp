// What a download keeps of each picture's post, through the whole engine with a source
// of dated posts: the post's letters in the file names, the post times as the files'
// times with and without the order repair.

#include "download/AlbumSidecar.h"
#include "download/Downloader.h"
#include "net/NetworkSetup.h"
#include "sources/AlbumPictures.h"
#include "sources/ListAcquisition.h"
#include "sources/ListContext.h"
#include "sources/PictureSink.h"
#include "sources/Session.h"
#include "sources/Sources.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "support/RecordingEvents.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace pictrove {

namespace {

const QByteArray kPicture = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(500, 'x');
constexpr int64_t kPostOne = 1706716799;  // 2024-01-31 23:59:59 UTC+8
constexpr int64_t kPostTwo = 1706630400;  // 2024-01-31 00:00:00 UTC+8

bool claimsDated(const QString &address)
{
    return address.startsWith(u"http://dated.example.test/");
}

ListOutcome listDatedAlbums(const QString &address, ListContext &context);
void listDatedPictures(const AlbumWalk &walk, PictureSink &sink);

const Source kDatedSource{
    "dated", &claimsDated, &listDatedAlbums, &listDatedPictures, u"", 1,
};

// "dated": every picture has a post time; "partly": the last one has none.
ListOutcome listDatedAlbums(const QString &address, ListContext &context)
{
    for (const char *name : {"dated", "partly"}) {
        AlbumRecord album;
        album.name = QString::fromLatin1(name);
        album.url = address + u'/' + album.name;
        album.source = &kDatedSource;
        context.albums.addAlbum(album);
    }
    ListOutcome outcome;
    outcome.owner.name = QStringLiteral("Dated");
    outcome.owner.uid = QStringLiteral("777");
    return outcome;
}

// Newest post first: post 2 with two pictures, then post 1 with one.
void listDatedPictures(const AlbumWalk &walk, PictureSink &sink)
{
    const struct {
        const char *post;
        const char *picture;
        int64_t time;
    } pictures[] = {{"2", "b", kPostOne}, {"2", "c", kPostOne}, {"1", "a", kPostTwo}};
    for (const auto &p : pictures) {
        Picture picture;
        picture.address = QStringLiteral("http://img.example.test/%1/%2.jpg").arg(walk.album.name, QLatin1StringView(p.picture));
        picture.postId = QString::fromLatin1(p.post);
        picture.pictureId = QString::fromLatin1(p.picture);
        picture.postTime = walk.album.name == u"partly" && p.picture[0] == 'a' ? 0 : p.time;
        picture.postText = QStringLiteral("第%1条 \"引号\"\n换行").arg(QLatin1StringView(p.post));
        sink.addPicture(picture);
    }
}

class PostRecordDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        setRetryPauseHook([](int) {});
        for (const char *album : {"dated", "partly"}) {
            for (const char *picture : {"a", "b", "c"})
                m_server.route("img.example.test", QStringLiteral("/%1/%2.jpg").arg(QLatin1StringView(album), QLatin1StringView(picture)).toLatin1(),
                               CannedResponse::ok(kPicture, "image/jpeg"));
        }
    }
    void TearDown() override { setRetryPauseHook({}); }

    // Lists the owner and downloads both albums under `request`'s rules and options;
    // returns the owner's folder.
    QString download(DownloadRequest request)
    {
        RecordingEvents events;
        Session session(m_dir.path() + u'/', events);
        session.sleep = [](int) {};
        session.sources.prepend(&kDatedSource);
        EXPECT_EQ(startList(session, ListRequest{QStringLiteral("http://dated.example.test/owner")}),
                  ListCommand::Started);
        session.waitForThreads();
        Downloader downloader(session, events);
        const QString save = m_dir.path() + QStringLiteral("/save%1").arg(++m_runs);
        request.saveRoot = save;
        request.albums = {0, 1};
        EXPECT_EQ(downloader.start(request), DownloadCommand::Started);
        session.waitForThreads();
        EXPECT_EQ(events.downloadCounts().saved, 6);
        return save + QStringLiteral("/Dated/");
    }

    static int64_t fileTime(const QString &path)
    {
        return QFileInfo(path).lastModified().toSecsSinceEpoch();
    }

    QTemporaryDir m_dir;
    LoopbackServer m_server;
    ScopedRouting m_routing{m_server, {QStringLiteral("img.example.test")}};
    int m_runs = 0;
};

TEST_F(PostRecordDownloadTest, NamesCarryThePostsLetters)
{
    DownloadRequest request;
    request.rules.fileBase = kFileBaseSequence;
    request.rules.filePrefix = QStringLiteral("?d_?p_?n_?i_?o_");
    const QString owner = download(request);
    EXPECT_EQ(QDir(owner + QStringLiteral("dated")).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name),
              (QStringList{"20240131_1_1_a_777_3.jpg", "20240131_2_1_b_777_1.jpg", "20240131_2_2_c_777_2.jpg"}));
    // No post time: the date is an empty text.
    EXPECT_EQ(QDir(owner + QStringLiteral("partly")).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name),
              (QStringList{"20240131_2_1_b_777_1.jpg", "20240131_2_2_c_777_2.jpg", "_1_1_a_777_3.jpg"}));
}

// The files' times by the two options: the post time wins over the order repair only
// in an album where every picture has one; without the repair, each picture that has
// one gets it and the other keeps its arrival time.
TEST_F(PostRecordDownloadTest, FileTimesFollowThePostsAndTheOrderRepair)
{
    const struct {
        const char *label;
        bool postTimes;
        bool fixOrder;
        bool datedFromPosts;   // album "dated": post times (else made-up or arrival)
        bool partlyFromPosts;  // album "partly": b and c post times, a arrival
    } cases[] = {
        {"post times alone", true, false, true, true},
        {"post times and the order repair", true, true, true, false},
        {"the order repair alone", false, true, false, false},
        {"neither", false, false, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        DownloadRequest request;
        request.rules.fileBase = kFileBaseSequence;  // 1 = b, 2 = c, 3 = a
        request.rules.options = c.fixOrder ? kOptionFixOrder : 0;
        request.post.postTimeAsFileTime = c.postTimes;
        const int64_t before = QDateTime::currentSecsSinceEpoch();
        const QString owner = download(request);
        const int64_t after = QDateTime::currentSecsSinceEpoch();

        for (const char *album : {"dated", "partly"}) {
            SCOPED_TRACE(album);
            const QString folder = owner + QLatin1StringView(album) + u'/';
            const int64_t t1 = fileTime(folder + QStringLiteral("1.jpg"));
            const int64_t t2 = fileTime(folder + QStringLiteral("2.jpg"));
            const int64_t t3 = fileTime(folder + QStringLiteral("3.jpg"));
            const bool fromPosts = QLatin1StringView(album) == "dated" ? c.datedFromPosts : c.partlyFromPosts;
            if (fromPosts) {
                EXPECT_EQ(t1, kPostOne);
                EXPECT_EQ(t2, kPostOne);
                if (QLatin1StringView(album) == "dated")
                    EXPECT_EQ(t3, kPostTwo);
                else
                    EXPECT_TRUE(t3 >= before && t3 <= after) << t3;  // arrived, no post time
            } else if (c.fixOrder) {
                // The repair's made-up order, one minute apart, newest first.
                EXPECT_EQ(t1 - t2, 60);
                EXPECT_EQ(t2 - t3, 60);
                EXPECT_TRUE(t1 >= before && t1 <= after) << t1;
            } else {
                for (const int64_t t : {t1, t2, t3})
                    EXPECT_TRUE(t >= before && t <= after) << t;
            }
        }
    }
}

// The sidecar: one line per saved file, each a JSON object that parses and names a
// file of the folder with its post's values; none without the option.
TEST_F(PostRecordDownloadTest, SidecarLinesParseAndMatchTheFiles)
{
    DownloadRequest request;
    request.rules.fileBase = kFileBaseSequence;
    request.post.sidecar = true;
    const QString owner = download(request);
    for (const char *album : {"dated", "partly"}) {
        SCOPED_TRACE(album);
        const QString folder = owner + QLatin1StringView(album) + u'/';
        QFile file(folder + QStringLiteral("pictrove.jsonl"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        ASSERT_EQ(lines.size(), 4);  // three lines and the empty text after the last "\n"
        EXPECT_TRUE(lines.last().isEmpty());
        QStringList named;
        for (int i = 0; i < 3; ++i) {
            QJsonParseError error;
            const QJsonObject line = QJsonDocument::fromJson(lines.at(i), &error).object();
            ASSERT_EQ(error.error, QJsonParseError::NoError) << lines.at(i).toStdString();
            const QString name = line.value(u"file").toString();
            named.append(name);
            EXPECT_TRUE(QFileInfo::exists(folder + name)) << name.toStdString();
            const QString pictureId = line.value(u"picture_id").toString();
            EXPECT_EQ(line.value(u"address").toString(),
                      QStringLiteral("http://img.example.test/%1/%2.jpg").arg(QLatin1StringView(album), pictureId));
            EXPECT_EQ(line.value(u"kind").toString(), QStringLiteral("still"));
            EXPECT_EQ(line.value(u"album").toString(), QLatin1StringView(album));
            EXPECT_EQ(line.value(u"owner").toString(), QStringLiteral("777"));
            const QString post = line.value(u"post_id").toString();
            EXPECT_EQ(line.value(u"post_text").toString(), QStringLiteral("第%1条 \"引号\"\n换行").arg(post));
            const QJsonValue time = line.value(u"post_time");
            if (pictureId == u"a" && QLatin1StringView(album) == "partly")
                EXPECT_TRUE(time.isNull());
            else if (pictureId == u"a")
                EXPECT_EQ(time.toString(), QStringLiteral("2024-01-31T00:00:00+08:00"));
            else
                EXPECT_EQ(time.toString(), QStringLiteral("2024-01-31T23:59:59+08:00"));
        }
        named.sort();
        EXPECT_EQ(named, (QStringList{"1.jpg", "2.jpg", "3.jpg"}));
    }

    request.post.sidecar = false;
    const QString without = download(request);
    EXPECT_FALSE(QFileInfo::exists(without + QStringLiteral("dated/pictrove.jsonl")));
}

// Long lines appended one after another stay whole lines; a missing folder gives false.
TEST(AlbumSidecar, AppendedLinesStayWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + QStringLiteral("/pictrove.jsonl");
    SidecarEntry entry;
    entry.fileName = QStringLiteral("名.jpg");
    entry.picture.postText = QString(3000, u'字');
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(appendSidecarLine(path, sidecarLine(entry)));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 21);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(QJsonDocument::fromJson(lines.at(i)).object().value(u"file").toString(), entry.fileName);
    EXPECT_FALSE(appendSidecarLine(dir.path() + QStringLiteral("/none/x.jsonl"), "x\n"));
}

}  // namespace

}  // namespace pictrove
