// pictrove-cli end to end: the real binary against the Sina blog and Weibo hosts on
// loopback. The engine's own suites cover the behaviour; these check what the CLI adds:
// its output, its exit status, its options reaching the engine.

#include "support/Fixtures.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>

namespace pictrove {

namespace {

const char *const kHosts[] = {"blog.sina.com.cn", "photo.blog.sina.com.cn", "weibo.com",
                              "photo.weibo.com", "ww2.sinaimg.cn", "wx1.sinaimg.cn",
                              "wx3.sinaimg.cn", "livephoto.us.sinaimg.cn", "f.video.weibocdn.com"};

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        ASSERT_TRUE(QDir().mkpath(home.dataFolder()));
        writeNoWeiboPauses(home.dataFolder());
        routeFixture("blog.sina.com.cn", "/u/1234567890", "sina_blog_owner.html");
        routeFixture("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php", "sina_categories.json");
        routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_1.html", "sina_articlelist_1.html");
        routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_2.html", "sina_articlelist_2.html");
        routeFixture("weibo.com", "/u/1234567890", "weibo_owner_spaced.html");
        routeFixture("photo.weibo.com", "/albums/get_all", "weibo_albums.json");
        // One page of photos, then the empty page that ends an album.
        const QByteArray photos = readFixture(QStringLiteral("sources/weibo_photos_1.json"));
        const QByteArray empty = readFixture(QStringLiteral("sources/weibo_photos_empty.json"));
        const LoopbackServer::Handler pages = [photos, empty](const RecordedRequest &request) {
            return CannedResponse::ok(request.query().contains("&page=1&") ? photos : empty);
        };
        http.route("photo.weibo.com", "/photos/get_all", pages);
        https.route("photo.weibo.com", "/photos/get_all", pages);
        route("ww2.sinaimg.cn", "/large/abcd0033.jpg", CannedResponse::ok(picture, "image/jpeg"));
    }

    void route(const QByteArray &host, const QByteArray &target, const CannedResponse &response)
    {
        http.route(host, target, response);
        https.route(host, target, response);
    }

    void routeFixture(const QByteArray &host, const QByteArray &target, const char *fixture)
    {
        route(host, target, CannedResponse::ok(readFixture(QStringLiteral("sources/") + QLatin1String(fixture))));
    }

    // The service hosts of both schemes routed to the loopback servers, for the child.
    QProcessEnvironment environment() const
    {
        QStringList entries;
        for (const char *host : kHosts) {
            entries.append(http.connectToEntry(QString::fromLatin1(host)));
            entries.append(https.connectToEntry(QString::fromLatin1(host)));
        }
        QProcessEnvironment env = home.environment();
        env.insert(QStringLiteral("PICTROVE_TEST_CONNECT_TO"), entries.join(u','));
        env.insert(QStringLiteral("PICTROVE_TEST_CA_FILE"), LoopbackServer::caFile());
        return env;
    }

    bool pictureRequested() const
    {
        for (const RecordedRequest &request : http.requests())
            if (request.host() == "ww2.sinaimg.cn")
                return true;
        return false;
    }

    CliResult run(const QStringList &arguments, const QString &currentDir = QString())
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setWorkingDirectory(currentDir.isEmpty() ? data.path() : currentDir);
        process.start(QStringLiteral(PICTROVE_CLI_PATH), arguments);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    const QByteArray picture = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(3000, 'p');
    LoopbackServer http{LoopbackServer::Http};
    LoopbackServer https{LoopbackServer::Https};
    TemporaryHome home;
    QTemporaryDir data;  // the current folder, without a soft.dat
};

