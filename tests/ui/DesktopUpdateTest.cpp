// 更新 in the window: the owner in the address box listed again and only what is new
// in its archived albums fetched; the album list's 已存档 column once the download
// archive knows the owner.

#include "UiTestSupport.h"

#include "download/Downloader.h"
#include "grid/AlbumGrid.h"
#include "net/NetworkSetup.h"
#include "sources/ListContext.h"
#include "sources/Session.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "support/ScopedRouting.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/CommandIds.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/MainWindow.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QDirIterator>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>

namespace pictrove {

namespace {

// The pictures album 1 lists; a test adds one.
std::atomic<int> g_firstAlbumCount{1};

bool claimsAnna(const QString &address)
{
    return address == u"http://owners.example.test/Anna";
}

// Three albums of Anna's on the loopback blog's category pages, one picture each.
ListOutcome listAnna(const QString &, ListContext &context)
{
    for (int number = 1; number <= 3; ++number) {
        AlbumRecord album;
        album.source = &kSinaBlogCategoriesSource;
        album.name = QStringLiteral("album%1").arg(number);
        album.url = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234/s/%1").arg(number);
        album.pictureCount = number == 1 ? g_firstAlbumCount.load() : 1;
        context.albums.addAlbum(album);
    }
    ListOutcome outcome;
    outcome.owner.name = QStringLiteral("Anna");
    return outcome;
}

const Source kAnnaSource{"anna", &claimsAnna, &listAnna, nullptr, u"", 1};

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

class DesktopUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        g_firstAlbumCount = 1;
        setRetryPauseHook([](int) {});
        MainWindow::StartupOptions startup;
        startup.dataFolder = dir.path() + QStringLiteral("/data/");
        ASSERT_TRUE(QDir().mkpath(startup.dataFolder));  // the archive lives only in a folder that is there
        startup.picturesFolder = dir.path();
        startup.configEndpoints = QStringList();
        window.session().sleep = [](int) {};
        window.session().sources.prepend(&kAnnaSource);
        window.initialise(startup);
        ASSERT_TRUE(window.isReady());
        setControlText(window.control(kControlSavePath), dir.path() + QStringLiteral("/save/"));
        setControlText(window.control(kControlOwnerAddress), QStringLiteral("http://owners.example.test/Anna"));
        for (int album = 1; album <= 3; ++album)
            setPictures(album, {"p" + QByteArray::number(album)});
    }

    void TearDown() override
    {
        window.session().waitForThreads();
        setRetryPauseHook({});
    }

    void setPictures(int album, const QByteArrayList &pictures)
    {
        server.route("photo.blog.sina.com.cn", "/category/u/1234/s/" + QByteArray::number(album) + "/page1",
                     CannedResponse::ok(categoryPage(pictures)));
        for (const QByteArray &picture : pictures)
            server.route("s1.sinaimg.cn", "/orignal/" + picture,
                         CannedResponse::ok(QByteArray("\xFF\xD8\xFF\xE0", 4) + picture.repeated(300), "image/jpeg"));
    }

    bool idle() const
    {
        return window.session().listState.load() == ListState::Idle && !window.downloader().isRunning();
    }

    void waitIdle(const QString &status)
    {
        ASSERT_TRUE(waitUntil([&] { return idle() && controlText(window.control(kControlStatus)).startsWith(status); }))
            << controlText(window.control(kControlStatus)).toStdString();
    }

    QAbstractButton *button(int id) const { return qobject_cast<QAbstractButton *>(window.control(id)); }

    // The 已存档 column: its title, then each album row's text.
    QStringList archivedColumn() const
    {
        QStringList texts;
        for (int row = 0; row < window.grid().gridRowCount(); ++row)
            texts.append(window.grid().cellText(row, AlbumListView::kArchivedColumn));
        return texts;
    }

