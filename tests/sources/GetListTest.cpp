// "Get List" from the command to the filled window, against the Sina blog and Weibo
// hosts on loopback.

#include "support/PrintQt.h"
#include "SinaServices.h"

#include "sources/ListAcquisition.h"
#include "sources/MainWindowState.h"
#include "support/Fixtures.h"
#include "support/RecordingWindowPort.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class GetListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        services.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
        services.routeFixture("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                              QStringLiteral("sina_categories.json"), "application/json");
        services.routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_1.html",
                              QStringLiteral("sina_articlelist_1.html"));
        services.routeFixture("blog.sina.com.cn", "/s/articlelist_1234567890_0_2.html",
                              QStringLiteral("sina_articlelist_2.html"));
        services.routeFixture("weibo.com", "/u/1234567890", QStringLiteral("weibo_owner_spaced.html"));
        services.routeFixture("weibo.com", "/u/nobody", QStringLiteral("weibo_owner_noid.html"));
        services.routeFixture("photo.weibo.com", "/albums/get_all", QStringLiteral("weibo_albums.json"),
                              "application/json");
    }

    SinaServices services;
    QTemporaryDir dir;
};

TEST_F(GetListTest, ListsAlbumsOfEachKindOfOwner)
{
    const struct {
        QString address;
        int listType;
        QStringList names;
        QString owner;
    } cases[] = {
        {QStringLiteral("http://blog.sina.com.cn/u/1234567890"), 0,
         {QStringLiteral("旅行"), QStringLiteral("家人"), QStringLiteral("旅行 (1)"), QString(), QStringLiteral("旅行 (2)")},
         QStringLiteral("小明的博客/")},
        // The article list is paged from the address cut before its last "_".
        {QStringLiteral("  http://blog.sina.com.cn/s/articlelist_1234567890_0_7.html "), 1,
         {QStringLiteral("春游"), QStringLiteral("秋色"), QStringLiteral("夏日"), QStringLiteral("春游 (1)")},
         QStringLiteral("博文_小明的博客/")},
        {QStringLiteral("https://weibo.com/u/1234567890"), 2,
         {QStringLiteral("微博配图"), QStringLiteral("头像相册"), QStringLiteral("空相册")}, QStringLiteral("小明Ming/")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        QTemporaryDir data;
        RecordingWindowPort port;
        MainWindowState state(port);
        state.dataFolder = data.path() + u'/';
        state.readyFlag = 1;
        port.setText(IDC_OWNER_ADDRESS, c.address);
        // Whatever service the selector shows, the list runs as Sina.
        port.setCurrentIndex(IDC_SOURCE_TYPE, 7);

        GetListCommand(state);
        state.waitForThreads();

        const QList<AlbumRecord> albums = state.albums.all();
        ASSERT_EQ(albums.size(), c.names.size());
        for (qsizetype i = 0; i < albums.size(); ++i) {
            if (!c.names.at(i).isEmpty()) {
                EXPECT_EQ(albums.at(i).name, c.names.at(i));
            }
        }
        const int n = int(c.names.size());
        EXPECT_EQ(state.listType.load(), c.listType);
        EXPECT_EQ(state.listState.load(), LIST_IDLE);
        EXPECT_EQ(state.sourceTypeIndex.load(), 4);
        EXPECT_EQ(state.owner.name, c.owner);
        EXPECT_TRUE(state.owner.subFolder.isEmpty());
        EXPECT_TRUE(port.messages().isEmpty()) << port.messages().join(u'|').toStdString();
        EXPECT_EQ(port.textsOf(IDC_STATUS), (QStringList{QStringLiteral("正在获取相册列表，请稍等..."),
                                                         QStringLiteral("获取相册列表完成，共%1个").arg(n)}));
        EXPECT_EQ(port.text(IDC_LIST_FRAME), QStringLiteral("相册列表(共%1个)").arg(n));
        EXPECT_EQ(port.text(IDC_GET_LIST), QStringLiteral("获取相册"));
        EXPECT_TRUE(port.enabled(IDC_DOWNLOAD));
        EXPECT_TRUE(port.enabled(IDC_OWNER_ADDRESS));
        EXPECT_EQ(port.rows().size(), n);
        EXPECT_GE(port.refreshCount(), 1);
        // An address that yielded albums heads the history and is saved at once.
        EXPECT_EQ(port.historyOf(IDC_OWNER_ADDRESS), QStringList{c.address.trimmed()});
        EXPECT_EQ(state.settings().ownerHistory[0], c.address.trimmed());
        EXPECT_TRUE(QFile::exists(state.dataFolder + QStringLiteral("soft.dat")));
    }
}

TEST_F(GetListTest, NothingFoundAsksToLogIn)
{
    const struct {
        QString address;
        int listType;
    } cases[] = {
        {QStringLiteral("https://weibo.com/u/nobody"), 2},
        // An article-list address without "_" leaves nothing to read.
        {QStringLiteral("https://blog.sina.com.cn/s/list"), 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        RecordingWindowPort port;
        MainWindowState state(port);
        state.dataFolder = dir.path() + u'/';
        state.readyFlag = 1;
        port.setText(IDC_OWNER_ADDRESS, c.address);

        GetListCommand(state);
        state.waitForThreads();

        EXPECT_EQ(state.listType.load(), c.listType);
        EXPECT_EQ(port.messages(), QStringList{QString::fromUtf16(kNoAlbumMessage)});
        EXPECT_EQ(port.text(IDC_STATUS), QStringLiteral("获取相册列表完成，共0个"));
        EXPECT_FALSE(port.enabled(IDC_DOWNLOAD));
        EXPECT_TRUE(port.historyOf(IDC_OWNER_ADDRESS).isEmpty());
        EXPECT_TRUE(state.settings().ownerHistory[0].isEmpty());
    }
}

TEST_F(GetListTest, SameAddressInOtherCaseIsNotAddedAgain)
{
    RecordingWindowPort port;
    MainWindowState state(port);
    state.dataFolder = dir.path() + u'/';
    state.readyFlag = 1;
    for (const QString &address : {QStringLiteral("https://weibo.com/u/1234567890?from=Home"),
                                   QStringLiteral("https://weibo.com/u/1234567890?FROM=HOME")}) {
        port.setText(IDC_OWNER_ADDRESS, address);
        GetListCommand(state);
        state.waitForThreads();
        EXPECT_EQ(state.albums.size(), 3);
    }
    EXPECT_EQ(port.historyOf(IDC_OWNER_ADDRESS), QStringList{QStringLiteral("https://weibo.com/u/1234567890?from=Home")});
    EXPECT_TRUE(state.settings().ownerHistory[1].isEmpty());
}

TEST_F(GetListTest, PressingAgainStopsAfterCurrentAlbum)
{
    RecordingWindowPort port;
    MainWindowState state(port);
    state.dataFolder = dir.path() + u'/';
    state.readyFlag = 1;
    // The user presses "Get List" again while the category list is on its way.
    services.route("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                   LoopbackServer::Handler([&state](const RecordedRequest &) {
                       GetListCommand(state);
                       return CannedResponse::ok(readFixture(QStringLiteral("sources/sina_categories.json")),
                                                 "application/json");
                   }));
    port.setText(IDC_OWNER_ADDRESS, QStringLiteral("http://blog.sina.com.cn/u/1234567890"));

    GetListCommand(state);
    state.waitForThreads();

    EXPECT_EQ(state.albums.size(), 1);
    EXPECT_EQ(port.text(IDC_LIST_FRAME), QStringLiteral("相册列表(共1个)"));
    EXPECT_EQ(state.listState.load(), LIST_IDLE);
    EXPECT_TRUE(port.enabled(IDC_DOWNLOAD));
}

}  // namespace
