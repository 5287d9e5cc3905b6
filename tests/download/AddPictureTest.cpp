// addPicture on its own, as a picture fetcher calls it: the album folder at the first
// picture, the skip-previous stop, and input from remote pages that must not steer
// files out of the run's base folder.

#include "download/AddPicture.h"
#include "download/DownloadJob.h"
#include "download/AlbumSideFiles.h"
#include "sources/MainWindowState.h"
#include "support/RecordingWindowPort.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class AddPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        state.sourceTypeIndex = 4;
        state.downState = DOWN_RUNNING;
        state.downloadJob.clearQueue();
        state.downloadJob.setJobFolder(base());
    }

    QString base() const { return m_dir.path() + u'/'; }

    int addAlbum(const QString &name)
    {
        AlbumRecord record;
        record.name = name;
        return state.albums.appendUnique(record) - 1;
    }

    void setOptions(uint16_t options)
    {
        state.updateSettings([&](SettingsBlock &block) { block.nameRules[4].options = options; });
    }

    QTemporaryDir m_dir;
    RecordingWindowPort port;
    MainWindowState state{port};
};

TEST_F(AddPictureTest, FirstPictureMakesTheAlbumFolder)
{
    const int album = addAlbum(QStringLiteral("Trip"));
    addPicture(state, QStringLiteral("http://h/1.jpg"), QStringLiteral("a"), QStringLiteral("Referer: x"), album);
    addPicture(state, QStringLiteral("http://h/2.jpg"), QStringLiteral("a"), QString(), album);

    const DownloadJob &job = state.downloadJob;
    EXPECT_EQ(job.jobFolder(), base() + QStringLiteral("Trip/"));
    EXPECT_TRUE(QFileInfo(job.jobFolder()).isDir());
    EXPECT_EQ(job.jobAddresses, (QStringList{"http://h/1.jpg", "http://h/2.jpg"}));
    EXPECT_EQ(job.jobFileNames, (QStringList{"a.jpg", "a(1).jpg"}));
    EXPECT_EQ(job.jobExtraHeaders, (QStringList{"Referer: x", ""}));
    EXPECT_EQ(port.textsOf(IDC_STATUS_DETAIL), (QStringList{"已获取到1张图片信息", "已获取到2张图片信息"}));
}

TEST_F(AddPictureTest, SkipPreviousStopsAtTheMarkedPicture)
{
    setOptions(OPT_SKIP_PREVIOUS);
    const int album = addAlbum(QStringLiteral("Trip"));
    QDir().mkpath(base() + QStringLiteral("Trip"));
    // The previous run's first job carried a fallback address.
    writeMarkerFile(base() + QStringLiteral("Trip/"), QStringLiteral("http://h/3.jpg\r\nhttp://f/3.jpg"));

    const char *listed[] = {"http://h/1.jpg", "http://h/2.jpg\r\nhttp://f/2.jpg", "http://h/3.jpg\r\nhttp://f/3.jpg",
                            "http://h/4.jpg"};
    for (const char *address : listed)
        addPicture(state, QString::fromLatin1(address), QStringLiteral("p"), QString(), album);

    EXPECT_EQ(state.downState.load(), DOWN_ALBUM_CLOSED);
    EXPECT_EQ(state.downloadJob.queuedCount(), 2);
    // Pictures handed over after the close change nothing, not even the folder.
    EXPECT_EQ(state.downloadJob.jobFolder(), base() + QStringLiteral("Trip/"));
    EXPECT_FALSE(QFileInfo::exists(base() + QStringLiteral("Trip/Trip")));
}

TEST_F(AddPictureTest, FirstPictureOfThePreviousRunQueuesNothing)
{
    setOptions(OPT_SKIP_PREVIOUS);
    const int album = addAlbum(QStringLiteral("Trip"));
    QDir().mkpath(base() + QStringLiteral("Trip"));
    writeMarkerFile(base() + QStringLiteral("Trip/"), QStringLiteral("http://h/1.jpg"));
    addPicture(state, QStringLiteral("http://h/1.jpg"), QStringLiteral("p"), QString(), album);
    addPicture(state, QStringLiteral("http://h/2.jpg"), QStringLiteral("p"), QString(), album);
    EXPECT_EQ(state.downloadJob.queuedCount(), 0);
    EXPECT_EQ(state.downState.load(), DOWN_ALBUM_CLOSED);
    EXPECT_EQ(state.downloadJob.jobFolder(), base() + QStringLiteral("Trip/"));
}

TEST_F(AddPictureTest, AbortIsNeverOverwritten)
{
    setOptions(OPT_SKIP_PREVIOUS);
    const int album = addAlbum(QStringLiteral("Trip"));
    state.downState = DOWN_ABORT;
    addPicture(state, QStringLiteral("http://h/1.jpg"), QStringLiteral("p"), QString(), album);
    EXPECT_EQ(state.downState.load(), DOWN_ABORT);
}

TEST_F(AddPictureTest, RemoteNamesStayInsideTheBaseFolder)
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
        state.downloadJob.clearQueue();
        state.downloadJob.setJobFolder(base());
        state.albums.clear();
        const int album = addAlbum(QString::fromUtf16(c.albumName));
        addPicture(state, QStringLiteral("http://h/1.jpg"), QString::fromUtf16(c.title), QString(), album);
        EXPECT_EQ(state.downloadJob.jobFolder(), base() + QString::fromUtf16(c.folder));
        EXPECT_EQ(state.downloadJob.jobFileNames, QStringList{QString::fromUtf16(c.file)});
    }
}

TEST_F(AddPictureTest, TitleLineDroppedButPictureQueued)
{
    setOptions(OPT_TITLE_FILE);
    const int album = addAlbum(QStringLiteral("Trip"));
    addPicture(state, QStringLiteral("http://h/1.jpg"), QStringLiteral("one"), QString(), album);
    const QString titles = base() + QStringLiteral("Trip/Trip.txt");
    ASSERT_TRUE(QFile::remove(titles));
    addPicture(state, QStringLiteral("http://h/2.jpg"), QStringLiteral("two"), QString(), album);
    EXPECT_EQ(state.downloadJob.queuedCount(), 2);
    EXPECT_FALSE(QFile::exists(titles));
}

}  // namespace
