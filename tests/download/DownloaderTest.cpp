// Whole download runs: the downloader walks chosen Sina blog albums whose category
// pages and pictures come from a loopback server, leaves folders, pictures, list files
// and markers exactly as a user would find them, and tells the front end about it.

#include "download/Downloader.h"
#include "download/ResultMessages.h"
#include "net/NetworkSetup.h"
#include "sources/ListAcquisition.h"
#include "sources/Session.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "text/CleanName.h"
#include "support/LoopbackServer.h"
#include "support/FileSizeLimit.h"
#include "support/PrintQt.h"
#include "support/RecordingEvents.h"
#include "support/ScopedRouting.h"
#include "DownloaderFixture.h"
#include "QueuedPictures.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace pictrove {

namespace {

// The events that mark the steps of a run, without the per-picture ones.
QStringList milestones(const QStringList &log)
{
    QStringList steps;
    for (const QString &line : log) {
        if (!line.startsWith(u"picturesListed") && !line.startsWith(u"pictureProgress"))
            steps.append(line);
    }
    return steps;
}

TEST_F(DownloaderTest, TwoAlbums)
{
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    run({0, 1});

    const QString tripFolder = base() + QStringLiteral("Trip/");
    const QString seaFolder = base() + QStringLiteral("Sea/");
    EXPECT_EQ(filesIn(tripFolder),
              (QStringList{"Cxy.jpg", "Sunset(1).jpg", "Sunset.jpg", "escape.jpg", "pic.vrx"}));
    EXPECT_EQ(read(tripFolder + "Sunset.jpg"), jpeg("1"));
    EXPECT_EQ(read(tripFolder + "escape.jpg"), jpeg("2"));
    EXPECT_EQ(read(tripFolder + "Cxy.jpg"), jpeg("3"));
    EXPECT_EQ(read(tripFolder + "Sunset(1).jpg"), jpeg("4"));
    EXPECT_EQ(filesIn(seaFolder), (QStringList{"Sea.jpg", "Wave.jpg", "pic.vrx"}));  // no title: album name
    EXPECT_EQ(read(tripFolder + "pic.vrx"), utf16(pictureAddress(trip.at(0))));
    EXPECT_EQ(read(seaFolder + "pic.vrx"), utf16(pictureAddress(sea.at(0))));

    // Remote titles never chose a place: everything lies in the album folders.
    QDirIterator all(m_dir.path() + QStringLiteral("/save"), QDir::Files | QDir::Hidden,
                     QDirIterator::Subdirectories);
    while (all.hasNext()) {
        const QString path = all.next();
        EXPECT_TRUE(path.startsWith(tripFolder) || path.startsWith(seaFolder)) << path.toStdString();
    }

    // Each album is listed, then transferred, then finished, in order.
    EXPECT_EQ(milestones(events.log()),
              (QStringList{"downloadStarted", "albumStarted 1/2 Trip", "transferStarted 4",
                           "albumFinished 1/2 " + tripFolder, "albumStarted 2/2 Sea", "transferStarted 2",
                           "albumFinished 2/2 " + seaFolder, "downloadFinished Finished saved=6 failed=0 skipped=0",
                           "openFolder " + seaFolder}));
    const QStringList listed = events.logOf(QStringLiteral("picturesListed"));
    EXPECT_EQ(listed.mid(0, 4), (QStringList{"picturesListed 1", "picturesListed 2", "picturesListed 3",
                                             "picturesListed 4"}));
    EXPECT_EQ(listed.mid(4), (QStringList{"picturesListed 1", "picturesListed 2"}));
    const QStringList progress = events.logOf(QStringLiteral("pictureProgress"));
    EXPECT_TRUE(progress.contains(QStringLiteral("pictureProgress 4/4 failed=0"))) << progress.join(u'|').toStdString();
    EXPECT_EQ(progress.last(), QStringLiteral("pictureProgress 2/2 failed=0"));
    EXPECT_EQ(events.downloadResult(), DownloadResult::Finished);
    const PictureCounts counts = events.downloadCounts();
    EXPECT_EQ(counts.listed, 6);
    EXPECT_EQ(counts.total, 6);
    EXPECT_EQ(counts.done, 6);
    EXPECT_EQ(counts.saved, 6);
    qint64 bytes = 0;
    for (const QList<Pic> &album : {trip, sea}) {
        for (const Pic &p : album)
            bytes += p.body.size();
    }
    EXPECT_EQ(counts.bytes, bytes);
    EXPECT_EQ(events.openedFolders(), QStringList{seaFolder});
    EXPECT_EQ(downloader.state(), DownloadState::Idle);
}

// Albums overlap: while the first album's last picture is still on its way, the next
// album is listed and its pictures transfer. The front end still hears each album from
// start to end before the next one, and the run's progress covers both.
TEST_F(DownloaderTest, NextAlbumTransfersWhileThePreviousOneEnds)
{
    setRules(kOptionOpenFolder, 3);
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    std::mutex mutex;
    std::condition_variable asked;
    int seaAsked = 0;
    bool overlapped = false;
    for (const Pic &p : sea) {
        server.route("s1.sinaimg.cn", "/orignal/" + p.name, LoopbackServer::Handler([&, p](const RecordedRequest &) {
            std::lock_guard lock(mutex);
            ++seaAsked;
            asked.notify_all();
            return CannedResponse::ok(p.body, "image/jpeg");
        }));
    }
    // Trip's last picture is answered once both of Sea's were asked for (or given up on).
    server.route("s1.sinaimg.cn", "/orignal/t4.jpg", LoopbackServer::Handler([&](const RecordedRequest &) {
        std::unique_lock lock(mutex);
        overlapped = asked.wait_for(lock, std::chrono::seconds(10), [&] { return seaAsked == 2; });
        return CannedResponse::ok(trip.at(3).body, "image/jpeg");
    }));
    run({0, 1});

    EXPECT_TRUE(overlapped);
    const QString tripFolder = base() + QStringLiteral("Trip/");
    const QString seaFolder = base() + QStringLiteral("Sea/");
    EXPECT_EQ(filesIn(tripFolder),
              (QStringList{"Cxy.jpg", "Sunset(1).jpg", "Sunset.jpg", "escape.jpg", "pic.vrx"}));
    EXPECT_EQ(filesIn(seaFolder), (QStringList{"Sea.jpg", "Wave.jpg", "pic.vrx"}));
    const QStringList log = events.log();
    EXPECT_EQ(milestones(log),
              (QStringList{"downloadStarted", "albumStarted 1/2 Trip", "transferStarted 4",
                           "albumFinished 1/2 " + tripFolder, "albumStarted 2/2 Sea", "transferStarted 2",
                           "albumFinished 2/2 " + seaFolder, "downloadFinished Finished saved=6 failed=0 skipped=0",
                           "openFolder " + seaFolder}));
    // Sea's progress, kept while Trip ended, follows Sea's start.
    const auto seaStart = log.indexOf(QStringLiteral("albumStarted 2/2 Sea"));
    EXPECT_EQ(log.indexOf(QStringLiteral("pictureProgress 2/2 failed=0")) > seaStart, true) << log.join(u'\n').toStdString();
    const PictureCounts run = events.runCounts();
    EXPECT_EQ(run.done, 6);
    EXPECT_EQ(run.saved, 6);
    EXPECT_EQ(run.bytes, events.downloadCounts().bytes);
}

TEST_F(DownloaderTest, ThunderListOnly)
{
    setRules(kOptionThunderListOnly | kOptionOpenFolder, 2);
    addAlbum(QStringLiteral("旅行"), trip);
    run({0});

    const QString folder = base() + QStringLiteral("旅行/");
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("旅行.lst")});
    QByteArray expected;
    for (const Pic &p : trip)
        expected += pictureAddress(p).toLatin1() + "\r\n";
    EXPECT_EQ(read(folder + QStringLiteral("旅行.lst")), expected);
    EXPECT_TRUE(pictureRequests().isEmpty());
    EXPECT_EQ(events.openedFolders(), QStringList{folder});
    EXPECT_EQ(events.downloadResult(), DownloadResult::Finished);
    // Listed into the list file, never transferred.
    EXPECT_TRUE(events.logOf(QStringLiteral("transferStarted")).isEmpty());
    EXPECT_EQ(events.logOf(QStringLiteral("albumFinished")), QStringList{"albumFinished 1/1 " + folder});
    const PictureCounts counts = events.downloadCounts();
    EXPECT_EQ(counts.listed, 4);
    EXPECT_EQ(counts.skipped, 4);
    EXPECT_EQ(counts.saved, 0);
}