    QList<QByteArray> requestsTo(const QByteArray &host) const
    {
        QList<QByteArray> paths;
        for (const RecordedRequest &request : server.requests())
            if (request.host() == host)
                paths.append(request.path());
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    QTemporaryDir dir;
    LoopbackServer server;
    ScopedRouting routing{server, {QStringLiteral("photo.blog.sina.com.cn"), QStringLiteral("s1.sinaimg.cn")}};
    RecordingShell shell;
    MainWindow window{shell};
};

TEST_F(DesktopUpdateTest, UpdateFetchesOnlyWhatIsNewAndTheListShowsWhatIsArchived)
{
    EXPECT_EQ(controlText(window.control(kControlUpdate)), QStringLiteral("更新"));
    button(kControlGetList)->click();
    waitIdle(QStringLiteral("获取相册列表完成"));
    // The archive knows nothing of Anna yet: the column stays out of sight.
    EXPECT_EQ(archivedColumn(), (QStringList{"", "", "", ""}));
    EXPECT_EQ(window.grid().columnWidth(AlbumListView::kArchivedColumn), 0);

    // An update of an owner never downloaded downloads nothing and says why.
    button(kControlUpdate)->click();
    waitIdle(QStringLiteral("下载存档中没有"));
    EXPECT_TRUE(requestsTo("s1.sinaimg.cn").isEmpty());
    ASSERT_EQ(shell.messages().size(), 1);

    // Albums 1 and 2 downloaded.
    AlbumGrid &grid = window.grid();
    for (int row : {0, 1})  // the model's rows: the title row is the header
        grid.selectionModel()->select(grid.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    button(kControlDownload)->click();
    waitIdle(QStringLiteral("下载完毕"));
    EXPECT_EQ(archivedColumn(), (QStringList{"已存档", "已存档 1/1", "已存档 1/1", "已存档 0/1"}));
    EXPECT_GT(grid.columnWidth(AlbumListView::kArchivedColumn), 0);

    // Album 1 gets a second picture; 更新 from the menu fetches it and nothing else,
    // and album 3, never downloaded, is not even listed.
    g_firstAlbumCount = 2;
    setPictures(1, {"n1", "p1"});
    server.clearLog();
    QAction *update = window.findChild<QMenuBar *>()->findChild<QAction *>(QStringLiteral("cmd%1").arg(kCommandUpdate));
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->text(), QStringLiteral("更新"));
    update->trigger();
    waitIdle(QStringLiteral("更新完毕：3 个相册中 2 个有存档"));
    EXPECT_EQ(requestsTo("s1.sinaimg.cn"), QList<QByteArray>{"/orignal/n1"});
    EXPECT_EQ(requestsTo("photo.blog.sina.com.cn"),
              (QList<QByteArray>{"/category/u/1234/s/1/page1", "/category/u/1234/s/2/page1"}));
    EXPECT_EQ(archivedColumn(), (QStringList{"已存档", "已存档 2/2", "已存档 1/1", "已存档 0/1"}));
    EXPECT_EQ(window.runAlbums(), (QList<int>{0, 1}));
    EXPECT_TRUE(button(kControlUpdate)->isEnabled());
    EXPECT_TRUE(button(kControlGetList)->isEnabled());
    EXPECT_EQ(controlText(window.control(kControlDownload)), QStringLiteral("下载"));
    saveScreenshot(&window, QStringLiteral("update-archived-column"));

    // The saved files deleted, a new list finds them gone.
    for (QDirIterator it(dir.path() + QStringLiteral("/save/"), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString file = it.next();
        if (!file.endsWith(QStringLiteral(".txt")) && !file.endsWith(QStringLiteral(".jsonl")))
            QFile::remove(file);
    }
    button(kControlGetList)->click();
    waitIdle(QStringLiteral("获取相册列表完成"));
    EXPECT_EQ(archivedColumn(),
              (QStringList{"已存档", "已存档 2/2 · 缺文件 2", "已存档 1/1 · 缺文件 1", "已存档 0/1"}));
    // The longer counts widen the column instead of being cut off.
    EXPECT_GE(window.grid().columnWidth(AlbumListView::kArchivedColumn),
              window.grid().fontMetrics().horizontalAdvance(QStringLiteral("已存档 2/2 · 缺文件 2")));
    saveScreenshot(&window, QStringLiteral("update-files-gone"));
}

}  // namespace

}  // namespace pictrove