TEST_F(CliTest, ListPrintsOneTabSeparatedLinePerAlbum)
{
    const struct {
        const char *address;
        QStringList lines;
    } cases[] = {
        {"https://weibo.com/u/1234567890",
         {"0001\t微博配图\t33\t", "0002\t头像相册\t1\t", "0003\t空相册\t0\t"}},
        {"http://blog.sina.com.cn/s/articlelist_1234567890_0_7.html",
         {"0001\t春游\t未知\t", "0002\t秋色\t未知\t", "0003\t夏日\t未知\t", "0004\t春游 (1)\t未知\t"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        const CliResult result = run({QStringLiteral("list"), QLatin1String(c.address)});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(result.out.toStdString(), (c.lines.join(u'\n') + u'\n').toStdString());
        EXPECT_TRUE(result.err.contains(QStringLiteral("获取相册列表完成")));
    }
    const CliResult blog = run({QStringLiteral("list"), QStringLiteral("http://blog.sina.com.cn/u/1234567890")});
    EXPECT_EQ(blog.exitCode, 0) << blog.err.toStdString();
    EXPECT_TRUE(blog.out.startsWith(QStringLiteral("0001\t旅行\t"))) << blog.out.toStdString();
}

TEST_F(CliTest, DownloadSavesTheChosenAlbumUnderTheOwnerFolder)
{
    QTemporaryDir save;
    const CliResult result = run({QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"),
                                  QStringLiteral("--albums"), QStringLiteral("2"), QStringLiteral("--save"),
                                  save.path(), QStringLiteral("--threads"), QStringLiteral("3")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("下载完毕"))) << result.err.toStdString();

    const QDir album(save.path() + QStringLiteral("/小明Ming/头像相册"));
    ASSERT_TRUE(album.exists()) << result.err.toStdString();
    const QStringList pictures = album.entryList({QStringLiteral("*.jpg")}, QDir::Files);
    ASSERT_EQ(pictures.size(), 1);
    QFile file(album.filePath(pictures.at(0)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), picture);
    // Only album 2 was fetched.
    EXPECT_FALSE(QDir(save.path() + QStringLiteral("/小明Ming/微博配图")).exists());
}

// With --skip-previous a picture in the download archive is not fetched again after
// its file was renamed; --no-archive leaves the archive out of one run. A damaged
// archive is moved aside with a warning and the download goes on.
TEST_F(CliTest, SkipPreviousKnowsArchivedPicturesUnlessToldNotTo)
{
    QTemporaryDir save;
    const QStringList download{QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"),
                               QStringLiteral("--albums"), QStringLiteral("2"), QStringLiteral("--save"),
                               save.path(), QStringLiteral("--skip-previous")};
    const QString archive = home.dataFolder() + QStringLiteral("archive.sqlite");
    const QDir album(save.path() + QStringLiteral("/小明Ming/头像相册"));
    const auto renameThePicture = [&](const QString &newName) {
        QFile::remove(album.filePath(QStringLiteral("pic.vrx")));  // the marker would hold it back too
        const QStringList pictures = album.entryList({QStringLiteral("*.jpg")}, QDir::Files);
        ASSERT_EQ(pictures.size(), 1);
        ASSERT_TRUE(QFile::rename(album.filePath(pictures.at(0)), album.filePath(newName)));
    };

    CliResult result = run(download);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    ASSERT_TRUE(pictureRequested());
    EXPECT_TRUE(QFileInfo::exists(archive));
    renameThePicture(QStringLiteral("renamed.jpeg"));

    http.clearLog();
    result = run(download);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(pictureRequested());

    // That run ended whole and wrote the album's marker again.
    ASSERT_TRUE(QFile::remove(album.filePath(QStringLiteral("pic.vrx"))));
    http.clearLog();
    result = run(download + QStringList{QStringLiteral("--no-archive")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(pictureRequested());

    QFile::remove(archive + QStringLiteral("-wal"));
    QFile::remove(archive + QStringLiteral("-shm"));
    QFile spoiled(archive);
    ASSERT_TRUE(spoiled.open(QIODevice::WriteOnly));
    spoiled.write(QByteArray(5000, 'x'));
    spoiled.close();
    renameThePicture(QStringLiteral("renamed again.jpeg"));
    http.clearLog();
    result = run(download);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("下载存档已损坏，已移至 ") + archive + QStringLiteral(".bad-")))
        << result.err.toStdString();
    EXPECT_TRUE(pictureRequested());  // the new archive knows nothing yet
}

TEST_F(CliTest, PicturesThatDidNotArriveAreCountedListedAndExitFive)
{
    // How the album's photo pages answer.
    enum class ListPages { Whole, SecondRefused, FirstPastPageLimit };
    const struct {
        const char *label;
        CannedResponse answer;
        int exitCode;
        const char *summary;
        const char *failedLine;  // start of the failed list's line; empty when none
        ListPages listPages = ListPages::Whole;
        const char *incomplete = "";  // the reason the album is incomplete, if it is
        const char *minKB = nullptr;  // --min-kb, if given
    } cases[] = {
        {"saved", CannedResponse::ok(picture, "image/jpeg"), 0, "保存 1 张，跳过 0 张，失败 0 张", ""},
        {"refused", CannedResponse::error(404, "gone"), 5, "保存 0 张，跳过 0 张，失败 1 张",
         "http://ww2.sinaimg.cn/large/abcd0033.jpg\tHTTP/1.1 404"},
        // The user's own size limit leaves the 3 KB picture out: skipped for its size,
        // no failure, nothing to retry.
        {"left out by the size limit", CannedResponse::ok(picture, "image/jpeg"), 0,
         "保存 0 张，跳过 1 张（大小限制），失败 0 张", "", ListPages::Whole, "", "4"},
        // The album's listing breaks off: what was listed arrives, the run still counts
        // as not whole.
        {"a list page refused", CannedResponse::ok(picture, "image/jpeg"), 5,
         "保存 1 张，跳过 0 张，失败 0 张；1 个相册不完整", "", ListPages::SecondRefused, "HTTP 403"},
        // A small gzip body that inflates past the page limit is not read as a page.
        {"a list page past the page limit", CannedResponse::ok(picture, "image/jpeg"), 5,
         "保存 0 张，跳过 0 张，失败 0 张；1 个相册不完整", "", ListPages::FirstPastPageLimit, "页面过大"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        route("ww2.sinaimg.cn", "/large/abcd0033.jpg", c.answer);
        const QByteArray photos = readFixture(QStringLiteral("sources/weibo_photos_1.json"));
        if (c.listPages == ListPages::SecondRefused) {
            const LoopbackServer::Handler pages = [photos](const RecordedRequest &request) {
                return request.query().contains("&page=1&") ? CannedResponse::ok(photos)
                                                            : CannedResponse::error(403, "forbidden");
            };
            http.route("photo.weibo.com", "/photos/get_all", pages);
            https.route("photo.weibo.com", "/photos/get_all", pages);
        } else if (c.listPages == ListPages::FirstPastPageLimit) {
            route("photo.weibo.com", "/photos/get_all",
                  CannedResponse::ok(gzipBytes(photos + QByteArray(9 * 1024 * 1024, ' ')), "application/json")
                      .withHeader("Content-Encoding", "gzip"));
        }
        QTemporaryDir save;
        const QString failedList = save.filePath(QStringLiteral("failed.tsv"));
        QStringList arguments{QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"),
                              QStringLiteral("--albums"), QStringLiteral("2"), QStringLiteral("--save"), save.path(),
                              QStringLiteral("--failed-list"), failedList};
        if (c.minKB)
            arguments << QStringLiteral("--min-kb") << QString::fromLatin1(c.minKB);
        const CliResult result = run(arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.summary))) << result.err.toStdString();
        EXPECT_EQ(result.err.contains(QStringLiteral("相册不完整：")), *c.incomplete != 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.incomplete))) << result.err.toStdString();

        QFile list(failedList);
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        const QByteArray lines = list.readAll();
        if (*c.failedLine) {
            EXPECT_TRUE(lines.startsWith(c.failedLine)) << lines.constData();
            EXPECT_EQ(lines.count('\n'), 1);
        } else {
            EXPECT_TRUE(lines.isEmpty()) << lines.constData();
        }
    }
}

