// Whole download runs: the driver walks chosen Sina blog albums whose category pages
// and pictures come from a loopback server, and leaves folders, pictures, list files
// and markers exactly as a user would find them.

#include "download/DownloadDriver.h"
#include "download/DownloadJob.h"
#include "net/NetworkSetup.h"
#include "sources/MainWindowState.h"
#include "support/LoopbackServer.h"
#include "support/RecordingWindowPort.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace {

struct Pic {
    QByteArray name;   // picture file on the server, under /orignal/
    QByteArray title;  // as the page shows it
    QByteArray body;
};

QByteArray jpeg(const QByteArray &tag)
{
    return QByteArray("\xFF\xD8\xFF\xE0", 4) + tag.repeated(200);
}

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// A photo-blog category page as the service sends it: one "pt_border" cell per picture
// with the small picture's address and its title, and a next-page link when more follow.
QByteArray categoryPage(const QList<Pic> &pics, bool more = false)
{
    QByteArray page = "<html><head><title>Anna的相册_新浪博客</title></head><body>\n"
                      "<div class=\"photoList\">\n";
    for (const Pic &p : pics) {
        page += "<div class=\"pt_border\"><a href=\"http://photo.blog.sina.com.cn/photo/"
                + p.name + "\" target=\"_blank\"><img src=\"http://s1.sinaimg.cn/small/" + p.name
                + "\" title=\"" + p.title + "\" alt=\"\" /></a></div>\n";
    }
    page += "</div>\n<div class=\"SG_page\">";
    if (more)
        page += "<a href=\"#\" title=\"next\">下一页</a>";
    page += "</div></body></html>\n";
    return page;
}

QString pictureAddress(const Pic &p)
{
    return QStringLiteral("http://s1.sinaimg.cn/orignal/") + QString::fromLatin1(p.name);
}

class DownloadRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        setRetryPauseHook([](int) {});
        state.dataFolder = m_dir.path() + QStringLiteral("/data/");
        QDir().mkpath(state.dataFolder);
        state.readyFlag = 1;
        state.sourceTypeIndex = 4;
        state.listType = LIST_BLOG_CATEGORIES;
        state.owner.name = QStringLiteral("Anna/");
        state.sleep = [](int) {};
        port.setText(IDC_SAVE_PATH, QStringLiteral("  ") + m_dir.path() + QStringLiteral("/save "));
        setRules(OPT_OPEN_FOLDER, 2);
    }
    void TearDown() override { setRetryPauseHook({}); }

    void setRules(uint16_t options, uint16_t threads, uint8_t folderBase = FOLDER_BASE_ALBUM_NAME)
    {
        state.updateSettings([&](SettingsBlock &block) {
            block.downloadParams[4] = DownloadParams{0, 0, threads, 30};
            block.nameRules[4].options = options;
            block.nameRules[4].folderBase = folderBase;
        });
    }

    // An album whose pictures are listed on one category page and served by the server.
    void addAlbum(const QString &name, const QList<Pic> &pics)
    {
        const int number = state.albums.size() + 1;
        AlbumRecord record;
        record.name = name;
        record.url = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234/s/%1").arg(number);
        state.albums.appendUnique(record);
        server.route("photo.blog.sina.com.cn",
                     "/category/u/1234/s/" + QByteArray::number(number) + "/page1",
                     CannedResponse::ok(categoryPage(pics)));
        for (const Pic &p : pics)
            server.route("s1.sinaimg.cn", "/orignal/" + p.name, CannedResponse::ok(p.body, "image/jpeg"));
    }

    void run(const QList<int> &albums)
    {
        port.setSelection(albums);
        StartDownload(state);
        state.waitForThreads();
    }

    QString base() const { return m_dir.path() + QStringLiteral("/save/Anna/"); }

    QStringList filesIn(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QByteArray read(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Paths of the picture requests, in arrival order.
    QList<QByteArray> pictureRequests() const
    {
        QList<QByteArray> paths;
        for (const RecordedRequest &r : server.requests()) {
            if (r.host() == "s1.sinaimg.cn")
                paths.append(r.path());
        }
        return paths;
    }

    QTemporaryDir m_dir;
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("photo.blog.sina.com.cn"), QStringLiteral("s1.sinaimg.cn")}};
    RecordingWindowPort port;
    MainWindowState state{port};

    const QList<Pic> trip = {
        {"t1.jpg", "Sunset", jpeg("1")},
        {"t2.jpg", "../../escape", jpeg("2")},
        {"t3.jpg", "C:\\x\\y.jpg", jpeg("3")},
        {"t4.jpg", "Sunset", jpeg("4")},
    };
    const QList<Pic> sea = {
        {"s1.jpg", "Wave", jpeg("5")},
        {"s2.jpg", "", jpeg("6")},
    };
};

