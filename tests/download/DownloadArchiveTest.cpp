// The download archive's database: what it records and finds, two writers at once
// (another connection in this process, another process), and a file that is no
// usable database moved aside instead of emptied.

#include "download/DownloadArchive.h"
#include "support/PrintQt.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <functional>
#include <thread>

namespace pictrove {

namespace {

ArchivedFile row(const QString &owner, const QString &key, const QString &path = QString())
{
    ArchivedFile file;
    file.service = QStringLiteral("weibo");
    file.ownerId = owner;
    file.albumId = QStringLiteral("album-1");
    file.albumName = QStringLiteral("相册");
    file.postId = QStringLiteral("post-") + key;
    file.pictureId = key;
    file.path = path.isEmpty() ? owner + u'/' + key + QStringLiteral(".jpg") : path;
    file.size = 1234;
    file.savedAt = 1700000000;
    return file;
}

QList<ArchivedFile> rows(const QString &owner, const QString &prefix, int count)
{
    QList<ArchivedFile> list;
    for (int i = 0; i < count; ++i)
        list.append(row(owner, prefix + QString::number(i)));
    return list;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DownloadArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return downloadArchivePath(m_dir.path()); }
    QStringList filesBeside() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    QTemporaryDir m_dir;
};

TEST_F(DownloadArchiveTest, FindsAPictureByOwnerAndIdWhereverItsFileIs)
{
    DownloadArchive archive(path(), DownloadArchive::Check::Full);
    ASSERT_TRUE(archive.isOpen());
    EXPECT_TRUE(archive.movedAsideTo().isEmpty());
    ASSERT_TRUE(archive.record({row("anna", "p1"), row("anna", "p2"), row("bert", "p3")}));

    const struct {
        const char *owner;
        QStringList asked;
        QStringList found;
    } cases[] = {
        {"anna", {"p1", "p2", "p3", "p4"}, {"p1", "p2"}},
        {"bert", {"p1", "p3"}, {"p3"}},  // another owner's ids are not this one's
        {"carl", {"p1"}, {}},
        {"anna", {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.owner);
        QStringList found = archive.archivedAmong(QStringLiteral("weibo"), QString::fromLatin1(c.owner), c.asked).values();
        found.sort();
        EXPECT_EQ(found, c.found);
    }
    EXPECT_TRUE(archive.archivedAmong(QStringLiteral("sina-blog"), QStringLiteral("anna"), {"p1"}).isEmpty());

    // A picture saved again (the archive ignored for a run) is one row, at its new path.
    ASSERT_TRUE(archive.record({row("anna", "p1", QStringLiteral("elsewhere/p1.jpg"))}));
    EXPECT_EQ(archive.count(), 3);
    EXPECT_EQ(archive.count(QStringLiteral("weibo"), QStringLiteral("anna")), 2);
}

// More keys than one query takes: every chunk is asked.
TEST_F(DownloadArchiveTest, LooksUpALongAlbumInChunks)
{
    DownloadArchive archive(path());
    ASSERT_TRUE(archive.record(rows(QStringLiteral("anna"), QStringLiteral("k"), 1000)));
    QStringList asked;
    for (int i = 0; i < 1200; i += 2)
        asked.append(QStringLiteral("k%1").arg(i));
    EXPECT_EQ(archive.archivedAmong(QStringLiteral("weibo"), QStringLiteral("anna"), asked).size(), 500);
}

// Two connections write at the same time, each in its own thread, as the pipeline's
// listers and its coordinator do: neither fails for the other's lock.
TEST_F(DownloadArchiveTest, TwoConnectionsWriteAtTheSameTime)
{
    DownloadArchive created(path());
    ASSERT_TRUE(created.isOpen());
    std::atomic<int> failures{0};
    auto writer = [&](const QString &prefix) {
        DownloadArchive archive(path());
        for (int batch = 0; batch < 40; ++batch) {
            if (!archive.record(rows(QStringLiteral("anna"), prefix + QString::number(batch) + u'-', 25)))
                ++failures;
        }
    };
    std::thread first(writer, QStringLiteral("a"));
    std::thread second(writer, QStringLiteral("b"));
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(created.count(), 2 * 40 * 25);
}

// The same with another process: this test program run again, writing through its
// own connection while this one writes.
TEST_F(DownloadArchiveTest, AnotherProcessWritesAtTheSameTime)
{
    DownloadArchive archive(path());
    ASSERT_TRUE(archive.isOpen());
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PICTROVE_ARCHIVE_WRITER"), path());
    other.setProcessEnvironment(environment);
    other.start(QStringLiteral("/proc/self/exe"),
                {QStringLiteral("--gtest_filter=DownloadArchiveWriter.*"), QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(other.waitForStarted());
    int failures = 0;
    for (int batch = 0; batch < 40; ++batch)
        failures += archive.record(rows(QStringLiteral("anna"), QStringLiteral("here%1-").arg(batch), 25)) ? 0 : 1;
    ASSERT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAll().constData();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(archive.count(QStringLiteral("weibo"), QStringLiteral("anna")), 40 * 25);
    EXPECT_EQ(archive.count(QStringLiteral("weibo"), QStringLiteral("bert")), 40 * 25);
}

// A process killed (SIGKILL) while it records leaves a sound archive holding whole
// batches only: an interrupted transaction, nothing half-recorded.
TEST_F(DownloadArchiveTest, AKilledWriterLeavesWholeBatches)
{
    {
        DownloadArchive archive(path());
        ASSERT_TRUE(archive.isOpen());
    }
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PICTROVE_ARCHIVE_WRITER"), path());
    environment.insert(QStringLiteral("PICTROVE_ARCHIVE_BATCHES"), QStringLiteral("100000"));
    other.setProcessEnvironment(environment);
    other.start(QStringLiteral("/proc/self/exe"),
                {QStringLiteral("--gtest_filter=DownloadArchiveWriter.*"), QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(other.waitForStarted());
    // Killed once it has recorded something, in the middle of its next batches.
    for (int n = 0; n < 6000; ++n) {
        DownloadArchive reader(path());
        if (reader.count() >= 250)
            break;
        QThread::msleep(5);
    }
    other.kill();
    ASSERT_TRUE(other.waitForFinished(10000));

    DownloadArchive archive(path(), DownloadArchive::Check::Full);
    EXPECT_TRUE(archive.movedAsideTo().isEmpty()) << qPrintable(archive.problem());
    const int recorded = archive.count();
    EXPECT_GE(recorded, 250);
    EXPECT_EQ(recorded % 25, 0) << recorded;
    EXPECT_TRUE(archive.record({row("anna", "after")}));
}

// The other process of the tests above; runs only when one asks for it.
TEST(DownloadArchiveWriter, DISABLED_WritesForAnotherTest)
{
    const QString path = qEnvironmentVariable("PICTROVE_ARCHIVE_WRITER");
    ASSERT_FALSE(path.isEmpty());
    const int batches = qEnvironmentVariableIsSet("PICTROVE_ARCHIVE_BATCHES")
                            ? qEnvironmentVariableIntValue("PICTROVE_ARCHIVE_BATCHES")
                            : 40;
    DownloadArchive archive(path);
    ASSERT_TRUE(archive.isOpen());
    for (int batch = 0; batch < batches; ++batch)
        ASSERT_TRUE(archive.record(rows(QStringLiteral("bert"), QStringLiteral("there%1-").arg(batch), 25)));
}

// A file that is no usable database is moved aside whole (never emptied or deleted),
// and a new archive is started in its place.
TEST_F(DownloadArchiveTest, MovesABadFileAsideAndStartsAnew)
{
    const struct {
        const char *what;
        std::function<void(const QString &)> spoil;
    } cases[] = {
        {"not a database", [](const QString &p) {
             QFile file(p);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray("these are no SQLite pages\n").repeated(300));
         }},
        {"header overwritten", [](const QString &p) {
             QFile file(p);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.write(QByteArray(16, 'x'));
         }},
        {"pages overwritten", [](const QString &p) {
             QFile file(p);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_GT(file.size(), 8 * 4096);
             file.seek(3 * 4096);
             file.write(QByteArray(4 * 4096, '\x5a'));
         }},
        {"a folder in its place", [](const QString &p) {
             QFile::remove(p);
             ASSERT_TRUE(QDir().mkpath(p + QStringLiteral("/inside")));
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString archivePath = downloadArchivePath(dir.path());
        {
            DownloadArchive archive(archivePath);
            ASSERT_TRUE(archive.record(rows(QStringLiteral("anna"), QStringLiteral("k"), 2000)));
        }
        c.spoil(archivePath);
        const QFileInfo before(archivePath);
        const QByteArray bytes = before.isFile() ? readAll(archivePath) : QByteArray();

        DownloadArchive archive(archivePath, DownloadArchive::Check::Full);
        ASSERT_FALSE(archive.movedAsideTo().isEmpty());
        EXPECT_FALSE(archive.problem().isEmpty());
        EXPECT_TRUE(archive.movedAsideTo().startsWith(archivePath + QStringLiteral(".bad-")));
        EXPECT_TRUE(QFileInfo::exists(archive.movedAsideTo()));
        if (before.isFile()) {
            EXPECT_EQ(readAll(archive.movedAsideTo()), bytes);
        }
        ASSERT_TRUE(archive.isOpen());
        EXPECT_EQ(archive.count(), 0);
        EXPECT_TRUE(archive.record({row("anna", "new")}));
    }
}

// A sound archive is never moved, also when it was opened and written before.
TEST_F(DownloadArchiveTest, KeepsASoundArchive)
{
    {
        DownloadArchive archive(path());
        ASSERT_TRUE(archive.record(rows(QStringLiteral("anna"), QStringLiteral("k"), 10)));
    }
    DownloadArchive archive(path(), DownloadArchive::Check::Full);
    EXPECT_TRUE(archive.movedAsideTo().isEmpty());
    EXPECT_EQ(archive.count(), 10);
    for (const QString &name : filesBeside())
        EXPECT_FALSE(name.contains(QStringLiteral(".bad-"))) << qPrintable(name);
}

}  // namespace

}  // namespace pictrove
