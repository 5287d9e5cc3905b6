// The files beside the pictures (Thunder list, title file, marker) and the repairs
// run on an album's pictures afterwards: exact bytes, renames and file times.

#include "download/AlbumQueue.h"
#include "download/Folders.h"
#include "download/AlbumSideFiles.h"
#include "download/PictureRepair.h"
#include "QueuedPictures.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace pictrove {

namespace {

// The bytes of `text` in UTF-16LE, as the side files store it.
QByteArray utf16le(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

class AlbumFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString folder() const { return m_dir.path() + u'/'; }

    QByteArray read(const QString &name) const
    {
        QFile file(folder() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(folder() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
};

TEST_F(AlbumFilesTest, ThunderListIsGbkWithCrLf)
{
    QList<QueuedPicture> addresses = queuedUnder({"1.jpg", "2.jpg", "3.jpg"});
    addresses[0].picture.address = QStringLiteral("http://a/1.jpg");
    addresses[1].picture.address = QStringLiteral("http://a/图.jpg");
    addresses[1].picture.fallbackAddress = QStringLiteral("http://b/2.jpg");  // a fallback takes a second line
    addresses[2].picture.address = QStringLiteral("http://a/\u00e9\u0e01.jpg");  // outside GBK
    ASSERT_TRUE(writeThunderList(folder() + QStringLiteral("Trip.lst"), addresses));
    EXPECT_EQ(read(QStringLiteral("Trip.lst")),
              QByteArray("http://a/1.jpg\r\nhttp://a/\xCD\xBC.jpg\r\nhttp://b/2.jpg\r\nhttp://a/\xA8\xA6?.jpg\r\n"));
    EXPECT_FALSE(writeThunderList(folder() + QStringLiteral("no/such/dir.lst"), addresses));
}

TEST_F(AlbumFilesTest, TitleFileIsUtf16WithMark)
{
    const QString path = folder() + QStringLiteral("Trip.txt");
    write(QStringLiteral("Trip.txt"), "old content");
    appendTitleLine(path, QStringLiteral("Sunset &amp; 海"), 1);  // truncates, writes the mark
    appendTitleLine(path, QStringLiteral("b"), 2);
    appendTitleLine(path, QString(), 3);
    EXPECT_EQ(read(QStringLiteral("Trip.txt")),
              QByteArray("\xFF\xFE" "S\0u\0n\0s\0e\0t\0 \0&\0a\0m\0p\0;\0 \0\x77\x6D\r\0\n\0"
                         "b\0\r\0\n\0" "\r\0\n\0", 44));

    // A later line never creates the file: it would lack the mark.
    appendTitleLine(folder() + QStringLiteral("gone.txt"), QStringLiteral("x"), 2);
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("gone.txt")));
}

TEST_F(AlbumFilesTest, MarkerRoundTrip)
{
    EXPECT_EQ(readMarkerFile(folder()), QString());
    Picture first = pictureAt(QStringLiteral("http://a/1.jpg"));
    writeMarkerFile(folder(), first);
    EXPECT_EQ(read(QStringLiteral("pic.vrx")), QByteArray("h\0t\0t\0p\0:\0/\0/\0a\0/\0\x31\0.\0j\0p\0g\0", 28));
    EXPECT_EQ(readMarkerFile(folder()), QStringLiteral("http://a/1.jpg"));

    // A picture with a fallback is stored with it, on a line of its own; the marker is
    // the first address.
    first.fallbackAddress = QStringLiteral("http://b/1.jpg");
    writeMarkerFile(folder(), first);
    EXPECT_EQ(read(QStringLiteral("pic.vrx")), utf16le(QStringLiteral("http://a/1.jpg\r\nhttp://b/1.jpg")));
    EXPECT_EQ(readMarkerFile(folder()), QStringLiteral("http://a/1.jpg"));
    EXPECT_EQ(readMarkerFile(folder() + QStringLiteral("missing/")), QString());
}

TEST_F(AlbumFilesTest, PictureSignatures)
{
    const struct {
        const char *label;
        QByteArray head;
        const char *type;
    } cases[] = {
        {"jpeg", QByteArray("\xFF\xD8\xFF\xE0", 4), ".jpg"},
        {"png", QByteArray("\x89PNG\r\n\x1A", 7), ".png"},
        {"gif", QByteArray("GIF89a"), ".gif"},
        {"gi without f", QByteArray("GIX"), ""},
        {"bmp", QByteArray("BM6"), ".bmp"},
        {"tga", QByteArray("\0\0\x02\0\0", 5), ".tga"},
        {"tga grey", QByteArray("\0\0\x10\0\0", 5), ".tga"},
        {"compressed tga", QByteArray("\0\0\x0A\0\0", 5), ""},
        {"ico", QByteArray("\0\0\x01\0\x01", 5), ".ico"},
        {"cur", QByteArray("\0\0\x02\0\x01", 5), ".cur"},
        {"tiff little-endian", QByteArray("II*\0", 4), ".tiff"},
        {"tiff big-endian", QByteArray("MM\0*", 4), ".tiff"},
        {"empty", QByteArray(), ""},
        {"short tga", QByteArray("\0\0\x02", 3), ".tga"},  // missing bytes count as zero
        {"text", QByteArray("<html>"), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(pictureTypeOf(c.head), QLatin1String(c.type));
    }
}

TEST_F(AlbumFilesTest, FormatFixRenamesAndFollowsTheQueue)
{
    write(QStringLiteral("x.jpg"), QByteArray("\x89PNG\r\n\x1A\n", 8));
    write(QStringLiteral("y.jpg"), "GIF89a....");
    write(QStringLiteral("z.jpg"), QByteArray("II*\0", 4));
    write(QStringLiteral("e.jpg"), QByteArray());
    write(QStringLiteral("ok.jpg"), QByteArray("\xFF\xD8\xFF", 3));
    // A picture of the new name already exists: nothing is replaced and the queued
    // name keeps pointing at the picture it names.
    write(QStringLiteral("w.jpg"), "GIF89a-w");
    write(QStringLiteral("w.gif"), "GIF89a-other");

    AlbumQueue queue;
    queue.setFolder(folder());
    queue.pictures = queuedUnder({QStringLiteral("x.jpg"), QStringLiteral("missing.jpg"), QStringLiteral("y.jpg"),
                                  QStringLiteral("z.jpg"), QStringLiteral("e.jpg"), QStringLiteral("ok.jpg"),
                                  QStringLiteral("w.jpg")});
    fixPictureFormats(queue);
    EXPECT_EQ(fileNamesOf(queue.pictures),
              (QStringList{QStringLiteral("x.png"), QStringLiteral("missing.jpg"), QStringLiteral("y.gif"),
                           QStringLiteral("z.tiff"), QStringLiteral("e.jpg"), QStringLiteral("ok.jpg"),
                           QStringLiteral("w.jpg")}));
    for (const QString &name : fileNamesOf(queue.pictures)) {
        if (name != QStringLiteral("missing.jpg")) {
            EXPECT_TRUE(QFile::exists(folder() + name)) << name.toStdString();
        }
    }
    EXPECT_EQ(read(QStringLiteral("w.gif")), QByteArray("GIF89a-other"));
    EXPECT_EQ(read(QStringLiteral("w.jpg")), QByteArray("GIF89a-w"));
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("x.jpg")));

    QString path = folder() + QStringLiteral("x.png");
    EXPECT_FALSE(fixPictureType(path));  // already right
    EXPECT_EQ(path, folder() + QStringLiteral("x.png"));
}

TEST_F(AlbumFilesTest, OrderStampsOneMinuteApart)
{
    AlbumQueue queue;
    queue.setFolder(folder());
    queue.pictures = queuedUnder({QStringLiteral("1.jpg"), QStringLiteral("2.jpg"), QStringLiteral("gone.jpg"),
                                  QStringLiteral("4.jpg")});
    for (const QString &name : fileNamesOf(queue.pictures)) {
        if (name != QStringLiteral("gone.jpg"))
            write(name, "x");
    }
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    fixPictureOrder(queue);
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    auto modified = [&](const char *name) {
        return QFileInfo(folder() + QLatin1String(name)).lastModified().toSecsSinceEpoch();
    };
    const qint64 t = modified("1.jpg");
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    EXPECT_EQ(modified("2.jpg"), t - 60);
    EXPECT_EQ(modified("4.jpg"), t - 180);  // the missing picture used up its minute
    EXPECT_EQ(QFileInfo(folder() + QStringLiteral("4.jpg")).lastRead().toSecsSinceEpoch(), t - 180);
    EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("gone.jpg")));
}

