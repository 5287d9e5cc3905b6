// Download runs with the archive: a picture is recorded once its file is whole, a
// failure is not (so the next run retries it), a picture archived once is not fetched
// again wherever its file went, files already there are adopted, and a bad archive is
// moved aside without stopping the run.

#include "download/DownloadArchive.h"
#include "support/PrintQt.h"
#include "DownloaderFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace pictrove {

namespace {

class ArchivedDownloadTest : public DownloaderTest {
protected:
    void SetUp() override
    {
        DownloaderTest::SetUp();
        setRules(kOptionSkipPrevious, 2);
    }

    QString archivePath() const { return downloadArchivePath(session.dataFolder()); }
    int archived() const { return DownloadArchive(archivePath()).count(); }
    bool isArchived(const Pic &pic) const
    {
        const QString key = pictureAddress(pic);
        return DownloadArchive(archivePath())
            .archivedAmong(QStringLiteral("sina-blog"), QStringLiteral("Anna"), {key})
            .contains(key);
    }

    void runWith(const QList<int> &albums, bool useArchive, bool listArchivedAlbumsWhole = false)
    {
        server.clearLog();
        events.clear();
        DownloadRequest request = requestFor(albums);
        request.useArchive = useArchive;
        request.listArchivedAlbumsWhole = listArchivedAlbumsWhole;
        ASSERT_EQ(downloader.start(request), DownloadCommand::Started);
        session.waitForThreads();
    }

    QList<QByteArray> sortedPictureRequests() const
    {
        QList<QByteArray> asked = pictureRequests();
        std::sort(asked.begin(), asked.end());  // two workers: arrival order varies
        return asked;
    }

    QString folder() const { return base() + QStringLiteral("Trip/"); }
};

TEST_F(ArchivedDownloadTest, RecordsOnlyWholeFilesAndRetriesFailures)
{
    addAlbum(QStringLiteral("Trip"), trip);
    server.route("s1.sinaimg.cn", "/orignal/t3.jpg", CannedResponse::error(404));
    server.route("s1.sinaimg.cn", "/orignal/t4.jpg", CannedResponse::ok(trip.at(3).body, "image/jpeg").withCut(100));
    runWith({0}, true);
    EXPECT_EQ(events.downloadCounts().saved, 2);
    EXPECT_EQ(events.downloadCounts().failed, 2);
    EXPECT_EQ(archived(), 2);
    EXPECT_TRUE(isArchived(trip.at(0)));
    EXPECT_TRUE(isArchived(trip.at(1)));
    EXPECT_FALSE(isArchived(trip.at(2)));  // an error answer
    EXPECT_FALSE(isArchived(trip.at(3)));  // cut off half-way: no file, no row

    // The failed pictures are asked again (the album has no marker), the others not.
    server.route("s1.sinaimg.cn", "/orignal/t3.jpg", CannedResponse::ok(trip.at(2).body, "image/jpeg"));
    server.route("s1.sinaimg.cn", "/orignal/t4.jpg", CannedResponse::ok(trip.at(3).body, "image/jpeg"));
    runWith({0}, true);
    EXPECT_EQ(sortedPictureRequests(), (QList<QByteArray>{"/orignal/t3.jpg", "/orignal/t4.jpg"}));
    EXPECT_EQ(archived(), 4);
    EXPECT_EQ(events.downloadCounts().skipped, 2);
}

// A failure is kept apart, with its reason, for `missing` to tell: it never counts as
// archived, and the picture's saving forgets it.
TEST_F(ArchivedDownloadTest, AFailureKeepsItsReasonUntilThePictureIsSaved)
{
    addAlbum(QStringLiteral("Trip"), trip);
    server.route("s1.sinaimg.cn", "/orignal/t3.jpg", CannedResponse::error(404));
    runWith({0}, true);
    const QStringList keys{pictureAddress(trip.at(1)), pictureAddress(trip.at(2))};
    const auto reasons = [&] {
        return DownloadArchive(archivePath()).failureReasons(QStringLiteral("sina-blog"), QStringLiteral("Anna"), keys);
    };
    const QHash<QString, QString> failed = reasons();
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed.value(keys.at(1)), events.logOf(QStringLiteral("pictureFailed")).value(0).section(u' ', 2, -1));
    EXPECT_FALSE(failed.value(keys.at(1)).isEmpty());
    EXPECT_FALSE(isArchived(trip.at(2)));