TEST_F(CliTest, InterruptStopsCleanlyWithoutPartialFiles)
{
    // The picture stalls half-way for longer than the test waits, so Ctrl-C arrives
    // during its transfer and must end it rather than wait for its time limit.
    route("ww2.sinaimg.cn", "/large/abcd0033.jpg",
          CannedResponse::ok(picture, "image/jpeg").withStall(1000, 600000));
    QTemporaryDir save;
    QProcess process;
    process.setProcessEnvironment(environment());
    process.setWorkingDirectory(data.path());
    process.start(QStringLiteral(PICTROVE_CLI_PATH),
                  {QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"),
                   QStringLiteral("--albums"), QStringLiteral("2"), QStringLiteral("--save"), save.path()});
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 500 && !pictureRequested(); ++i)
        QThread::msleep(20);
    ASSERT_TRUE(pictureRequested());
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 130) << process.readAllStandardError().toStdString();

    // Whatever arrived is whole; nothing half-written is left anywhere.
    const QDir album(save.path() + QStringLiteral("/小明Ming/头像相册"));
    for (const QString &name : album.entryList(QDir::Files)) {
        QFile file(album.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), picture) << name.toStdString();
    }
}

TEST_F(CliTest, ExitStatusTellsWhatWentWrong)
{
    QFile blocker(data.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const struct {
        QStringList arguments;
        int exitCode;
    } cases[] = {
        {{}, 2},
        {{QStringLiteral("fetch"), QStringLiteral("https://weibo.com/u/1234567890")}, 2},
        {{QStringLiteral("list"), QStringLiteral("weibo.com/u/1234567890")}, 2},
        {{QStringLiteral("list"), QStringLiteral("https://weibo.com/u/1234567890"), QStringLiteral("--threads"),
          QStringLiteral("16")},
         2},
        {{QStringLiteral("list"), QStringLiteral("http://blog.sina.com.cn/s/nothing")}, 1},
        {{QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"), QStringLiteral("--albums"),
          QStringLiteral("4")},
         2},
        {{QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"), QStringLiteral("--albums"),
          QStringLiteral("1"), QStringLiteral("--save"), data.filePath(QStringLiteral("not-a-folder/x"))},
         3},
        {{QStringLiteral("--version")}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CliResult result = run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
    }

    const CliResult help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char *option : {"--data-dir", "--cookies", "--albums", "--save", "--threads", "--timeout",
                               "--min-kb", "--max-kb", "--fix-format", "--fix-order", "--title-file",
                               "--thunder-list", "--skip-previous", "--no-archive", "--no-live-motion",
                               "--no-videos"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
}

TEST_F(CliTest, ImportedCookiesTravelWithTheRequests)
{
    QFile cookies(data.filePath(QStringLiteral("browser-cookies.txt")));
    ASSERT_TRUE(cookies.open(QIODevice::WriteOnly));
    cookies.write("# Netscape HTTP Cookie File\n"
                  ".weibo.com\tTRUE\t/\tTRUE\t4102444800\tSUB\tlogged-in\n");
    cookies.close();

    const CliResult result = run({QStringLiteral("--cookies"), cookies.fileName(), QStringLiteral("list"),
                                  QStringLiteral("https://weibo.com/u/1234567890")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();

    bool sent = false;
    for (const RecordedRequest &request : https.requests())
        sent = sent || (request.host() == "weibo.com" && request.header("Cookie").contains("SUB=logged-in"));
    EXPECT_TRUE(sent);
    // The store keeps the login for later runs.
    QFile store(home.dataFolder() + QStringLiteral("cookies.txt"));
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    EXPECT_TRUE(store.readAll().contains("logged-in"));
}

// The login the desktop program stored (its cookie store in the data folder both
// front ends choose alike) travels with the CLI's requests, and the settings are
// read and written there.
// A data folder that cannot be written (here: below a plain file, which holds even for
// root) is said once at start; the list still runs.
TEST_F(CliTest, SaysOnceWhenTheDataFolderCannotBeWritten)
{
    QFile plain(data.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const CliResult result = run({QStringLiteral("--data-dir"), data.filePath(QStringLiteral("plain-file/pictrove")),
                                  QStringLiteral("list"), QStringLiteral("https://weibo.com/u/1234567890")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err.count(QStringLiteral("数据文件夹无法写入：")), 1) << result.err.toStdString();
    EXPECT_FALSE(result.out.isEmpty());
}

// Files of the data folder the program cannot use are never lost: a cookie store too
// large to read stays byte for byte (not saved over at the end), a file too large to be
// the settings is moved aside, each with a warning; what killed saves left behind is
// cleared at start once it is stale, and a save that may still run is left alone.
TEST_F(CliTest, DataFilesItCannotUseAreKept)
{
    const QString folder = home.dataFolder();
    const auto write = [](const QString &path, const QByteArray &content, const QDateTime &modified = {}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(content), content.size());
        ASSERT_TRUE(file.flush());  // before the time is set
        if (modified.isValid()) {
            ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    };
    const auto read = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    };
    const QByteArray cookies = ".weibo.com\tTRUE\t/\tTRUE\t4102444800\tSUB\tlogin\n" + QByteArray(17 * 1024 * 1024, '#');
    const QByteArray notSettings(3 * 19808, 'x');
    write(folder + QStringLiteral("cookies.txt"), cookies);
    write(folder + QStringLiteral("soft.dat"), notSettings);
    write(folder + QStringLiteral("soft.dat.tmp-Ab12Cd"), "killed", QDateTime::currentDateTimeUtc().addDays(-1));
    write(folder + QStringLiteral("cookies.txt.tmp-Qw3Er4"), "running");

    const CliResult result = run({QStringLiteral("list"), QStringLiteral("https://weibo.com/u/1234567890")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err.count(QStringLiteral("登录信息文件大于 16 MiB，未读取：")), 1) << result.err.toStdString();
    EXPECT_EQ(result.err.count(QStringLiteral("原文件已改名为 ") + folder + QStringLiteral("soft.dat.bad")), 1)
        << result.err.toStdString();
    EXPECT_TRUE(read(folder + QStringLiteral("cookies.txt")) == cookies);
    EXPECT_TRUE(read(folder + QStringLiteral("soft.dat.bad")) == notSettings);
    EXPECT_EQ(read(folder + QStringLiteral("soft.dat")).size(), 19808);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("soft.dat.tmp-Ab12Cd")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("cookies.txt.tmp-Qw3Er4")));
}

TEST_F(CliTest, UsesTheDataFolderTheDesktopProgramUses)
{
    QTemporaryDir portable;
    QFile soft(portable.filePath(QStringLiteral("soft.dat")));
    ASSERT_TRUE(soft.open(QIODevice::WriteOnly));
    soft.close();
    QTemporaryDir chosen;

    const struct {
        const char *what;
        QString currentDir;
        QStringList options;
        QString dataFolder;
    } cases[] = {
        {"per-user folder", data.path(), {}, home.dataFolder()},
        {"portable folder", portable.path(), {}, portable.path() + u'/'},
        {"--data-dir", portable.path(), {QStringLiteral("--data-dir"), chosen.path()}, chosen.path() + u'/'},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir().mkpath(c.dataFolder));
        QFile cookies(c.dataFolder + QStringLiteral("cookies.txt"));
        ASSERT_TRUE(cookies.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cookies.write(".weibo.com\tTRUE\t/\tTRUE\t4102444800\tSUB\t" + QByteArray(c.what).replace(' ', '-') + "\n");
        cookies.close();
        https.clearLog();

        const CliResult result =
            run(c.options + QStringList{QStringLiteral("list"), QStringLiteral("https://weibo.com/u/1234567890")},
                c.currentDir);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        QByteArray sent;
        for (const RecordedRequest &request : https.requests())
            if (request.host() == "weibo.com")
                sent = request.header("Cookie");
        EXPECT_TRUE(sent.contains("SUB=" + QByteArray(c.what).replace(' ', '-'))) << sent.constData();
        QFile settings(c.dataFolder + QStringLiteral("soft.dat"));
        EXPECT_TRUE(settings.open(QIODevice::ReadOnly) && settings.size() > 0);
    }
    // Nothing was left in a current folder without a soft.dat.
    EXPECT_TRUE(QDir(data.path()).isEmpty());
}

// Weibo as it answers today: the photo service wants a login, the web API lists and
// the pictures arrive; where every path wants a login, exit status 4 says so.
TEST_F(CliTest, WeiboThroughTheWebApiAndLoginNeeded)
{
    const auto json = [](const char *fixture) {
        return CannedResponse::ok(readFixture(QStringLiteral("sources/") + QLatin1String(fixture)), "application/json");
    };
    route("photo.weibo.com", "/albums/get_all",
          CannedResponse::ok(readFixture(QStringLiteral("sources/weibo_login_page.html")), "text/html"));
    route("weibo.com", "/ajax/profile/info", json("weibo_api_profile.json"));
    route("weibo.com", "/ajax/profile/getImageWall", json("weibo_api_image_wall.json"));
    const LoopbackServer::Handler detail = [json](const RecordedRequest &request) {
        return json(request.query().endsWith("since_id=0") ? "weibo_api_album_detail_1.json"
                                                           : "weibo_api_album_detail_2.json");
    };
    http.route("weibo.com", "/ajax/profile/getAlbumDetail", detail);
    https.route("weibo.com", "/ajax/profile/getAlbumDetail", detail);
    for (const char *pid : {"4a1b2c3dgy1halb001", "4a1b2c3dgy1halb002", "4a1b2c3dgy1halb003"})
        route("wx1.sinaimg.cn", QByteArray("/large/") + pid + ".jpg", CannedResponse::ok(picture, "image/jpeg"));

    QTemporaryDir save;
    const CliResult listed = run({QStringLiteral("download"), QStringLiteral("https://m.weibo.cn/u/1234567890"),
                                  QStringLiteral("--albums"), QStringLiteral("1"), QStringLiteral("--save"), save.path()});
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QDir album(save.filePath(QStringLiteral("小明Ming")));
    const QStringList saved = QDir(album.filePath(album.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0)))
                                  .entryList(QDir::Files);
    EXPECT_EQ(saved.filter(QStringLiteral(".jpg")).size(), 3) << saved.join(u' ').toStdString();

    const CannedResponse login = json("weibo_api_login.json");
    route("weibo.com", "/ajax/profile/info", login);
    route("weibo.com", "/ajax/profile/getImageWall", login);
    const CliResult refused = run({QStringLiteral("list"), QStringLiteral("https://weibo.com/u/1234567890")});
    EXPECT_EQ(refused.exitCode, 4) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("该主人的相册需要登录后才能查看：请在<登录>菜单中登录微博后重试")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--cookies")));
}

// update and missing work from the download archive. The Weibo owner here has three
// albums, each with its own photos: 微博配图 one, 头像相册 one (and a second once the
// test adds it at its top), 空相册 none.
class CliArchiveTest : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        // 微博配图 counts the one photo it lists, so its listing is whole.
        QByteArray albums = readFixture(QStringLiteral("sources/weibo_albums.json"));
        albums.replace("\"photos\":33", "\"photos\":1");
        route("photo.weibo.com", "/albums/get_all", CannedResponse::ok(albums));
        const QByteArray photos = readFixture(QStringLiteral("sources/weibo_photos_1.json"));
        const QByteArray empty = readFixture(QStringLiteral("sources/weibo_photos_empty.json"));
        const LoopbackServer::Handler pages = [this, photos, empty](const RecordedRequest &request) {
            if (!request.query().contains("&page=1&"))
                return CannedResponse::ok(empty);
            if (request.query().contains("3555502164890927"))
                return CannedResponse::ok(photo(photos, "4000000000000031", "abcd0031.jpg"));
            if (request.query().contains("3555502164890928")) {
                QByteArray page = photos;
                if (m_newPhoto.load()) {
                    const QByteArray added = photo(photos, "4000000000000035", "abcd0035.jpg");
                    const QByteArray entry = added.mid(added.indexOf("[{") + 1, added.indexOf("}]") - added.indexOf("[{"));
                    page.replace("\"photo_list\":[", "\"photo_list\":[" + entry + ",");
                }
                return CannedResponse::ok(page);
            }
            return CannedResponse::ok(empty);
        };
        http.route("photo.weibo.com", "/photos/get_all", pages);
        https.route("photo.weibo.com", "/photos/get_all", pages);
        for (const char *name : {"/large/abcd0031.jpg", "/large/abcd0035.jpg"})
            route("ww2.sinaimg.cn", name, CannedResponse::ok(picture, "image/jpeg"));
    }

    // The fixture's photo page with another photo id and file in place of its own.
    static QByteArray photo(QByteArray page, const QByteArray &id, const QByteArray &name)
    {
        page.replace("4000000000000033", id);
        page.replace("abcd0033.jpg", name);
        return page;
    }

    QList<QByteArray> pictureRequests() const
    {
        QList<QByteArray> paths;
        for (const RecordedRequest &request : http.requests())
            if (request.host() == "ww2.sinaimg.cn")
                paths.append(request.path());
        return paths;
    }

    CliResult downloadAlbum(const QString &albums)
    {
        return run({QStringLiteral("download"), kOwner, QStringLiteral("--albums"), albums, QStringLiteral("--save"),
                    save.path(), QStringLiteral("--skip-previous")});
    }

    const QString kOwner = QStringLiteral("https://weibo.com/u/1234567890");
    std::atomic<bool> m_newPhoto{false};
    QTemporaryDir save;
};

// Over an owners file: comments and blank lines are left out, a line that is no
// address is reported and counted, the others still run, and the status is the worst.
TEST_F(CliArchiveTest, UpdateRunsEveryOwnerAndExitsWithTheWorstStatus)
{
    ASSERT_EQ(downloadAlbum(QStringLiteral("2")).exitCode, 0);
    m_newPhoto = true;
    QFile owners(data.filePath(QStringLiteral("owners.txt")));
    ASSERT_TRUE(owners.open(QIODevice::WriteOnly));
    owners.write("# the owners I keep\n\n" + kOwner.toUtf8() + "\n  # an old one\nnot an address\n"
                 "   http://blog.sina.com.cn/u/1234567890   \n");
    owners.close();

    http.clearLog();
    const CliResult result = run({QStringLiteral("update"), QStringLiteral("--owners-file"), owners.fileName(),
                                  QStringLiteral("--save"), save.path()});
    // Only the new photo of the one archived album; 微博配图 was never downloaded.
    EXPECT_EQ(pictureRequests(), QList<QByteArray>{"/large/abcd0035.jpg"}) << result.err.toStdString();
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << result.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(kOwner + QStringLiteral("\t0\t更新完毕：3 个相册中 1 个有存档，保存 1 张")))
        << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("not an address\t2\t请输入以http://或https://开头的网址"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("http://blog.sina.com.cn/u/1234567890\t1\t下载存档中没有")))
        << lines[2].toStdString();
    EXPECT_EQ(result.exitCode, 2);

    // Nothing new: the listing's requests only, and done.
    http.clearLog();
    const CliResult again = run({QStringLiteral("update"), kOwner, QStringLiteral("--save"), save.path()});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(pictureRequests().isEmpty());
}