TEST_F(DownloadRunTest, TwoAlbums)
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

    EXPECT_EQ(port.textsOf(IDC_STATUS),
              (QStringList{"正在下载第1/2个图集", "正在下载第2/2个图集", "下载完毕"}));
    const QStringList detail = port.textsOf(IDC_STATUS_DETAIL);
    EXPECT_TRUE(detail.contains(QStringLiteral("已获取到4张图片信息")));
    EXPECT_TRUE(detail.contains(QStringLiteral("已开始下载图片")));
    EXPECT_TRUE(detail.contains(QStringLiteral("已下载4/4......")));
    EXPECT_TRUE(detail.contains(QStringLiteral("已下载2/2......")));
    EXPECT_EQ(detail.last(), QString());
    EXPECT_EQ(port.textsOf(IDC_DOWNLOAD), (QStringList{"终止下载", "下载"}));
    for (const int id : {IDC_SOURCE_TYPE, IDC_GET_LIST, IDC_SET_PATH, IDC_OWNER_ADDRESS, IDC_SAVE_PATH,
                         IDC_PRAISE_LINK1, IDC_PRAISE_LINK2, IDC_PRAISE_LINK3})
        EXPECT_TRUE(port.enabled(id)) << id;
    EXPECT_TRUE(port.messages().isEmpty());
    EXPECT_EQ(port.opened(), QStringList{seaFolder});
    EXPECT_EQ(state.downState.load(), DOWN_IDLE);
    EXPECT_EQ(state.downloadJob.selectedAlbumCount, 2);
}

TEST_F(DownloadRunTest, ThunderListOnly)
{
    setRules(OPT_THUNDER_LIST_ONLY | OPT_OPEN_FOLDER, 2);
    addAlbum(QStringLiteral("旅行"), trip);
    run({0});

    const QString folder = base() + QStringLiteral("旅行/");
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("旅行.lst")});
    QByteArray expected;
    for (const Pic &p : trip)
        expected += pictureAddress(p).toLatin1() + "\r\n";
    EXPECT_EQ(read(folder + QStringLiteral("旅行.lst")), expected);
    EXPECT_TRUE(pictureRequests().isEmpty());
    EXPECT_EQ(port.opened(), QStringList{folder});
    EXPECT_EQ(port.textsOf(IDC_STATUS).last(), QStringLiteral("下载完毕"));
}

TEST_F(DownloadRunTest, TitleFiles)
{
    const struct {
        const char *label;
        uint8_t folderBase;
        const char16_t *tripFile;
        const char16_t *seaFile;
    } cases[] = {
        {"album folders", FOLDER_BASE_ALBUM_NAME, u"Trip/Trip.txt", u"Sea/Sea.txt"},
        {"no album folders", FOLDER_BASE_NONE, u"Trip.txt", u"Sea.txt"},
    };
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        setRules(OPT_TITLE_FILE, 3, c.folderBase);
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

TEST_F(DownloadRunTest, SkipPreviouslyDownloaded)
{
    setRules(OPT_SKIP_PREVIOUS, 2);
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
    EXPECT_TRUE(port.opened().isEmpty());  // no option to open, and nothing listed anyway
}

TEST_F(DownloadRunTest, AbortMidAlbum)
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
    state.sleep = [this](int) { StartDownload(state); };

    run({0, 1});
    EXPECT_EQ(pictureRequests(), QList<QByteArray>{"/orignal/t1.jpg"});
    EXPECT_EQ(filesIn(folder), (QStringList{"Sunset.jpg", "pic.vrx"}));
    EXPECT_EQ(read(folder + QStringLiteral("Sunset.jpg")), jpeg("1"));
    EXPECT_EQ(read(folder + QStringLiteral("pic.vrx")), utf16(QStringLiteral("http://old/1.jpg")));
    EXPECT_FALSE(QFileInfo::exists(base() + QStringLiteral("Sea")));
    for (const RecordedRequest &r : server.requests())
        EXPECT_NE(r.path(), "/category/u/1234/s/2/page1");
    EXPECT_EQ(port.textsOf(IDC_STATUS).last(), QStringLiteral("下载完毕"));
    EXPECT_EQ(port.textsOf(IDC_DOWNLOAD).last(), QStringLiteral("下载"));
    EXPECT_EQ(state.downState.load(), DOWN_IDLE);
}