    server.route("s1.sinaimg.cn", "/orignal/t3.jpg", CannedResponse::ok(trip.at(2).body, "image/jpeg"));
    runWith({0}, true);
    EXPECT_TRUE(isArchived(trip.at(2)));
    EXPECT_TRUE(reasons().isEmpty());
}

// Asked to, an album the archive knows is listed whole: new pictures at its top and in
// its middle are fetched, nothing else, and none is saved over another's file.
TEST_F(ArchivedDownloadTest, NewPicturesAtTheTopAndInTheMiddleOfAnArchivedAlbum)
{
    addAlbum(QStringLiteral("Trip"), trip);
    runWith({0}, true);
    ASSERT_EQ(archived(), 4);
    ASSERT_TRUE(QFileInfo::exists(folder() + QStringLiteral("pic.vrx")));

    // The new top picture takes the title, and so the rule-made name, of the old first.
    const Pic top{"n1.jpg", "Sunset", jpeg("7")};
    const Pic middle{"n2.jpg", "New middle", jpeg("8")};
    const QList<Pic> grown{top, trip.at(0), trip.at(1), middle, trip.at(2), trip.at(3)};
    server.route("photo.blog.sina.com.cn", "/category/u/1234/s/1/page1", CannedResponse::ok(categoryPage(grown)));
    for (const Pic &p : {top, middle})
        server.route("s1.sinaimg.cn", "/orignal/" + p.name, CannedResponse::ok(p.body, "image/jpeg"));
    runWith({0}, true, true);
    EXPECT_EQ(sortedPictureRequests(), (QList<QByteArray>{"/orignal/n1.jpg", "/orignal/n2.jpg"}));
    EXPECT_EQ(events.downloadCounts().skipped, 4);
    EXPECT_EQ(archived(), 6);
    // No saved file was written over: the new one took a free name ("(2)" is the one
    // the rules now give the old last picture, so it is not free either).
    EXPECT_EQ(read(folder() + QStringLiteral("Sunset.jpg")), trip.at(0).body);
    EXPECT_EQ(read(folder() + QStringLiteral("Sunset(1).jpg")), trip.at(3).body);
    EXPECT_EQ(read(folder() + QStringLiteral("Sunset(3).jpg")), top.body);

    // Not asked to, the marker (now the new top picture) ends the listing at once.
    runWith({0}, true);
    EXPECT_TRUE(pictureRequests().isEmpty());
    EXPECT_EQ(events.downloadCounts().listed, 0);
}

// Renamed, moved away, or removed: an archived picture is not fetched again; the
// marker is not what holds it back (it is removed here). Ignoring the archive for a
// run fetches what has no file under its rule-made name.
TEST_F(ArchivedDownloadTest, RenamedOrMovedFilesAreNotFetchedAgain)
{
    addAlbum(QStringLiteral("Trip"), trip);
    runWith({0}, true);
    ASSERT_EQ(archived(), 4);
    ASSERT_TRUE(QFile::remove(folder() + QStringLiteral("pic.vrx")));
    ASSERT_TRUE(QFile::rename(folder() + QStringLiteral("Sunset.jpg"), folder() + QStringLiteral("renamed.jpg")));
    ASSERT_TRUE(QDir().mkpath(base() + QStringLiteral("sorted")));
    ASSERT_TRUE(QFile::rename(folder() + QStringLiteral("Cxy.jpg"), base() + QStringLiteral("sorted/Cxy.jpg")));
    ASSERT_TRUE(QFile::remove(folder() + QStringLiteral("escape.jpg")));

    runWith({0}, true);
    EXPECT_TRUE(pictureRequests().isEmpty());
    EXPECT_EQ(events.downloadCounts().skipped, 4);

    // That run ended whole and wrote the marker again; without it, and without the
    // archive, only the rule-made names count.
    ASSERT_TRUE(QFile::remove(folder() + QStringLiteral("pic.vrx")));
    runWith({0}, false);
    EXPECT_EQ(sortedPictureRequests(),
              (QList<QByteArray>{"/orignal/t1.jpg", "/orignal/t2.jpg", "/orignal/t3.jpg"}));
}