// A picture the user's own size limits leave out is skipped for its size: no failure,
// not in the failure list, not asked for twice, and the album still gets its marker. A
// page in place of a picture stays a failure whatever its size.
TEST_F(DownloaderTest, PicturesTheSizeLimitsLeaveOutAreSkippedNotFailed)
{
    const Pic small{"small.jpg", "Small", jpeg("1")};              // 804 bytes
    const Pic big{"big.jpg", "Big", jpeg("0123456789")};          // 2004 bytes
    const Pic page{"page.jpg", "Page", QByteArray(500, 'p')};     // served as a web page
    const struct {
        const char *what;
        uint16_t minKB;
        uint16_t maxKB;
        bool withPage;
        QStringList files;
        const char *finished;
    } cases[] = {
        {"below the minimum", 1, 0, false, {"Big.jpg", "pic.vrx"}, "saved=1 failed=0 skipped=0 sizeSkipped=1"},
        {"above the maximum", 0, 1, false, {"Small.jpg", "pic.vrx"}, "saved=1 failed=0 skipped=0 sizeSkipped=1"},
        {"a small page in place of a picture", 1, 0, true, {"Big.jpg"}, "saved=1 failed=1 skipped=0 sizeSkipped=1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        session.albums.clear();
        events.clear();
        server.clearLog();
        QDir(base()).removeRecursively();
        session.updateSettings([&](SettingsBlock &block) {
            block.downloadParams[settingsIndex(SourceType::Sina)] = DownloadParams{c.minKB, c.maxKB, 2, 30};
        });
        addAlbum(QStringLiteral("Trip"), c.withPage ? QList<Pic>{small, big, page} : QList<Pic>{small, big});
        server.route("s1.sinaimg.cn", "/orignal/page.jpg", CannedResponse::ok(page.body, "text/html"));
        run({0});

        EXPECT_EQ(filesIn(base() + QStringLiteral("Trip/")), c.files);
        const QStringList log = events.log();
        EXPECT_TRUE(log.contains(QStringLiteral("downloadFinished Finished ") + QString::fromLatin1(c.finished)))
            << log.join(u'\n').toStdString();
        const QStringList failed = events.logOf(QStringLiteral("pictureFailed"));
        EXPECT_EQ(failed.size(), c.withPage ? 1 : 0) << failed.join(u'\n').toStdString();
        for (const QString &line : failed)
            EXPECT_TRUE(line.contains(u"page.jpg")) << line.toStdString();
        // Each picture asked for once: another try would bring the same size.
        EXPECT_EQ(pictureRequests().size(), c.withPage ? 3 + 1 : 2);
        EXPECT_EQ(runSummary(events.downloadCounts()).section(u'，', 1, 1), QStringLiteral("跳过 1 张（大小限制）"));
    }
}

TEST_F(DownloaderTest, TitleFiles)
{
    const struct {
        const char *label;
        uint8_t folderBase;
        const char16_t *tripFile;
        const char16_t *seaFile;
    } cases[] = {
        {"album folders", kFolderBaseAlbumName, u"Trip/Trip.txt", u"Sea/Sea.txt"},
        {"no album folders", kFolderBaseNone, u"Trip.txt", u"Sea.txt"},
    };
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        setRules(kOptionTitleFile, 3, c.folderBase);
        run({0, 1});
        QByteArray tripLines("\xFF\xFE");
        for (const Pic &p : trip)
            tripLines += utf16(QString::fromUtf8(p.title) + QStringLiteral("\r\n"));
        EXPECT_EQ(read(base() + QString::fromUtf16(c.tripFile)), tripLines);
        EXPECT_EQ(read(base() + QString::fromUtf16(c.seaFile)),
                  QByteArray("\xFF\xFE") + utf16(QStringLiteral("Wave\r\n\r\n")));
    }
    // Without album folders every picture of both albums lies beside the title files.
    EXPECT_EQ(filesIn(base()), (QStringList{"Cxy.jpg", "Sea.jpg", "Sea.txt", "Sunset(1).jpg", "Sunset.jpg",
                                            "Trip.txt", "Wave.jpg", "escape.jpg", "pic.vrx"}));
}