TEST_F(DownloadRunTest, FormatAndOrderRepairs)
{
    setRules(OPT_FIX_FORMAT | OPT_FIX_ORDER, 3);
    const QList<Pic> mixed = {
        {"a.jpg", "a", QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(100, 'x')},
        {"b.jpg", "b", QByteArray("GIF89a") + QByteArray(100, 'x')},
        {"c.jpg", "c", QByteArray("II*\0", 4) + QByteArray(100, 'x')},
        {"d.jpg", "d", jpeg("d")},
        {"e.jpg", "e", QByteArray("<html>not a picture</html>")},
    };
    addAlbum(QStringLiteral("Mixed"), mixed);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    run({0});
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    const QString folder = base() + QStringLiteral("Mixed/");
    EXPECT_EQ(filesIn(folder), (QStringList{"a.png", "b.gif", "c.tiff", "d.jpg", "e.jpg", "pic.vrx"}));
    EXPECT_EQ(state.downloadJob.jobFileNames, (QStringList{"a.png", "b.gif", "c.tiff", "d.jpg", "e.jpg"}));
    const qint64 t = QFileInfo(folder + QStringLiteral("a.png")).lastModified().toSecsSinceEpoch();
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    const char *order[] = {"a.png", "b.gif", "c.tiff", "d.jpg", "e.jpg"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(QFileInfo(folder + QLatin1String(order[i])).lastModified().toSecsSinceEpoch(), t - 60 * i)
            << order[i];
}

TEST_F(DownloadRunTest, EmptyAlbumGetsNoFolder)
{
    addAlbum(QStringLiteral("Empty"), {});
    addAlbum(QStringLiteral("Sea"), sea);
    run({0, 1});
    EXPECT_FALSE(QFileInfo::exists(base() + QStringLiteral("Empty")));
    EXPECT_EQ(filesIn(base() + QStringLiteral("Sea/")), (QStringList{"Sea.jpg", "Wave.jpg", "pic.vrx"}));
    EXPECT_EQ(port.opened(), QStringList{base() + QStringLiteral("Sea/")});
}

TEST_F(DownloadRunTest, RunsThatEndEarly)
{
    addAlbum(QStringLiteral("Trip"), trip);
    QFile blocker(m_dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const struct {
        const char *label;
        QString savePath;
        QList<int> albums;
        QStringList messages;
        QStringList status;
    } cases[] = {
        {"no save path", QStringLiteral(" \t"), {0}, {"请先设置保存路径"}, {}},
        {"save path under a file", m_dir.path() + QStringLiteral("/file/x"), {0},
         {m_dir.path() + QStringLiteral("/file"), "请检测设置的保存路径是否有误"}, {}},
        {"no album chosen", m_dir.path() + QStringLiteral("/save"), {}, {"请先在列表中选择要下载的相册"},
         {"下载完毕"}},
        {"chosen index out of range", m_dir.path() + QStringLiteral("/save"), {7}, {"请先在列表中选择要下载的相册"},
         {"下载完毕"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        RecordingWindowPort fresh;
        MainWindowState other(fresh);
        other.dataFolder = state.dataFolder;
        fresh.setText(IDC_SAVE_PATH, c.savePath);
        fresh.setSelection(c.albums);
        StartDownload(other);
        other.waitForThreads();
        EXPECT_EQ(fresh.messages(), c.messages);
        EXPECT_EQ(fresh.textsOf(IDC_STATUS), c.status);
        EXPECT_EQ(other.downState.load(), DOWN_IDLE);
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(DownloadRunTest, OnlyTheSinaSourceTypeLists)
{
    addAlbum(QStringLiteral("Trip"), trip);
    addAlbum(QStringLiteral("Sea"), sea);
    const struct {
        int sourceType;
        QStringList messages;
    } cases[] = {
        {21, {"Error ListType Code.", "Error ListType Code."}},
        {7, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sourceType);
        RecordingWindowPort fresh;
        MainWindowState other(fresh);
        other.dataFolder = state.dataFolder;
        for (int i = 0; i < 2; ++i)
            other.albums.appendUnique(state.albums.at(i));
        other.sourceTypeIndex = c.sourceType;
        other.listType = LIST_BLOG_CATEGORIES;
        fresh.setText(IDC_SAVE_PATH, m_dir.path() + QStringLiteral("/other"));
        fresh.setSelection({0, 1});
        StartDownload(other);
        other.waitForThreads();
        EXPECT_EQ(fresh.messages(), c.messages);
        EXPECT_EQ(fresh.textsOf(IDC_STATUS).last(), QStringLiteral("下载完毕"));
        EXPECT_TRUE(fresh.opened().isEmpty());
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

}  // namespace