// A folder downloaded before the archive existed: its files are recorded without a
// request, and from then on a renamed one is still known.
TEST_F(ArchivedDownloadTest, AdoptsFilesThatAreAlreadyThere)
{
    addAlbum(QStringLiteral("Trip"), trip);
    runWith({0}, false);
    ASSERT_FALSE(QFileInfo::exists(archivePath()));
    ASSERT_TRUE(QFile::remove(folder() + QStringLiteral("pic.vrx")));
    ASSERT_TRUE(QFile::remove(folder() + QStringLiteral("Cxy.jpg")));

    runWith({0}, true);
    EXPECT_EQ(pictureRequests(), QList<QByteArray>{"/orignal/t3.jpg"});
    EXPECT_EQ(archived(), 4);
    EXPECT_TRUE(isArchived(trip.at(0)));

    ASSERT_TRUE(QFile::remove(folder() + QStringLiteral("pic.vrx")));
    ASSERT_TRUE(QFile::rename(folder() + QStringLiteral("Sunset.jpg"), folder() + QStringLiteral("mine.jpg")));
    runWith({0}, true);
    EXPECT_TRUE(pictureRequests().isEmpty());
}

// Without skip-previous the archive is only written: everything is fetched.
TEST_F(ArchivedDownloadTest, WithoutSkipPreviousEverythingIsFetched)
{
    addAlbum(QStringLiteral("Trip"), trip);
    runWith({0}, true);
    setRules(0, 2);
    runWith({0}, true);
    EXPECT_EQ(pictureRequests().size(), 4);
    EXPECT_EQ(archived(), 4);  // one row per picture, also when saved twice
}

TEST_F(ArchivedDownloadTest, ABadArchiveIsMovedAsideAndTheRunGoesOn)
{
    addAlbum(QStringLiteral("Trip"), trip);
    {
        QFile file(archivePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("not a database at all\n").repeated(100));
    }
    runWith({0}, true);
    EXPECT_EQ(events.downloadResult(), DownloadResult::Finished);
    EXPECT_EQ(events.downloadCounts().saved, 4);
    const QStringList moved = events.log().filter(QStringLiteral("archiveUnusable"));
    ASSERT_EQ(moved.size(), 1);
    EXPECT_TRUE(moved.at(0).contains(archivePath() + QStringLiteral(" -> ") + archivePath() + QStringLiteral(".bad-")))
        << qPrintable(moved.at(0));
    EXPECT_EQ(QDir(session.dataFolder()).entryList({QStringLiteral("archive.sqlite.bad-*")}, QDir::Files).size(), 1);
    EXPECT_EQ(archived(), 4);  // the new archive
}

// Damage deeper in the file shows only when a statement meets it: the run goes on
// (the pictures whose look-up failed are fetched), and the file is moved aside at its
// end, never emptied.
TEST_F(ArchivedDownloadTest, DamageMetDuringARunMovesTheArchiveAsideAtItsEnd)
{
    addAlbum(QStringLiteral("Trip"), trip);
    {
        DownloadArchive archive(archivePath());
        QList<ArchivedFile> rows;
        for (int i = 0; i < 3000; ++i) {
            ArchivedFile file;
            file.service = QStringLiteral("sina-blog");
            file.ownerId = QStringLiteral("Anna");
            file.pictureId = QStringLiteral("http://s1.sinaimg.cn/orignal/old%1.jpg").arg(i);
            file.path = QStringLiteral("Anna/old/%1.jpg").arg(i);
            rows.append(file);
        }
        ASSERT_TRUE(archive.record(rows));
    }
    qint64 damagedSize = 0;
    {
        QFile file(archivePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_GT(file.size(), 16 * 4096);
        file.seek(4096);  // the first page, with the schema, stays
        file.write(QByteArray(file.size() - 4096, '\x5a'));
        damagedSize = file.size();
    }

    runWith({0}, true);
    EXPECT_EQ(events.downloadResult(), DownloadResult::Finished);
    EXPECT_EQ(events.downloadCounts().saved, 4);
    const QStringList lines = events.log();
    const QStringList moved = lines.filter(QStringLiteral("archiveUnusable"));
    ASSERT_EQ(moved.size(), 1);
    // Said after the album, before the run's end.
    EXPECT_GT(lines.indexOf(moved.at(0)), lines.indexOf(lines.filter(QStringLiteral("albumFinished")).value(0)));
    const QStringList aside = QDir(session.dataFolder()).entryList({QStringLiteral("archive.sqlite.bad-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    // Kept whole (SQLite may have written its last pages back into it on closing).
    EXPECT_GE(QFileInfo(session.dataFolder() + aside.at(0)).size(), damagedSize);
    EXPECT_EQ(archived(), 0);  // a new archive: the next run adopts the files
}

}  // namespace

}  // namespace pictrove
