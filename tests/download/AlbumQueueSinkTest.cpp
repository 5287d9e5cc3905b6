// AlbumQueueSink on its own, as a picture fetcher feeds it: the album folder at the
// first picture, the skip-previous stop, and input from remote pages that must not
// steer files out of the run's base folder.

#include "download/AlbumQueue.h"
#include "download/AlbumQueueSink.h"
#include "download/AlbumSideFiles.h"
#include "download/FileNaming.h"
#include "QueuedPictures.h"
#include "support/RecordingEvents.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>

namespace pictrove {

namespace {

class AlbumQueueSinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        queue.clear();
        queue.setFolder(base());
    }

    QString base() const { return m_dir.path() + u'/'; }

    // A sink for the album `name`, as the download sets it up for one album of one.
    AlbumQueueSink sinkFor(const QString &name)
    {
        AlbumQueueSink::Album album;
        album.record.name = name;
        album.folderName = albumFolderName(album.record, rules);
        album.chosenCount = 1;
        album.listedCount = 1;
        return AlbumQueueSink([this] { return stopRequested.load(); }, queue, rules, album, events);
    }

    QTemporaryDir m_dir;
    RecordingEvents events;
    std::atomic<bool> stopRequested{false};
    AlbumQueue queue;
    NameRules rules;
};

TEST_F(AlbumQueueSinkTest, FirstPictureMakesTheAlbumFolder)
{
    AlbumQueueSink sink = sinkFor(QStringLiteral("Trip"));
    sink.addPicture(pictureAt(QStringLiteral("http://h/1.jpg"), QStringLiteral("a"), QStringLiteral("Referer: x")));
    sink.addPicture(pictureAt(QStringLiteral("http://h/2.jpg"), QStringLiteral("a")));

    EXPECT_EQ(queue.folder(), base() + QStringLiteral("Trip/"));
    EXPECT_TRUE(QFileInfo(queue.folder()).isDir());
    EXPECT_EQ(addressesOf(queue.pictures), (QStringList{"http://h/1.jpg", "http://h/2.jpg"}));
    EXPECT_EQ(fileNamesOf(queue.pictures), (QStringList{"a.jpg", "a(1).jpg"}));
    EXPECT_EQ(headersOf(queue.pictures), (QStringList{"Referer: x", ""}));
    EXPECT_EQ(events.log(), (QStringList{"picturesListed 1", "picturesListed 2"}));
    EXPECT_FALSE(sink.albumClosed());
}

TEST_F(AlbumQueueSinkTest, SkipPreviousStopsAtTheMarkedPicture)
{
    rules.options = kOptionSkipPrevious;
    AlbumQueueSink sink = sinkFor(QStringLiteral("Trip"));
    QDir().mkpath(base() + QStringLiteral("Trip"));
    // The previous run's first job carried a fallback address.
    Picture previousFirst = pictureAt(QStringLiteral("http://h/3.jpg"));
    previousFirst.fallbackAddress = QStringLiteral("http://f/3.jpg");
    writeMarkerFile(base() + QStringLiteral("Trip/"), previousFirst);

    const struct {
        const char *address;
        const char *fallback;
    } listed[] = {{"http://h/1.jpg", ""}, {"http://h/2.jpg", "http://f/2.jpg"}, {"http://h/3.jpg", "http://f/3.jpg"},
                  {"http://h/4.jpg", ""}};
    for (const auto &l : listed) {
        Picture picture = pictureAt(QString::fromLatin1(l.address), QStringLiteral("p"));
        picture.fallbackAddress = QString::fromLatin1(l.fallback);
        sink.addPicture(picture);
    }

    EXPECT_TRUE(sink.albumClosed());
    EXPECT_EQ(queue.count(), 2);
    EXPECT_EQ(events.logOf(QStringLiteral("picturesListed")).size(), 2);
    // Pictures handed over after the close change nothing, not even the folder.
    EXPECT_EQ(queue.folder(), base() + QStringLiteral("Trip/"));
    EXPECT_FALSE(QFileInfo::exists(base() + QStringLiteral("Trip/Trip")));
}

TEST_F(AlbumQueueSinkTest, FirstPictureOfThePreviousRunQueuesNothing)
{
    rules.options = kOptionSkipPrevious;
    AlbumQueueSink sink = sinkFor(QStringLiteral("Trip"));
    QDir().mkpath(base() + QStringLiteral("Trip"));
    writeMarkerFile(base() + QStringLiteral("Trip/"), pictureAt(QStringLiteral("http://h/1.jpg")));
    sink.addPicture(pictureAt(QStringLiteral("http://h/1.jpg"), QStringLiteral("p")));
    sink.addPicture(pictureAt(QStringLiteral("http://h/2.jpg"), QStringLiteral("p")));
    EXPECT_EQ(queue.count(), 0);
    EXPECT_TRUE(sink.albumClosed());
    EXPECT_EQ(queue.folder(), base() + QStringLiteral("Trip/"));
    EXPECT_TRUE(events.log().isEmpty());
}

