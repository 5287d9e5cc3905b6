// Download from the window: the albums selected in the grid are the ones the run
// downloads, the buttons go busy and come back, and Open Path follows the transfer.

#include "UiTestSupport.h"

#include "download/Downloader.h"
#include "grid/AlbumGrid.h"
#include "net/NetworkSetup.h"
#include "settings/MediaOptions.h"
#include "sources/AddAlbum.h"
#include "sources/AlbumPictures.h"
#include "sources/PictureSink.h"
#include "sources/Session.h"
#include "sources/Source.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "support/ScopedRouting.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/dialogs/FailedPicturesDialog.h"
#include "ui/mainwindow/LinkLabel.h"
#include "ui/mainwindow/MainWindow.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

namespace pictrove {

namespace {

void listLivePhotoAndVideo(const AlbumWalk &, PictureSink &sink);

// A source of one post: a live photo and a video, on the loopback picture host.
const Source kPostSource{"post", nullptr, nullptr, &listLivePhotoAndVideo, u"", 1};

void listLivePhotoAndVideo(const AlbumWalk &, PictureSink &sink)
{
    const struct {
        const char *address;
        MediaKind kind;
    } media[] = {
        {"http://s1.sinaimg.cn/orignal/live1", MediaKind::Still},
        {"http://s1.sinaimg.cn/live/live1.mov?Expires=1&ssig=a", MediaKind::LiveMotion},
        {"http://s1.sinaimg.cn/video/clip.mp4?Expires=1&ssig=b", MediaKind::Video},
    };
    for (const auto &m : media) {
        Picture picture;
        picture.address = QString::fromLatin1(m.address);
        picture.title = QStringLiteral("post");
        picture.kind = m.kind;
        sink.addPicture(picture);
    }
}

// A photo-blog category page listing `pictures`.
QByteArray categoryPage(const QByteArrayList &pictures)
{
    QByteArray page = "<html><head><title>Anna的相册_新浪博客</title></head><body>\n<div class=\"photoList\">\n";
    for (const QByteArray &picture : pictures) {
        page += "<div class=\"pt_border\"><a href=\"http://photo.blog.sina.com.cn/photo/" + picture
                + "\" target=\"_blank\"><img src=\"http://s1.sinaimg.cn/small/" + picture + "\" title=\"pic "
                + picture + "\" alt=\"\" /></a></div>\n";
    }
    return page + "</div>\n<div class=\"SG_page\"></div></body></html>\n";
}

// A window whose last list found three albums of Anna's, each with one picture on the
// loopback blog.
class DesktopDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setRetryPauseHook([](int) {});
        Session &session = window.session();
        session.setDataFolder(dir.path() + QStringLiteral("/"));
        session.sleep = [](int) {};
        session.sourceType = SourceType::Sina;  // as every Get List leaves it
        session.owner.name = QStringLiteral("Anna/");
        session.updateSettings([](SettingsBlock &block) {
            block.downloadParams[settingsIndex(SourceType::Sina)] = DownloadParams{0, 0, 2, 30};
            block.nameRules[settingsIndex(SourceType::Sina)].options = 0;
        });
        setControlText(window.control(kControlSavePath), savePath());
        window.albumView().resetGrid();
        window.show();

        for (int album = 1; album <= 3; ++album) {
            const QByteArray number = QByteArray::number(album);
            AlbumRecord record;
            record.source = &kSinaBlogCategoriesSource;
            record.name = QStringLiteral("album%1").arg(album);
            record.url = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234/s/%1").arg(album);
            addAlbum(session, record);
            server.route("photo.blog.sina.com.cn", "/category/u/1234/s/" + number + "/page1",
                         CannedResponse::ok(categoryPage({"p" + number})));
        }
        window.control(kControlDownload)->setEnabled(true);
    }

    void TearDown() override
    {
        window.session().waitForThreads();
        setRetryPauseHook({});
    }

    void routePicture(int album, int latencyMs = 0)
    {
        const QByteArray number = QByteArray::number(album);
        server.route("s1.sinaimg.cn", "/orignal/p" + number,
                     CannedResponse::ok(QByteArray("\xFF\xD8\xFF\xE0", 4) + number.repeated(300), "image/jpeg")
                         .withLatency(latencyMs));
    }

