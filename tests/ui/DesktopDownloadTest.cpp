// Download from the window: the albums selected in the grid are the ones the driver
// thread downloads, and the buttons go busy and come back.

#include "UiTestSupport.h"

#include "grid/AlbumGrid.h"
#include "net/NetworkSetup.h"
#include "sources/AddAlbum.h"
#include "sources/ControlIds.h"
#include "sources/MainWindowState.h"
#include "support/LoopbackServer.h"
#include "support/ScopedRouting.h"
#include "ui/AlbumListView.h"
#include "ui/ControlAccess.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QItemSelectionModel>
#include <QTemporaryDir>

namespace {

// A photo-blog category page listing one picture.
QByteArray categoryPage(const QByteArray &picture)
{
    return "<html><head><title>Anna的相册_新浪博客</title></head><body>\n<div class=\"photoList\">\n"
           "<div class=\"pt_border\"><a href=\"http://photo.blog.sina.com.cn/photo/" + picture
           + "\" target=\"_blank\"><img src=\"http://s1.sinaimg.cn/small/" + picture + "\" title=\"pic "
           + picture + "\" alt=\"\" /></a></div>\n</div>\n<div class=\"SG_page\"></div></body></html>\n";
}

TEST(DesktopDownloadTest, DownloadsTheSelectedAlbums)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LoopbackServer server;
    ScopedRouting routing(server, {QStringLiteral("photo.blog.sina.com.cn"), QStringLiteral("s1.sinaimg.cn")});
    setRetryPauseHook([](int) {});

    RecordingShell shell;
    MainWindow window(shell);
    MainWindowState &state = window.state();
    state.dataFolder = dir.path() + QStringLiteral("/");
    state.readyFlag = 1;
    state.sleep = [](int) {};
    state.sourceTypeIndex = 4;  // as every Get List leaves it
    state.listType = LIST_BLOG_CATEGORIES;
    state.owner.name = QStringLiteral("Anna/");
    state.updateSettings([](SettingsBlock &block) {
        block.downloadParams[4] = DownloadParams{0, 0, 2, 30};
        block.nameRules[4].options = 0;
    });
    setControlText(window.control(IDC_SAVE_PATH), dir.path() + QStringLiteral("/save/"));
    window.albumView().resetGrid();
    window.show();

    for (int album = 1; album <= 3; ++album) {
        const QByteArray number = QByteArray::number(album);
        AlbumRecord record;
        record.name = QStringLiteral("album%1").arg(album);
        record.url = QStringLiteral("http://photo.blog.sina.com.cn/category/u/1234/s/%1").arg(album);
        addAlbum(state, record);
        server.route("photo.blog.sina.com.cn", "/category/u/1234/s/" + number + "/page1",
                     CannedResponse::ok(categoryPage("p" + number)));
        server.route("s1.sinaimg.cn", "/orignal/p" + number,
                     CannedResponse::ok(QByteArray("\xFF\xD8\xFF\xE0", 4) + number.repeated(300), "image/jpeg"));
    }
    window.control(IDC_DOWNLOAD)->setEnabled(true);

    // Albums 1 and 3, selected in the grid like a user would.
    AlbumGrid &grid = window.grid();
    for (int row : {0, 2})
        grid.selectionModel()->select(grid.model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    qobject_cast<QAbstractButton *>(window.control(IDC_DOWNLOAD))->click();
    const bool ended = waitUntil([&] {
        return state.downState.load() == 0 && controlText(window.control(IDC_STATUS)) == QStringLiteral("下载完毕");
    });
    state.waitForThreads();
    setRetryPauseHook({});
    ASSERT_TRUE(ended);

    const QString base = dir.path() + QStringLiteral("/save/Anna/");
    EXPECT_EQ(QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
              QStringList({QStringLiteral("album1"), QStringLiteral("album3")}));
    EXPECT_FALSE(QDir(base + QStringLiteral("album1")).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(controlText(window.control(IDC_DOWNLOAD)), QStringLiteral("下载"));
    EXPECT_TRUE(window.control(IDC_GET_LIST)->isEnabled());
    EXPECT_TRUE(shell.messages().isEmpty()) << shell.messages().join(u'\n').toStdString();
}

}  // namespace