TEST_F(AlbumFilesTest, EnsureFolderCreatesEveryLevel)
{
    QString failedLevel;
    QString path = QStringLiteral("  ") + folder() + QStringLiteral("pics/Anna  ");
    ASSERT_TRUE(ensureFolder(path, failedLevel));
    EXPECT_EQ(path, folder() + QStringLiteral("pics/Anna/"));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(ensureFolder(path, failedLevel));  // existing levels are fine
    EXPECT_TRUE(failedLevel.isEmpty());

    // A file in the way: its path is named and the walk stops there.
    write(QStringLiteral("file"), "x");
    QString blocked = folder() + QStringLiteral("file/sub/");
    EXPECT_FALSE(ensureFolder(blocked, failedLevel));
    EXPECT_EQ(failedLevel, folder() + QStringLiteral("file"));
    EXPECT_FALSE(QFileInfo::exists(folder() + QStringLiteral("file/sub")));
}

TEST_F(AlbumFilesTest, StampTimesSetsBothTimes)
{
    write(QStringLiteral("p.jpg"), "x");
    const qint64 when = 1'400'000'000;
    stampTimes(folder() + QStringLiteral("p.jpg"), when);
    stampTimes(folder(), when);
    const QFileInfo file(folder() + QStringLiteral("p.jpg"));
    EXPECT_EQ(file.lastModified().toSecsSinceEpoch(), when);
    EXPECT_EQ(file.lastRead().toSecsSinceEpoch(), when);
    EXPECT_EQ(QFileInfo(m_dir.path()).lastModified().toSecsSinceEpoch(), when);
    stampTimes(folder() + QStringLiteral("p.jpg"), 0);  // no time: unchanged
    EXPECT_EQ(QFileInfo(folder() + QStringLiteral("p.jpg")).lastModified().toSecsSinceEpoch(), when);
}

}  // namespace

}  // namespace pictrove