    void selectRows(const QList<int> &rows)
    {
        AlbumGrid &grid = window.grid();
        for (int row : rows)
            grid.selectionModel()->select(grid.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QAbstractButton *button(int id) const { return qobject_cast<QAbstractButton *>(window.control(id)); }
    QString savePath() const { return dir.path() + QStringLiteral("/save/"); }

    QTemporaryDir dir;
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("photo.blog.sina.com.cn"), QStringLiteral("s1.sinaimg.cn")}};
    RecordingShell shell;
    MainWindow window{shell};
};

TEST_F(DesktopDownloadTest, DownloadsTheSelectedAlbums)
{
    for (int album = 1; album <= 3; ++album)
        routePicture(album);
    // Albums 1 and 3, selected in the grid like a user would.
    selectRows({0, 2});
    button(kControlDownload)->click();
    ASSERT_TRUE(waitUntil([&] {
        return !window.downloader().isRunning()
               && controlText(window.control(kControlStatus)) == QStringLiteral("下载完毕");
    }));

    const QString base = savePath() + QStringLiteral("Anna/");
    EXPECT_EQ(QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
              QStringList({QStringLiteral("album1"), QStringLiteral("album3")}));
    EXPECT_FALSE(QDir(base + QStringLiteral("album1")).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(controlText(window.control(kControlDownload)), QStringLiteral("下载"));
    EXPECT_TRUE(window.control(kControlGetList)->isEnabled());
    EXPECT_TRUE(shell.messages().isEmpty()) << shell.messages().join(u'\n').toStdString();
    EXPECT_TRUE(controlText(window.control(kControlStatusDetail)).startsWith(QStringLiteral("保存 ")))
        << controlText(window.control(kControlStatusDetail)).toStdString();

    // Nothing selected: said at once; no run starts, the button never turns into "stop".
    window.grid().clearSelectionAndFocus();
    button(kControlDownload)->click();
    EXPECT_FALSE(window.downloader().isRunning());
    EXPECT_EQ(controlText(window.control(kControlDownload)), QStringLiteral("下载"));
    EXPECT_EQ(controlText(window.control(kControlStatus)), QStringLiteral("没有下载任何图片：请先选择相册"));
    EXPECT_EQ(shell.messages().size(), 1);
}

// The window's downloads take the media options of the download settings: with videos
// turned off, a post's live photo arrives whole and its video not at all.
TEST_F(DesktopDownloadTest, DownloadsTakeTheStoredMediaOptions)
{
    AlbumRecord post;
    post.source = &kPostSource;
    post.name = QStringLiteral("post");
    post.url = QStringLiteral("post:1");
    addAlbum(window.session(), post);
    ASSERT_TRUE(waitUntil([&] { return window.grid().model()->rowCount() == 4; }));
    server.route("s1.sinaimg.cn", "/orignal/live1", CannedResponse::ok(QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(300, 's'), "image/jpeg"));
    server.route("s1.sinaimg.cn", "/live/live1.mov", CannedResponse::ok(QByteArray("\0\0\0\x14" "ftypqt  ", 12) + QByteArray(300, 'm'), "video/quicktime"));
    server.route("s1.sinaimg.cn", "/video/clip.mp4", CannedResponse::ok(QByteArray("\0\0\0\x18" "ftypmp42", 12) + QByteArray(300, 'v'), "video/mp4"));
    ASSERT_TRUE(saveMediaOptions(window.session().dataFolder(), MediaOptions{true, false}));

    selectRows({3});
    button(kControlDownload)->click();
    ASSERT_TRUE(waitUntil([&] {
        return !window.downloader().isRunning()
               && controlText(window.control(kControlStatus)) == QStringLiteral("下载完毕");
    })) << controlText(window.control(kControlStatus)).toStdString();
    EXPECT_EQ(QDir(savePath() + QStringLiteral("Anna/post")).entryList(QDir::Files, QDir::Name),
              (QStringList{"pic.vrx", "post.jpg", "post.mov"}));
}

TEST_F(DesktopDownloadTest, OpenPathOpensTheAlbumDuringATransferElseTheSavePath)
{
    setControlText(window.control(kControlSavePath), QString());
    button(kControlOpenPath)->click();
    EXPECT_TRUE(shell.opened().isEmpty());

    setControlText(window.control(kControlSavePath), savePath());
    button(kControlOpenPath)->click();
    EXPECT_EQ(shell.opened(), QStringList{savePath()});

    // The picture answers slowly: the transfer is under way long enough to press Open Path.
    routePicture(1, 1500);
    selectRows({0});
    button(kControlDownload)->click();
    ASSERT_TRUE(waitUntil([&] { return window.downloader().openPathFolder(savePath()) != savePath(); }));
    button(kControlOpenPath)->click();
    EXPECT_EQ(shell.opened(), (QStringList{savePath(), savePath() + QStringLiteral("Anna/album1/")}));

    ASSERT_TRUE(waitUntil([&] { return !window.downloader().isRunning(); }));
    button(kControlOpenPath)->click();
    EXPECT_EQ(shell.opened().last(), savePath());
}

// A stop: the 状态 column says it for every album of the run, and how many pictures of
// the album under way were never tried; the run's counts say it apart from skipped.
TEST_F(DesktopDownloadTest, AStopSaysWhatWasLeftUntried)
{
    window.session().updateSettings(
        [](SettingsBlock &block) { block.downloadParams[settingsIndex(SourceType::Sina)].threads = 1; });
    server.route("photo.blog.sina.com.cn", "/category/u/1234/s/1/page1",
                 CannedResponse::ok(categoryPage({"q1", "q2", "q3", "q4"})));
    for (const QByteArray picture : {"q1", "q2", "q3", "q4"}) {
        server.route("s1.sinaimg.cn", "/orignal/" + picture,
                     CannedResponse::ok(QByteArray("\xFF\xD8\xFF\xE0", 4) + picture.repeated(300), "image/jpeg")
                         .withLatency(1500));
    }
    selectRows({0, 1, 2});
    button(kControlDownload)->click();
    ASSERT_TRUE(waitUntil([&] {
        for (const RecordedRequest &request : server.requests())
            if (request.path() == "/orignal/q1")
                return true;
        return false;
    }));
    button(kControlDownload)->click();  // 终止下载
    ASSERT_TRUE(waitUntil([&] { return !window.downloader().isRunning() && window.control(kControlGetList)->isEnabled(); }));

    const auto stateOf = [&](int gridRow) { return window.grid().cellText(gridRow, AlbumListView::kStateColumn); };
    // The picture under way when the stop came is cut short: it is untried too.
    EXPECT_EQ(stateOf(1), QStringLiteral("已停止 0/4"));
    EXPECT_EQ(stateOf(2), QStringLiteral("已停止"));
    EXPECT_EQ(stateOf(3), QStringLiteral("已停止"));
    EXPECT_EQ(controlText(window.control(kControlStatus)), QStringLiteral("下载已终止"));
    EXPECT_EQ(controlText(window.control(kControlStatusDetail)), QStringLiteral("保存 0 张，跳过 0 张，失败 0 张，未下载 4 张"));
    EXPECT_TRUE(window.failedPictures().isEmpty());
}

// A stop while albums overlap: the albums listed ahead end at the stop too, and none
// of them moves the run on. Every row of the run says it stopped, with how far its
// album got; the bar and the status line stay where the stop found them; the folder
// the options open at the end is not opened after a stop.
TEST_F(DesktopDownloadTest, AStopWhileAlbumsOverlapLeavesNoRowRunning)
{
    window.session().updateSettings([](SettingsBlock &block) {
        block.downloadParams[settingsIndex(SourceType::Sina)].threads = 2;
        block.nameRules[settingsIndex(SourceType::Sina)].options = kOptionOpenFolder;
    });
    for (int album = 1; album <= 3; ++album) {
        QByteArrayList pictures;
        for (int picture = 1; picture <= 4; ++picture)
            pictures.append("a" + QByteArray::number(album) + "p" + QByteArray::number(picture));
        server.route("photo.blog.sina.com.cn", "/category/u/1234/s/" + QByteArray::number(album) + "/page1",
                     CannedResponse::ok(categoryPage(pictures)));
        for (const QByteArray &picture : pictures) {
            // The first picture arrives at once; the rest wait long enough for the stop.
            const int latency = picture == "a1p1" ? 0 : 3000;
            server.route("s1.sinaimg.cn", "/orignal/" + picture,
                         CannedResponse::ok(QByteArray("\xFF\xD8\xFF\xE0", 4) + picture.repeated(300), "image/jpeg")
                             .withLatency(latency));
        }
    }
    selectRows({0, 1, 2});
    button(kControlDownload)->click();
    const auto stateOf = [&](int gridRow) { return window.grid().cellText(gridRow, AlbumListView::kStateColumn); };
    // One picture of album 1 is in, and album 2 was listed ahead.
    ASSERT_TRUE(waitUntil([&] {
        bool listedAhead = false;
        for (const RecordedRequest &request : server.requests())
            listedAhead = listedAhead || request.path().endsWith("/s/2/page1");
        return listedAhead && stateOf(1).startsWith(QStringLiteral("下载中 1/"));
    }));
    auto *bar = qobject_cast<QProgressBar *>(window.control(kControlProgress));
    const int barAtStop = bar->value();
    int highestAfterStop = barAtStop;
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [&](int value) { highestAfterStop = std::max(highestAfterStop, value); });
    button(kControlDownload)->click();  // 终止下载
    ASSERT_TRUE(waitUntil([&] { return !window.downloader().isRunning() && window.control(kControlGetList)->isEnabled(); }));
    saveScreenshot(&window, QStringLiteral("after-stop"));

    EXPECT_EQ(stateOf(1), QStringLiteral("已停止 1/4"));
    // Album 2 was listed ahead, or its listing was cut short by the stop.
    EXPECT_TRUE(stateOf(2) == QStringLiteral("已停止 0/4") || stateOf(2) == QStringLiteral("已停止"))
        << stateOf(2).toStdString();
    EXPECT_TRUE(stateOf(3).startsWith(QStringLiteral("已停止"))) << stateOf(3).toStdString();
    EXPECT_EQ(controlText(window.control(kControlStatus)), QStringLiteral("下载已终止"));
    // Album 1 of 3 was under way: the bar never went past it.
    EXPECT_LT(highestAfterStop, 334) << barAtStop;
    // What the stop left is said apart from what was skipped on purpose.
    const QString summary = controlText(window.control(kControlStatusDetail));
    EXPECT_TRUE(summary.startsWith(QStringLiteral("保存 1 张，跳过 0 张，失败 0 张，未下载 "))) << summary.toStdString();
    EXPECT_TRUE(shell.opened().isEmpty()) << shell.opened().join(u' ').toStdString();
    EXPECT_TRUE(window.windowTitle().indexOf(QStringLiteral("%")) < 0) << window.windowTitle().toStdString();
}