// The run's stop closes every album being listed: nothing more is queued or made.
TEST_F(AlbumQueueSinkTest, StopClosesTheAlbum)
{
    AlbumQueueSink sink = sinkFor(QStringLiteral("Trip"));
    sink.addPicture(pictureAt(QStringLiteral("http://h/1.jpg"), QStringLiteral("p")));
    ASSERT_FALSE(sink.albumClosed());
    stopRequested = true;
    sink.addPicture(pictureAt(QStringLiteral("http://h/2.jpg"), QStringLiteral("p")));
    EXPECT_TRUE(sink.albumClosed());
    EXPECT_EQ(queue.count(), 1);
    EXPECT_EQ(events.log(), QStringList{"picturesListed 1"});
}

TEST_F(AlbumQueueSinkTest, RemoteNamesStayInsideTheBaseFolder)
{
    const struct {
        const char *label;
        const char16_t *albumName;
        const char16_t *title;
        const char16_t *folder;
        const char16_t *file;
    } cases[] = {
        {"climbing album and title", u"../../etc", u"../../passwd", u"etc/", u"passwd.jpg"},
        {"absolute title", u"Trip", u"/etc/cron.d/job.png", u"Trip/", u"etccron.djob.png"},
        {"drive-letter title", u"Trip", u"C:\\x\\y.jpg", u"Trip/", u"Cxy.jpg"},
        {"dots only", u"..", u"..", u"\u3002\u3002/", u"\u3002\u3002.jpg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        queue.clear();
        queue.setFolder(base());
        AlbumQueueSink sink = sinkFor(QString::fromUtf16(c.albumName));
        sink.addPicture(pictureAt(QStringLiteral("http://h/1.jpg"), QString::fromUtf16(c.title)));
        EXPECT_EQ(queue.folder(), base() + QString::fromUtf16(c.folder));
        EXPECT_EQ(fileNamesOf(queue.pictures), QStringList{QString::fromUtf16(c.file)});
    }
}

TEST_F(AlbumQueueSinkTest, TitleLineDroppedButPictureQueued)
{
    rules.options = kOptionTitleFile;
    AlbumQueueSink sink = sinkFor(QStringLiteral("Trip"));
    sink.addPicture(pictureAt(QStringLiteral("http://h/1.jpg"), QStringLiteral("one")));
    const QString titles = base() + QStringLiteral("Trip/Trip.txt");
    ASSERT_TRUE(QFile::remove(titles));
    sink.addPicture(pictureAt(QStringLiteral("http://h/2.jpg"), QStringLiteral("two")));
    EXPECT_EQ(queue.count(), 2);
    EXPECT_FALSE(QFile::exists(titles));
}

}  // namespace

// ?n counts a post's pictures as they arrive; a moving part shares its still's number
// and a picture without a post id has none.
TEST_F(AlbumQueueSinkTest, NumberWithinPostCountsEachPostsPictures)
{
    rules.fileBase = kFileBaseSequence;
    rules.filePrefix = QStringLiteral("?p?n_");
    rules.folderBase = kFolderBaseNone;
    AlbumQueueSink sink = sinkFor(QStringLiteral("Trip"));
    const struct {
        const char *postId;
        MediaKind kind;
    } arrivals[] = {
        {"A", MediaKind::Still}, {"A", MediaKind::Still}, {"A", MediaKind::LiveMotion}, {"B", MediaKind::Video},
        {"", MediaKind::Still},  {"A", MediaKind::Still},
    };
    int k = 0;
    for (const auto &arrival : arrivals) {
        Picture picture = pictureAt(QStringLiteral("http://h/%1.jpg").arg(++k));
        picture.postId = QString::fromLatin1(arrival.postId);
        picture.kind = arrival.kind;
        sink.addPicture(picture);
    }
    EXPECT_EQ(fileNamesOf(queue.pictures),
              QStringList({QStringLiteral("A1_1.jpg"), QStringLiteral("A2_2.jpg"), QStringLiteral("A2_2.mov"),
                           QStringLiteral("B1_3.mp4"), QStringLiteral("_4.jpg"), QStringLiteral("A1_5.jpg")}));
}

}  // namespace pictrove