TEST_F(DownloaderTest, SkipPreviouslyDownloaded)
{
    setRules(kOptionSkipPrevious, 2);
    addAlbum(QStringLiteral("Trip"), trip);
    const QString folder = base() + QStringLiteral("Trip/");
    QDir().mkpath(folder);
    QFile marker(folder + QStringLiteral("pic.vrx"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write(utf16(pictureAddress(trip.at(2))));
    marker.close();

    run({0});
    QList<QByteArray> asked = pictureRequests();
    std::sort(asked.begin(), asked.end());  // two workers: arrival order varies
    EXPECT_EQ(asked, (QList<QByteArray>{"/orignal/t1.jpg", "/orignal/t2.jpg"}));
    EXPECT_EQ(filesIn(folder), (QStringList{"Sunset.jpg", "escape.jpg", "pic.vrx"}));
    EXPECT_EQ(read(folder + QStringLiteral("pic.vrx")), utf16(pictureAddress(trip.at(0))));

    // Nothing new since: nothing is queued and the marker stays.
    server.clearLog();
    run({0});
    EXPECT_TRUE(pictureRequests().isEmpty());
    EXPECT_EQ(read(folder + QStringLiteral("pic.vrx")), utf16(pictureAddress(trip.at(0))));
    EXPECT_TRUE(events.openedFolders().isEmpty());  // no option to open, and nothing listed anyway
}

// An album stopped half-way has no marker; with skip-previous its next download
// fetches only the pictures whose files are not there yet, under the same names.
TEST_F(DownloaderTest, SkipPreviousResumesAStoppedAlbum)
{
    setRules(0, 2);
    addAlbum(QStringLiteral("Trip"), trip);
    // The picture removed below stands for one that never arrived: kept out of the
    // download archive too, as a stopped picture is.
    DownloadRequest first = requestFor({0});
    first.useArchive = false;
    ASSERT_EQ(downloader.start(first), DownloadCommand::Started);
    session.waitForThreads();
    const QString folder = base() + QStringLiteral("Trip/");
    const QStringList whole = filesIn(folder);
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("pic.vrx")));
    const QString missing = whole.filter(QStringLiteral("escape")).value(0);
    ASSERT_TRUE(QFile::remove(folder + missing));

    server.clearLog();
    events.clear();
    setRules(kOptionSkipPrevious, 2);
    run({0});
    EXPECT_EQ(pictureRequests(), QList<QByteArray>{"/orignal/t2.jpg"});
    EXPECT_EQ(filesIn(folder), whole);  // the same names, the marker back
    EXPECT_EQ(events.downloadCounts().saved, 1);
    EXPECT_EQ(events.downloadCounts().skipped, 3);
}