// A picture that did not arrive shows up in 失败列表, whose retry fetches just it.
TEST_F(DesktopDownloadTest, FailedPicturesAreListedAndRetried)
{
    routePicture(1);
    server.route("s1.sinaimg.cn", "/orignal/p2", CannedResponse::error(404));
    selectRows({0, 1});
    button(kControlDownload)->click();
    ASSERT_TRUE(waitUntil([&] { return !window.downloader().isRunning() && window.control(kControlDownload)->isEnabled()
                                       && controlText(window.control(kControlGetList)) == QStringLiteral("获取相册")
                                       && !window.control(kControlFailedList)->isHidden(); }));
    ASSERT_EQ(window.failedPictures().size(), 1);
    EXPECT_EQ(window.failedPictures().at(0).albumName, QStringLiteral("album2"));
    EXPECT_EQ(window.failedPictures().at(0).album, 1);
    EXPECT_EQ(window.failedPictures().at(0).address, QStringLiteral("http://s1.sinaimg.cn/orignal/p2"));
    // Each album's own state in the grid's 状态 column; the unchosen one has none.
    const auto stateOf = [&](int gridRow) { return window.grid().cellText(gridRow, AlbumListView::kStateColumn); };
    EXPECT_EQ(stateOf(1), QStringLiteral("完成"));
    EXPECT_EQ(stateOf(2), QStringLiteral("失败 1"));
    EXPECT_EQ(stateOf(3), QString());

    // The picture is there now; 失败列表 → 重试这些图片.
    routePicture(2);
    server.clearLog();
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<FailedPicturesDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->findChild<QTableWidget *>(QStringLiteral("failures"))->rowCount(), 1);
        saveScreenshot(dialog, QStringLiteral("failed-pictures"));
        dialog->findChild<QAbstractButton *>(QStringLiteral("retry"))->click();
    });
    Q_EMIT qobject_cast<LinkLabel *>(window.control(kControlFailedList))->clicked();
    ASSERT_TRUE(waitUntil([&] { return !window.downloader().isRunning() && window.control(kControlFailedList)->isHidden()
                                       && window.control(kControlGetList)->isEnabled(); }));
    QList<QByteArray> pictures;
    for (const RecordedRequest &request : server.requests()) {
        if (request.host() == "s1.sinaimg.cn")
            pictures.append(request.path());
    }
    EXPECT_EQ(pictures, QList<QByteArray>{"/orignal/p2"});
    EXPECT_TRUE(window.failedPictures().isEmpty());
    EXPECT_FALSE(QDir(savePath() + QStringLiteral("Anna/album2")).entryList(QDir::Files).isEmpty());
}

}  // namespace

}  // namespace pictrove