TEST_F(CliArchiveTest, UpdateRefusesWhatItCannotRun)
{
    const struct {
        QStringList arguments;
        const char *said;
    } cases[] = {
        {{QStringLiteral("update"), QStringLiteral("--owners-file"), data.filePath(QStringLiteral("none.txt"))},
         "cannot read the owners file"},
        {{QStringLiteral("update"), QStringLiteral("--owners-file"), data.path()}, "cannot read the owners file"},
        {{QStringLiteral("update")}, "update needs an OWNER address or --owners-file FILE"},
        {{QStringLiteral("update"), kOwner, QStringLiteral("--no-archive")}, "--no-archive cannot be used"},
        {{QStringLiteral("list"), kOwner, QStringLiteral("--owners-file"), data.path()}, "--owners-file is for update"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.said);
        const CliResult result = run(c.arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.err.contains(QLatin1String(c.said))) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("usage: pictrove-cli"))) << result.err.toStdString();
    }
    EXPECT_TRUE(http.requests().isEmpty());
}

// missing lists what the service lists and the archive does not hold, per album, and
// exits 8 until nothing is missing; list shows the archived counts once there are some.
TEST_F(CliArchiveTest, MissingListsWhatTheArchiveDoesNotHold)
{
    CliResult result = run({QStringLiteral("list"), kOwner});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(result.out.contains(QStringLiteral("已存档")));  // the archive knows nothing of the owner

    ASSERT_EQ(downloadAlbum(QStringLiteral("2")).exitCode, 0);
    m_newPhoto = true;
    http.clearLog();
    result = run({QStringLiteral("missing"), kOwner, QStringLiteral("--failed-list"),
                  data.filePath(QStringLiteral("missing.txt"))});
    EXPECT_EQ(result.exitCode, 8) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(),
              "# 0001\t微博配图\t已存档 0/1\n"
              "http://ww2.sinaimg.cn/large/abcd0031.jpg\t未存档\n"
              "# 0002\t头像相册\t已存档 1/2\n"
              "http://ww2.sinaimg.cn/large/abcd0035.jpg\t未存档\n"
              "# 0003\t空相册\t已存档 0/0\n");
    EXPECT_TRUE(pictureRequests().isEmpty());  // pictures are listed, never fetched
    QFile failed(data.filePath(QStringLiteral("missing.txt")));
    ASSERT_TRUE(failed.open(QIODevice::ReadOnly));
    EXPECT_EQ(failed.readAll(), QByteArray("http://ww2.sinaimg.cn/large/abcd0031.jpg\t未存档\n"
                                           "http://ww2.sinaimg.cn/large/abcd0035.jpg\t未存档\n"));

    result = run({QStringLiteral("list"), kOwner});
    EXPECT_EQ(result.out.toStdString(),
              "0001\t微博配图\t1\t\t已存档 0/1\n0002\t头像相册\t1\t\t已存档 1/1\n0003\t空相册\t0\t\t已存档 0/0\n");

    // A picture that failed is listed with the reason of its last try.
    route("ww2.sinaimg.cn", "/large/abcd0031.jpg", CannedResponse::error(404));
    ASSERT_EQ(downloadAlbum(QStringLiteral("1")).exitCode, 5);
    result = run({QStringLiteral("missing"), kOwner});
    EXPECT_EQ(result.exitCode, 8);
    const QStringList failedLine = result.out.split(u'\n').filter(QStringLiteral("abcd0031.jpg\t"));
    ASSERT_EQ(failedLine.size(), 1) << result.out.toStdString();
    EXPECT_FALSE(failedLine.at(0).endsWith(QStringLiteral("\t未存档"))) << failedLine.at(0).toStdString();
    EXPECT_TRUE(failedLine.at(0).contains(QStringLiteral("404"))) << failedLine.at(0).toStdString();

    route("ww2.sinaimg.cn", "/large/abcd0031.jpg", CannedResponse::ok(picture, "image/jpeg"));
    ASSERT_EQ(downloadAlbum(QStringLiteral("1-2")).exitCode, 0);
    result = run({QStringLiteral("missing"), kOwner});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(result.out.contains(QStringLiteral("未存档"))) << result.out.toStdString();
}