// An album's second list page: failing after its retries leaves the album incomplete
// (reported, counted, and without the marker that would make skip-previous pass it
// over next time); repeating the first page ends the paging like a last page.
TEST_F(DownloaderTest, ListingThatBreaksOffLeavesTheAlbumIncomplete)
{
    const QList<Pic> first = trip.mid(0, 2);
    const struct {
        const char *what;
        CannedResponse secondPage;
        int pageRequests;
        bool incomplete;
    } cases[] = {
        {"page 2 keeps failing", CannedResponse::error(502), 4, true},
        {"page 2 repeats page 1", CannedResponse::ok(categoryPage(first, true)), 2, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        session.albums.clear();
        events.clear();
        server.clearLog();
        QDir(base()).removeRecursively();
        addAlbum(QStringLiteral("Trip"), {});
        server.route("photo.blog.sina.com.cn", "/category/u/1234/s/1/page1",
                     CannedResponse::ok(categoryPage(first, true)));
        for (const Pic &p : first)
            server.route("s1.sinaimg.cn", "/orignal/" + p.name, CannedResponse::ok(p.body, "image/jpeg"));
        server.route("photo.blog.sina.com.cn", "/category/u/1234/s/1/page2", c.secondPage);

        run({0});
        const QString folder = base() + QStringLiteral("Trip/");
        EXPECT_EQ(filesIn(folder), c.incomplete ? (QStringList{"Sunset.jpg", "escape.jpg"})
                                                : (QStringList{"Sunset.jpg", "escape.jpg", "pic.vrx"}));
        int pageRequests = 0;
        for (const RecordedRequest &r : server.requests())
            pageRequests += r.host() == "photo.blog.sina.com.cn" ? 1 : 0;
        EXPECT_EQ(pageRequests, c.pageRequests);
        const QStringList log = events.log();
        const QString incomplete =
            QStringLiteral("albumIncomplete Trip http://photo.blog.sina.com.cn/category/u/1234/s/1/page2: HTTP/1.1 502");
        EXPECT_EQ(std::any_of(log.begin(), log.end(), [&](const QString &line) { return line.startsWith(incomplete); }),
                  c.incomplete)
            << log.join(u'\n').toStdString();
        const QString finished = QStringLiteral("downloadFinished Finished saved=2 failed=0 skipped=0");
        EXPECT_TRUE(log.contains(c.incomplete ? finished + QStringLiteral(" incomplete=1") : finished))
            << log.join(u'\n').toStdString();
    }
}

// Names from a hostile owner's pages: an owner title and album names that clean to
// nothing but dots and blanks. Every file lands below the chosen save folder, and no
// two albums share a folder.
TEST_F(DownloaderTest, HostileNamesStayInsideTheSaveFolder)
{
    savePath = m_dir.path() + QStringLiteral("/save/a/b");
    session.owner.name = ownerFolderName(QStringLiteral(". .. /"));
    addAlbum(cleanName(QStringLiteral(". . .. &quot;"), kCleanNameTimeFallback, true), trip);
    addAlbum(cleanName(QStringLiteral(". .. /"), kCleanNameTimeFallback, true), sea);
    run({0, 1});

    EXPECT_EQ(events.downloadResult(), DownloadResult::Finished);
    EXPECT_EQ(events.downloadCounts().saved, 6);
    QStringList folders;
    QDirIterator all(m_dir.path() + QStringLiteral("/save"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (all.hasNext()) {
        const QString path = all.next();
        EXPECT_TRUE(path.startsWith(savePath + u'/')) << path.toStdString();
        if (!folders.contains(QFileInfo(path).path()))
            folders.append(QFileInfo(path).path());
    }
    EXPECT_EQ(folders.size(), 2) << folders.join(u' ').toStdString();
}

// Two albums whose names clean to one folder get a folder each; where the rules put
// every album into one folder, a picture never replaces another album's.
TEST_F(DownloaderTest, AlbumsNeverOverwriteEachOther)
{
    const QList<Pic> first = {{"f1.jpg", "一", jpeg("a")}, {"f2.jpg", "二", jpeg("b")}};
    const QList<Pic> second = {{"g1.jpg", "一", jpeg("c")}, {"g2.jpg", "二", jpeg("d")}};
    const QStringList oneFolder = {"pic.vrx", "一(1).jpg", "一.jpg", "二(1).jpg", "二.jpg"};
    // Album names as a page gives them; the list cleans them ("Family  家" and "Family 家").
    const struct {
        const char *label;
        uint8_t folderBase;
        const char16_t *names[2];
        QStringList files;  // relative to the owner's folder
    } cases[] = {
        {"names clean to one folder", kFolderBaseAlbumName, {u"Family \\/ 家", u"Family 家"},
         {"Family 家 (1)/pic.vrx", "Family 家 (1)/一.jpg", "Family 家 (1)/二.jpg", "Family 家/pic.vrx",
          "Family 家/一.jpg", "Family 家/二.jpg"}},
        {"one folder for all albums", kFolderBaseNone, {u"Family", u"Friends"}, oneFolder},
        {"names clean to no folder: the owner's", kFolderBaseAlbumName, {u"&amp;quot;", u"&amp;quot;&amp;quot;"},
         oneFolder},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QDir(m_dir.path() + QStringLiteral("/save")).removeRecursively();
        session.albums.clear();
        events.clear();
        setRules(0, 3, c.folderBase);
        addAlbum(cleanName(QString::fromUtf16(c.names[0]), kCleanNameTimeFallback, true), first);
        addAlbum(cleanName(QString::fromUtf16(c.names[1]), kCleanNameTimeFallback, true), second);
        run({0, 1});

        EXPECT_EQ(events.downloadCounts().saved, 4);
        QStringList files;
        QDirIterator all(base(), QDir::Files, QDirIterator::Subdirectories);
        while (all.hasNext())
            files.append(all.next().mid(base().size()));
        files.sort();
        EXPECT_EQ(files, c.files);
        QByteArrayList bodies;
        for (const QString &file : files)
            bodies.append(read(base() + file));
        for (const char *tag : {"a", "b", "c", "d"})
            EXPECT_TRUE(bodies.contains(jpeg(tag))) << tag;
    }
}

// An album folder that a file of the same name stands in the way of: each picture
// fails saying so, and nothing is fetched for nothing.
TEST_F(DownloaderTest, AFileInPlaceOfTheAlbumFolderIsSaid)
{
    addAlbum(QStringLiteral("Trip"), trip);
    QDir().mkpath(base());
    QFile blocker(base() + QStringLiteral("Trip"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    run({0});

    EXPECT_EQ(events.downloadCounts().failed, 4);
    EXPECT_TRUE(pictureRequests().isEmpty());
    const QString reason = QStringLiteral("相册文件夹被同名文件占用：") + QDir::toNativeSeparators(base() + QStringLiteral("Trip"));
    EXPECT_TRUE(events.logOf(QStringLiteral("pictureFailed"))
                    .contains(QStringLiteral("pictureFailed ") + pictureAddress(trip.at(0)) + u' ' + reason))
        << events.log().join(u'\n').toStdString();
}

// A full disk stops the run at the first picture that cannot be written: no partial
// file under any name, no further picture asked for, no marker, and the run says why.
// The file-size limit makes every write past 4 KiB fail, as a full disk would.
TEST_F(DownloaderTest, FullDiskStopsTheRun)
{
    setRules(kOptionSkipPrevious, 1);
    QList<Pic> large = trip;
    for (Pic &p : large)
        p.body += QByteArray(64 * 1024, 'x');
    addAlbum(QStringLiteral("Trip"), large);
    addAlbum(QStringLiteral("Sea"), sea);

    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        run({0, 1});
    }

    EXPECT_EQ(pictureRequests(), QList<QByteArray>{"/orignal/t1.jpg"});
    EXPECT_TRUE(filesIn(base() + QStringLiteral("Trip/")).isEmpty());
    EXPECT_FALSE(QDir(base() + QStringLiteral("Sea")).exists());
    const QStringList steps = milestones(events.log());
    EXPECT_TRUE(steps.contains(QStringLiteral("pictureFailed http://s1.sinaimg.cn/orignal/t1.jpg 磁盘空间不足")))
        << steps.join(u'\n').toStdString();
    EXPECT_TRUE(steps.contains(QStringLiteral("diskFull ") + base() + QStringLiteral("Trip/")))
        << steps.join(u'\n').toStdString();
    // The pictures never tried are no skipped ones: they are counted apart, and each is
    // a failure with its reason, so the failure list holds every picture that is missing.
    for (const char *untried : {"t2.jpg", "t3.jpg", "t4.jpg"}) {
        EXPECT_TRUE(steps.contains(QStringLiteral("pictureFailed http://s1.sinaimg.cn/orignal/%1 磁盘空间不足，未下载")
                                       .arg(QLatin1String(untried))))
            << untried;
    }
    EXPECT_EQ(steps.last(), QStringLiteral("downloadFinished DiskFull saved=0 failed=1 skipped=0 untried=3"));
}

TEST_F(DownloaderTest, AbortMidAlbum)
{
    setRules(0, 1);
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    const QString folder = base() + QStringLiteral("Trip/");
    QDir().mkpath(folder);
    QFile marker(folder + QStringLiteral("pic.vrx"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write(utf16(QStringLiteral("http://old/1.jpg")));
    marker.close();
    // The second press of Download comes during the pause after the first picture.
    std::atomic<int> secondPress{-1};
    session.sleep = [this, &secondPress](int) { secondPress = int(downloader.start(requestFor({0, 1}))); };

    run({0, 1});
    EXPECT_EQ(secondPress.load(), int(DownloadCommand::AbortRequested));
    EXPECT_EQ(pictureRequests(), QList<QByteArray>{"/orignal/t1.jpg"});
    EXPECT_EQ(filesIn(folder), (QStringList{"Sunset.jpg", "pic.vrx"}));
    EXPECT_EQ(read(folder + QStringLiteral("Sunset.jpg")), jpeg("1"));
    EXPECT_EQ(read(folder + QStringLiteral("pic.vrx")), utf16(QStringLiteral("http://old/1.jpg")));
    EXPECT_FALSE(QFileInfo::exists(base() + QStringLiteral("Sea")));
    for (const RecordedRequest &r : server.requests())
        EXPECT_NE(r.path(), "/category/u/1234/s/2/page1");
    EXPECT_EQ(events.downloadResult(), DownloadResult::Stopped);
    EXPECT_EQ(events.logOf(QStringLiteral("albumStarted")), QStringList{"albumStarted 1/2 Trip"});
    // Pictures never transferred are counted apart, as untried, and not as failures: the
    // run's counts still add up.
    const PictureCounts counts = events.downloadCounts();
    EXPECT_EQ(counts.listed, 4);
    EXPECT_EQ(counts.saved, 1);
    EXPECT_EQ(counts.skipped, 0);
    EXPECT_EQ(counts.untried, 3);
    EXPECT_EQ(counts.saved + counts.failed + counts.skipped + counts.untried, counts.listed);
    EXPECT_TRUE(events.logOf(QStringLiteral("pictureFailed")).isEmpty());
    EXPECT_EQ(downloader.state(), DownloadState::Idle);
}

// A stop while albums overlap: nothing more is handed to a worker, every album that
// started (listed ahead or not) still ends, in order, says it was stopped, none gets a
// marker, the counts add up, and the folder the options open at the end is not opened.
TEST_F(DownloaderTest, StopWhileAlbumsOverlap)
{
    setRules(kOptionOpenFolder, 3);
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    addAlbum(QStringLiteral("More"), {{"m1.jpg", "m", jpeg("m")}});
    // Every other picture is answered only after the stop, so at most three are running
    // when it comes: t1, which asks for the stop, and up to two that wait for it.
    std::mutex mutex;
    std::condition_variable stopped;
    bool stopRequested = false;
    for (const QList<Pic> &album : {trip, sea}) {
        for (const Pic &p : album) {
            server.route("s1.sinaimg.cn", "/orignal/" + p.name, LoopbackServer::Handler([&, p](const RecordedRequest &) {
                std::unique_lock lock(mutex);
                stopped.wait_for(lock, std::chrono::seconds(10), [&] { return stopRequested; });
                return CannedResponse::ok(p.body, "image/jpeg");
            }));
        }
    }
    server.route("s1.sinaimg.cn", "/orignal/m1.jpg", CannedResponse::ok(jpeg("m"), "image/jpeg"));
    server.route("s1.sinaimg.cn", "/orignal/t1.jpg", LoopbackServer::Handler([&](const RecordedRequest &) {
        downloader.requestAbort();
        {
            std::lock_guard lock(mutex);
            stopRequested = true;
        }
        stopped.notify_all();
        return CannedResponse::ok(trip.at(0).body, "image/jpeg");
    }));
    run({0, 1, 2});

    EXPECT_EQ(events.downloadResult(), DownloadResult::Stopped);
    // Only the three handed out before it came, and of those only the ones whose request
    // had gone out: a transfer that starts after the stop asks for nothing.
    EXPECT_GE(pictureRequests().size(), 1);
    EXPECT_LE(pictureRequests().size(), 3);
    // The transfers that were running ended whole or left nothing.
    QDirIterator pictures(m_dir.path() + QStringLiteral("/save"), {QStringLiteral("*.jpg")}, QDir::Files,
                          QDirIterator::Subdirectories);
    while (pictures.hasNext()) {
        const QString path = pictures.next();
        EXPECT_TRUE(read(path).startsWith(QByteArray("\xFF\xD8\xFF\xE0", 4)) && read(path).size() == 204)
            << path.toStdString();
    }
    QDirIterator all(m_dir.path() + QStringLiteral("/save"), {QStringLiteral("pic.vrx")}, QDir::Files,
                     QDirIterator::Subdirectories);
    EXPECT_FALSE(all.hasNext());
    const QStringList started = events.logOf(QStringLiteral("albumStarted"));
    const QStringList finished = events.logOf(QStringLiteral("albumFinished"));
    ASSERT_EQ(started.size(), finished.size());
    for (qsizetype i = 0; i < started.size(); ++i) {
        EXPECT_TRUE(started.at(i).startsWith(QStringLiteral("albumStarted %1/3").arg(i + 1)));
        EXPECT_TRUE(finished.at(i).startsWith(QStringLiteral("albumFinished %1/3").arg(i + 1)));
    }
    const PictureCounts counts = events.downloadCounts();
    EXPECT_EQ(counts.saved + counts.failed + counts.skipped + counts.untried, counts.listed);
    EXPECT_EQ(downloader.state(), DownloadState::Idle);
    // Trip has pictures the stop held back; an album listed ahead whose pictures were
    // never handed out ends stopped too.
    const QList<int> stoppedAlbums = events.stoppedAlbums();
    EXPECT_TRUE(stoppedAlbums.contains(1));
    if (started.size() == 3)
        EXPECT_TRUE(stoppedAlbums.contains(3));
    EXPECT_TRUE(events.openedFolders().isEmpty());
    EXPECT_EQ(counts.skipped, 0);
}

// A stop reaches the transfers that receive nothing: the run ends without waiting for
// their time limit, asks for none of them again and leaves no picture.
TEST_F(DownloaderTest, StopReachesStalledTransfers)
{
    setRules(0, 2);
    // The shortest time limit the settings allow, so a run the stop does not reach
    // fails here in seconds rather than minutes.
    session.updateSettings([](SettingsBlock &block) { block.downloadParams[settingsIndex(SourceType::Sina)].timeoutSeconds = kMinTimeoutSeconds; });
    addAlbum(QStringLiteral("Trip"), trip);
    std::atomic<int> asked{0};
    for (const Pic &p : trip) {
        server.route("s1.sinaimg.cn", "/orignal/" + p.name, LoopbackServer::Handler([&, p](const RecordedRequest &) {
            if (++asked == 2)
                downloader.requestAbort();  // both workers are waiting for their picture
            return CannedResponse::ok(p.body, "image/jpeg").withStall(100, 120000);
        }));
    }
    run({0});

    EXPECT_EQ(events.downloadResult(), DownloadResult::Stopped);
    EXPECT_EQ(pictureRequests().size(), 2);
    EXPECT_TRUE(filesIn(base() + QStringLiteral("Trip/")).isEmpty());
    // The two the stop cut short are no failures: with the two never handed out they
    // count as untried.
    EXPECT_TRUE(events.logOf(QStringLiteral("pictureFailed")).isEmpty());
    const PictureCounts counts = events.downloadCounts();
    EXPECT_EQ(counts.saved, 0);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_EQ(counts.untried, 4);
    EXPECT_EQ(counts.saved + counts.failed + counts.skipped + counts.untried, counts.listed);
}

// One transfer at a time: nothing overlaps. Each album is listed once the one before
// it ended, its pictures go in queue order, and two pictures of one album are 2 s
// apart (not the last of one album and the first of the next).
TEST_F(DownloaderTest, OneTransferAtATimeKeepsOrderAndPauses)
{
    setRules(0, 1);
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    std::mutex mutex;
    QList<int> pauses;
    session.sleep = [&](int milliseconds) {
        std::lock_guard lock(mutex);
        pauses.append(milliseconds);
    };
    run({0, 1});

    QList<QByteArray> order;
    for (const RecordedRequest &r : server.requests())
        order.append(r.path());
    EXPECT_EQ(order, (QList<QByteArray>{"/category/u/1234/s/1/page1", "/orignal/t1.jpg", "/orignal/t2.jpg",
                                        "/orignal/t3.jpg", "/orignal/t4.jpg", "/category/u/1234/s/2/page1",
                                        "/orignal/s1.jpg", "/orignal/s2.jpg"}));
    std::lock_guard lock(mutex);
    EXPECT_EQ(pauses, (QList<int>{2000, 2000, 2000, 2000}));
}

TEST_F(DownloaderTest, FormatAndOrderRepairs)
{
    setRules(kOptionFixFormat | kOptionFixOrder, 3);
    const QList<Pic> mixed = {
        {"a.jpg", "a", QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(100, 'x')},
        {"b.jpg", "b", QByteArray("GIF89a") + QByteArray(100, 'x')},
        {"c.jpg", "c", QByteArray("II*\0", 4) + QByteArray(100, 'x')},
        {"d.jpg", "d", jpeg("d")},
        {"e.jpg", "e", QByteArray("\x01\x02 no format the repair knows")},
    };
    addAlbum(QStringLiteral("Mixed"), mixed);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    run({0});
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    const QString folder = base() + QStringLiteral("Mixed/");
    EXPECT_EQ(filesIn(folder), (QStringList{"a.png", "b.gif", "c.tiff", "d.jpg", "e.jpg", "pic.vrx"}));
    EXPECT_EQ(fileNamesOf(downloader.queue().pictures), (QStringList{"a.png", "b.gif", "c.tiff", "d.jpg", "e.jpg"}));
    const qint64 t = QFileInfo(folder + QStringLiteral("a.png")).lastModified().toSecsSinceEpoch();
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    const char *order[] = {"a.png", "b.gif", "c.tiff", "d.jpg", "e.jpg"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(QFileInfo(folder + QLatin1String(order[i])).lastModified().toSecsSinceEpoch(), t - 60 * i)
            << order[i];
}

TEST_F(DownloaderTest, EmptyAlbumGetsNoFolder)
{
    addAlbum(QStringLiteral("Empty"), {});
    addAlbum(QStringLiteral("Sea"), sea);
    run({0, 1});
    EXPECT_FALSE(QFileInfo::exists(base() + QStringLiteral("Empty")));
    EXPECT_EQ(filesIn(base() + QStringLiteral("Sea/")), (QStringList{"Sea.jpg", "Wave.jpg", "pic.vrx"}));
    EXPECT_EQ(events.openedFolders(), QStringList{base() + QStringLiteral("Sea/")});
    // The empty album was walked all the same and ends in the owner's folder; only the
    // other one had pictures to transfer.
    EXPECT_EQ(milestones(events.log()),
              (QStringList{"downloadStarted", "albumStarted 1/2 Empty", "albumFinished 1/2 " + base(),
                           "albumStarted 2/2 Sea", "transferStarted 2",
                           "albumFinished 2/2 " + base() + "Sea/",
                           "downloadFinished Finished saved=2 failed=0 skipped=0", "openFolder " + base() + "Sea/"}));
}

TEST_F(DownloaderTest, RunsThatEndEarly)
{
    addAlbum(QStringLiteral("Trip"), trip);
    QFile blocker(m_dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const QString finished = QStringLiteral("downloadFinished %1 saved=0 failed=0 skipped=0");
    const struct {
        const char *label;
        QString savePath;
        QList<int> albums;
        DownloadResult result;
        QStringList log;
    } cases[] = {
        {"no save path", QStringLiteral(" \t"), {0}, DownloadResult::NoSavePath, {finished.arg("NoSavePath")}},
        // The level that could not be made is named before the run gives up.
        {"save path under a file", m_dir.path() + QStringLiteral("/file/x"), {0}, DownloadResult::SaveFolderFailed,
         {"saveFolderFailed " + m_dir.path() + QStringLiteral("/file"), finished.arg("SaveFolderFailed")}},
        {"no album chosen", m_dir.path() + QStringLiteral("/save"), {}, DownloadResult::NoAlbumChosen,
         {"downloadStarted", finished.arg("NoAlbumChosen")}},
        {"chosen index out of range", m_dir.path() + QStringLiteral("/save"), {7}, DownloadResult::NoAlbumChosen,
         {"downloadStarted", finished.arg("NoAlbumChosen")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        RecordingEvents heard;
        Session other(session.dataFolder(), heard);
        Downloader fresh(other, heard);
        ASSERT_EQ(fresh.start(downloadRequestFor(SettingsBlock(), SourceType::Sina, c.savePath, c.albums)),
                  DownloadCommand::Started);
        other.waitForThreads();
        EXPECT_EQ(heard.downloadResult(), c.result);
        EXPECT_EQ(heard.log(), c.log);
        EXPECT_EQ(fresh.state(), DownloadState::Idle);
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

// An album no source lists (none claimed it) is walked and lists nothing, whatever the
// source type whose settings the run uses.
TEST_F(DownloaderTest, AlbumsWithoutASourceListNothing)
{
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    for (const SourceType type : {SourceType::Yupoo, SourceType::QqZone}) {
        SCOPED_TRACE(int(type));
        RecordingEvents heard;
        Session other(session.dataFolder(), heard);
        Downloader fresh(other, heard);
        for (int i = 0; i < 2; ++i) {
            AlbumRecord unlisted = session.albums.at(i);
            unlisted.source = nullptr;
            other.albums.appendUnique(unlisted);
        }
        other.sourceType = type;
        ASSERT_EQ(fresh.start(downloadRequestFor(session.settings(), type, m_dir.path() + QStringLiteral("/other"),
                                                 {0, 1})),
                  DownloadCommand::Started);
        other.waitForThreads();
        // Every album is walked and lists nothing.
        const QString folder = m_dir.path() + QStringLiteral("/other/");
        EXPECT_EQ(heard.log(), (QStringList{"downloadStarted", "albumStarted 1/2 Trip", "albumFinished 1/2 " + folder,
                                            "albumStarted 2/2 Sea", "albumFinished 2/2 " + folder,
                                            "downloadFinished Finished saved=0 failed=0 skipped=0"}));
        EXPECT_EQ(heard.downloadCounts().listed, 0);
        EXPECT_TRUE(heard.openedFolders().isEmpty());
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(DownloaderTest, OpenPathShowsTheAlbumBeingTransferred)
{
    addAlbum(QStringLiteral("Trip"), trip);
    const QString typed = QStringLiteral("/typed/save path");
    std::mutex mutex;
    QString duringTransfer;
    server.route("s1.sinaimg.cn", "/orignal/t1.jpg", LoopbackServer::Handler([&](const RecordedRequest &) {
        std::lock_guard lock(mutex);
        duringTransfer = downloader.openPathFolder(typed);
        return CannedResponse::ok(trip.at(0).body, "image/jpeg");
    }));
    setRules(0, 1);
    run({0});
    std::lock_guard lock(mutex);
    EXPECT_EQ(duringTransfer, base() + QStringLiteral("Trip/"));
    EXPECT_EQ(downloader.openPathFolder(typed), typed);
}

}  // namespace

}  // namespace pictrove