// list looks for each archived file under the save folder and counts the pictures that
// failed: a file deleted since and a picture refused show beside 已存档 N/M.
TEST_F(CliArchiveTest, ListCountsFilesGoneAndPicturesFailed)
{
    const auto list = [this] {
        const CliResult result = run({QStringLiteral("list"), kOwner, QStringLiteral("--save"), save.path()});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        return result.out.toStdString();
    };
    ASSERT_EQ(downloadAlbum(QStringLiteral("2")).exitCode, 0);
    EXPECT_EQ(list(), "0001\t微博配图\t1\t\t已存档 0/1\n0002\t头像相册\t1\t\t已存档 1/1\n0003\t空相册\t0\t\t已存档 0/0\n");

    QStringList saved;
    for (QDirIterator it(save.path(), {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        saved.append(it.next());
    ASSERT_EQ(saved.size(), 1);
    ASSERT_TRUE(QFile::remove(saved.at(0)));
    route("ww2.sinaimg.cn", "/large/abcd0031.jpg", CannedResponse::error(404));
    ASSERT_EQ(downloadAlbum(QStringLiteral("1")).exitCode, 5);
    EXPECT_EQ(list(), "0001\t微博配图\t1\t\t已存档 0/1 · 失败 1\n"
                      "0002\t头像相册\t1\t\t已存档 1/1 · 缺文件 1\n"
                      "0003\t空相册\t0\t\t已存档 0/0\n");

    // Fetched again, the picture is no longer a failure.
    route("ww2.sinaimg.cn", "/large/abcd0031.jpg", CannedResponse::ok(picture, "image/jpeg"));
    ASSERT_EQ(downloadAlbum(QStringLiteral("1")).exitCode, 0);
    EXPECT_EQ(list(), "0001\t微博配图\t1\t\t已存档 1/1\n"
                      "0002\t头像相册\t1\t\t已存档 1/1 · 缺文件 1\n"
                      "0003\t空相册\t0\t\t已存档 0/0\n");
}

// A wall of every kind of post, downloaded as a user would: live photos as a still and
// a moving part under one name, the GIF as .gif, the videos as .mp4; the flags leave
// the moving parts and the videos out of one run, and the stored choice for good.
TEST_F(CliTest, WeiboPostsGiveEveryMediumUnlessLeftOut)
{
    const auto json = [](const char *fixture) {
        return CannedResponse::ok(readFixture(QStringLiteral("sources/") + QLatin1String(fixture)), "application/json");
    };
    route("photo.weibo.com", "/albums/get_all",
          CannedResponse::ok(readFixture(QStringLiteral("sources/weibo_login_page.html")), "text/html"));
    route("weibo.com", "/ajax/profile/info", json("weibo_api_profile.json"));
    route("weibo.com", "/ajax/profile/getImageWall", json("weibo_api_image_wall_media.json"));
    const LoopbackServer::Handler status = [json](const RecordedRequest &request) {
        const QByteArray query = request.query();
        return json(query.endsWith("4900000000000011")   ? "weibo_api_status_live.json"
                    : query.endsWith("4900000000000012") ? "weibo_api_status_video.json"
                    : query.endsWith("4900000000000013") ? "weibo_api_status_mixed.json"
                                                         : "weibo_api_status_12.json");
    };
    http.route("weibo.com", "/ajax/statuses/show", status);
    https.route("weibo.com", "/ajax/statuses/show", status);
    const QByteArray gif = QByteArray("GIF89a") + QByteArray(3000, 'g');
    const QByteArray movie = QByteArray("\0\0\0\x14" "ftypqt  ", 12) + QByteArray(3000, 'm');
    const QByteArray mp4 = QByteArray("\0\0\0\x18" "ftypmp42", 12) + QByteArray(3000, 'v');
    // The wall names two pictures itself; the first of the 12-picture post is fetched
    // by the wall's address, as the wall names it first.
    route("wx1.sinaimg.cn", "/large/4a1b2c3dgy1hwall01.jpg", CannedResponse::ok(picture, "image/jpeg"));
    route("wx1.sinaimg.cn", "/large/4a1b2c3dgy1hdoz001.jpg", CannedResponse::ok(picture, "image/jpeg"));
    QStringList stills{"live01", "pic001", "mix001", "mix002"};
    for (int n = 1; n <= 12; ++n)
        stills.append(QStringLiteral("doz%1").arg(n, 3, 10, QLatin1Char('0')));
    for (const QString &still : std::as_const(stills))
        route("wx3.sinaimg.cn", "/large/4a1b2c3dgy1h" + still.toLatin1() + ".jpg", CannedResponse::ok(picture, "image/jpeg"));
    route("wx3.sinaimg.cn", "/large/4a1b2c3dgy1hgif001.gif", CannedResponse::ok(gif, "image/gif"));
    route("livephoto.us.sinaimg.cn", "/000Lv01gx08live01mov0f0f0100abcd0k01.mov", CannedResponse::ok(movie, "video/quicktime"));
    route("livephoto.us.sinaimg.cn", "/000Mix02mov.mov", CannedResponse::ok(movie, "video/quicktime"));
    route("f.video.weibocdn.com", "/o0/v1080.mp4", CannedResponse::ok(mp4, "video/mp4"));
    route("f.video.weibocdn.com", "/o0/m720.mp4", CannedResponse::ok(mp4, "video/mp4"));

    const struct {
        const char *what;
        QStringList flags;
        const char *stored;  // media.ini, or null for none
        int movs, mp4s;
    } cases[] = {
        {"everything", {}, nullptr, 2, 2},
        {"flags", {QStringLiteral("--no-live-motion"), QStringLiteral("--no-videos")}, nullptr, 0, 0},
        {"stored choice", {}, "[media]\nvideos=0\n", 2, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.stored) {
            QFile stored(home.dataFolder() + QStringLiteral("media.ini"));
            ASSERT_TRUE(stored.open(QIODevice::WriteOnly));
            stored.write(c.stored);
        }
        QTemporaryDir save;
        const CliResult result = run(QStringList{QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"),
                                                 QStringLiteral("--albums"), QStringLiteral("1"), QStringLiteral("--save"),
                                                 save.path()}
                                     + c.flags);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QDir album(save.filePath(QStringLiteral("小明Ming/全部图片")));
        const QStringList saved = album.entryList(QDir::Files);
        EXPECT_EQ(saved.filter(QRegularExpression(QStringLiteral("\\.jpg$"))).size(), 17) << saved.join(u' ').toStdString();
        EXPECT_EQ(saved.filter(QRegularExpression(QStringLiteral("\\.gif$"))).size(), 1);
        EXPECT_EQ(saved.filter(QRegularExpression(QStringLiteral("\\.mov$"))).size(), c.movs);
        EXPECT_EQ(saved.filter(QRegularExpression(QStringLiteral("\\.mp4$"))).size(), c.mp4s);
        // The live photo's two parts under one name, the post's text.
        EXPECT_TRUE(saved.contains(QStringLiteral("春天 @x.jpg"))) << saved.join(u' ').toStdString();
        EXPECT_EQ(saved.contains(QStringLiteral("春天 @x.mov")), c.movs > 0);
        EXPECT_TRUE(saved.contains(QStringLiteral("春天 @x.gif")));
        for (const QString &name : saved)
            EXPECT_FALSE(name.contains(u'?') || name.contains(QStringLiteral("Expires"))) << name.toStdString();
        QFile::remove(home.dataFolder() + QStringLiteral("media.ini"));
    }
}

}  // namespace

}  // namespace pictrove
