// The main window's start-up sequence and Get List, offscreen, against loopback
// configuration and Sina services.

#include "UiTestSupport.h"

#include "../sources/SinaServices.h"
#include "grid/AlbumGrid.h"
#include "settings/SettingsStore.h"
#include "sources/AddressClassifier.h"
#include "sources/Session.h"
#include "sources/SourceConfigService.h"
#include "support/Fixtures.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryHome.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/startup/StartupAddress.h"
#include "ui/startup/StoredTexts.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <memory>

namespace pictrove {

namespace {

QByteArray configAnswer(const QByteArray &version = "15.10.28.01#2015-10-28")
{
    QByteArray answer = readFixture(QStringLiteral("sources/config-answer.txt"));
    answer.replace("values=15.10.28.01#2015-10-28|", "values=" + version + "|");
    return answer;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        ASSERT_TRUE(pictures.isValid());
        QGuiApplication::clipboard()->clear();
    }

    // The service's second endpoint answers; the first is missing.
    void serveConfig(const QByteArray &answer = configAnswer(), int latencyMs = 0)
    {
        config.route("", "/first", CannedResponse::error(404));
        config.route("", "/second", CannedResponse::ok(answer, "text/plain; charset=utf-8").withLatency(latencyMs));
    }

    // The owner http://blog.sina.com.cn/u/1234567890 with five photo categories.
    static void serveBlogOwner(SinaServices &sina)
    {
        sina.routeFixture("blog.sina.com.cn", "/u/1234567890", QStringLiteral("sina_blog_owner.html"));
        sina.routeFixture("photo.blog.sina.com.cn", "/services/ctg_list_ctg.php",
                          QStringLiteral("sina_categories.json"), "application/json");
    }

    // The window started with the blog owner's address in the clipboard, once its
    // start-up (the configuration service's answer) is over.
    bool startOnBlogOwner(SinaServices &sina)
    {
        serveBlogOwner(sina);
        serveConfig();
        QGuiApplication::clipboard()->setText(QStringLiteral("http://blog.sina.com.cn/u/1234567890"));
        start(options());
        return waitUntil([&] { return !textOf(kControlNotice).isEmpty(); });
    }

    // The blog owner's list ended: its six albums in the grid, 获取相册 back.
    bool blogOwnerListed() const
    {
        return waitUntil([&] {
            return window->session().listState.load() == ListState::Idle
                   && textOf(kControlGetList) == QStringLiteral("获取相册") && window->grid().gridRowCount() == 6;
        });
    }

    MainWindow::StartupOptions options() const
    {
        MainWindow::StartupOptions startup;
        startup.dataFolder = data.path() + u'/';
        startup.picturesFolder = pictures.path();
        startup.configEndpoints = {config.baseUrl() + QStringLiteral("/first"),
                                   config.baseUrl() + QStringLiteral("/second"),
                                   config.baseUrl() + QStringLiteral("/third")};
        return startup;
    }

    MainWindow &start(const MainWindow::StartupOptions &startup)
    {
        window = std::make_unique<MainWindow>(shell);
        window->session().sleep = [](int) {};
        window->initialise(startup);
        return *window;
    }

    QString textOf(int id) const { return controlText(window->control(id)); }
    QComboBox *sourceType() const { return qobject_cast<QComboBox *>(window->control(kControlSourceType)); }

    QTemporaryDir data;
    QTemporaryDir pictures;
    LoopbackServer config;
    RecordingShell shell;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, StartsWithTheServiceNames)
{
    serveConfig();
    MainWindow &dlg = start(options());
    EXPECT_TRUE(dlg.isReady());  // the selector is filled before the window shows
    ASSERT_TRUE(waitUntil([&] { return !textOf(kControlNotice).isEmpty(); }));

    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.splash(), nullptr);
    EXPECT_TRUE(dlg.isReady());
    EXPECT_EQ(dlg.session().sourceType.load(), SourceType::Sina);
    EXPECT_EQ(sourceType()->count(), 21);
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::Sina));
    EXPECT_EQ(sourceType()->currentText(), QStringLiteral("新浪"));
    EXPECT_EQ(textOf(kControlNotice), QStringLiteral("来源配置\tSrv Info:2_2"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Pictrove"));
    EXPECT_EQ(textOf(kControlBanner), bannerText());
    EXPECT_FALSE(dlg.control(kControlDownload)->isEnabled());
    EXPECT_FALSE(dlg.control(kControlUpdateLink)->isVisible());
    EXPECT_TRUE(dlg.control(kControlHomeLink)->isEnabled());
    EXPECT_EQ(dlg.grid().cellText(0, 1), QStringLiteral("名称"));
    EXPECT_TRUE(shell.messages().isEmpty());
    EXPECT_EQ(dlg.session().dataFolder(), data.path() + QLatin1Char('/'));
    EXPECT_TRUE(QFile::exists(data.path() + QStringLiteral("/soft.dat")));
    saveScreenshot(&dlg, QStringLiteral("main-window-start"));
}

TEST_F(MainWindowTest, BuiltInNamesWhenNoEndpointAnswers)
{
    MainWindow &dlg = start(options());  // nothing routed: every endpoint answers 404
    ASSERT_TRUE(waitUntil([&] { return !textOf(kControlNotice).isEmpty(); }));
    EXPECT_TRUE(dlg.isVisible());
    QStringList names;
    for (int i = 0; i < sourceType()->count(); ++i)
        names.append(sourceType()->itemText(i));
    EXPECT_EQ(names, builtInSourceTypeNames());
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::Sina));
    EXPECT_EQ(textOf(kControlNotice), QStringLiteral("来源配置\tSrv Info:3_0"));
    EXPECT_EQ(shell.endCount(), 0);
}

// A "soft.dat" larger than the record is no settings of ours: the window starts with
// the first-start values and says once, over the window, where the file went.
TEST_F(MainWindowTest, SaysWhereASettingsFileItCannotUseWent)
{
    QFile oversized(data.filePath(QStringLiteral("soft.dat")));
    ASSERT_TRUE(oversized.open(QIODevice::WriteOnly));
    ASSERT_EQ(oversized.write(QByteArray(50000, 'x')), 50000);
    oversized.close();

    MainWindow &dlg = start(options());
    ASSERT_TRUE(waitUntil([&] { return dlg.isVisible() && !shell.messages().isEmpty(); }));
    const QString aside = QDir::toNativeSeparators(data.filePath(QStringLiteral("soft.dat.bad")));
    ASSERT_EQ(shell.messages().size(), 1);
    EXPECT_TRUE(shell.messages().first().startsWith(QStringLiteral("提示: ")));
    EXPECT_TRUE(shell.messages().first().contains(aside)) << shell.messages().first().toStdString();
    EXPECT_EQ(QFileInfo(aside).size(), 50000);
    EXPECT_EQ(dlg.session().settings().nameRules[settingsIndex(SourceType::Sina)].options, kOptionOpenFolder);
}

// The update notice ends the program 3 s after the download page opened, unless a
// list or a download is running then: the user's work is not thrown away for it.
TEST_F(MainWindowTest, AnnouncesANewerVersionAndEndsWhenIdle)
{
    serveConfig(configAnswer("15.10.28.02#2015-11-02"));
    RecordingShell busyShell;
    MainWindow busy(busyShell);
    busy.session().listState = ListState::Running;
    busy.initialise(options());
    MainWindow &dlg = start(options());
    ASSERT_TRUE(waitUntil([&] { return !shell.opened().isEmpty() && !busyShell.opened().isEmpty(); }));
    EXPECT_EQ(shell.endCount(), 0);  // the program ends a while after the page opened
    ASSERT_TRUE(waitUntil([&] { return shell.endCount() == 1; }));
    EXPECT_TRUE(dlg.control(kControlUpdateLink)->isVisible());
    ASSERT_EQ(shell.messages().size(), 1);
    EXPECT_TRUE(shell.messages().at(0).startsWith(QStringLiteral("提示: "))) << shell.messages().at(0).toStdString();
    EXPECT_EQ(shell.opened(), QStringList{QStringLiteral("https://pictrove.example/download/")});

    QTest::qWait(300);  // both timers started together; the busy one has had its turn
    EXPECT_EQ(busyShell.endCount(), 0);
    EXPECT_TRUE(busy.control(kControlUpdateLink)->isVisible());
    busy.session().listState = ListState::Idle;
}

// The window shows without waiting for the service, from the names kept from the
// last answer (the built-in ones on a first start). A late answer renames the
// entries but leaves what the user chose and typed meanwhile.
TEST_F(MainWindowTest, ShowsAtOnceAndTakesALateAnswerWithoutResettingTheUser)
{
    QByteArray answer = configAnswer();
    answer.replace("|新浪|", "|新浪微博|");
    serveConfig(answer, 1500);
    MainWindow &dlg = start(options());
    ASSERT_TRUE(waitUntil([&] { return dlg.isVisible(); }));
    EXPECT_TRUE(dlg.isReady());
    EXPECT_EQ(sourceType()->itemText(int(SourceType::Sina)), QStringLiteral("新浪"));
    EXPECT_TRUE(textOf(kControlNotice).isEmpty());

    auto *subType = qobject_cast<QComboBox *>(dlg.control(kControlSubType));
    sourceType()->setCurrentIndex(int(SourceType::QqZone));
    Q_EMIT sourceType()->activated(int(SourceType::QqZone));
    subType->setCurrentIndex(2);
    QTest::keyClicks(dlg.control(kControlOwnerAddress), QStringLiteral("someone"));

    ASSERT_TRUE(waitUntil([&] { return !textOf(kControlNotice).isEmpty(); }));
    EXPECT_EQ(sourceType()->itemText(int(SourceType::Sina)), QStringLiteral("新浪微博"));
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::QqZone));
    EXPECT_TRUE(subType->isVisible());
    EXPECT_EQ(subType->currentIndex(), 2);
    EXPECT_EQ(textOf(kControlOwnerAddress), QStringLiteral("someone"));
    window.reset();

    // The next start asks nobody and still has the service's names.
    MainWindow::StartupOptions noService = options();
    noService.configEndpoints = QStringList();
    config.clearLog();
    MainWindow &next = start(noService);
    EXPECT_EQ(sourceType()->itemText(int(SourceType::Sina)), QStringLiteral("新浪微博"));
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::Sina));
    ASSERT_TRUE(waitUntil([&] { return next.isVisible(); }));
    EXPECT_TRUE(textOf(kControlNotice).isEmpty());
    EXPECT_EQ(config.requestCount(), 0);
}

// The endpoints come from the extension settings file; without any, no service is
// asked and the notice line stays empty.
TEST_F(MainWindowTest, EndpointsComeFromTheExtensionSettings)
{
    serveConfig();
    const QByteArray base = config.baseUrl().toUtf8();
    const struct {
        const char *what;
        QByteArray ini;
        int requests;
        QString notice;
    } cases[] = {
        {"no settings file", QByteArray(), 0, QString()},
        {"two endpoints", "[来源配置]\n地址=" + base + "/first|" + base + "/second\n", 2,
         QStringLiteral("来源配置\tSrv Info:2_2")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        if (!c.ini.isEmpty()) {
            QFile ini(folder.filePath(QStringLiteral("下载器扩展设置.ini")));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write(c.ini);
        }
        config.clearLog();
        MainWindow::StartupOptions startup = options();
        startup.dataFolder = folder.path() + QLatin1Char('/');
        startup.configEndpoints.reset();
        MainWindow &dlg = start(startup);
        ASSERT_TRUE(waitUntil([&] { return dlg.isVisible() && textOf(kControlNotice) == c.notice; }));
        QTest::qWait(50);
        EXPECT_EQ(config.requestCount(), c.requests);
        window.reset();
    }
}

// The address the clipboard gave the owner box chooses the selector's entry once the
// entries are there. The start-up's own source-type change follows the classification,
// so the QQ sub-type starts at its first entry whatever the address.
TEST_F(MainWindowTest, StartUpClassifiesTheOwnerAddress)
{
    serveConfig();
    QGuiApplication::clipboard()->setText(QStringLiteral("http://qun.qq.com/air/#1234"));
    MainWindow &dlg = start(options());
    ASSERT_TRUE(waitUntil([&] { return !textOf(kControlNotice).isEmpty(); }));
    auto *subType = qobject_cast<QComboBox *>(dlg.control(kControlSubType));
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::QqZone));
    EXPECT_TRUE(subType->isVisible());
    EXPECT_EQ(subType->currentIndex(), int(QqSubType::ZoneAlbums));
    EXPECT_EQ(dlg.session().sourceType.load(), SourceType::Sina);
}

TEST_F(MainWindowTest, ClipboardTextUpTo199Characters)
{
    const struct {
        int length;
        bool taken;
    } cases[] = {{199, true}, {200, false}, {1, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.length);
        const QString text = QStringLiteral("http://weibo.com/") + QString(c.length - 17, QLatin1Char('x'));
        QGuiApplication::clipboard()->setText(c.length < 17 ? QStringLiteral("x") : text);
        start(options());
        EXPECT_EQ(textOf(kControlOwnerAddress), c.taken ? QGuiApplication::clipboard()->text() : QString());
        window.reset();
    }
}

// The rules themselves are DataFolder's; here the window shows their answer, creates
// the per-user save folder, and lets the last save path win.
TEST_F(MainWindowTest, DefaultSavePath)
{
    const TemporaryHome home;
    const QString withHistory = data.path() + QStringLiteral("/history/");
    ASSERT_TRUE(QDir().mkpath(withHistory));
    SettingsBlock block;
    addHistory(block, kHistorySavePath, QStringLiteral("/srv/pictures/"));
    ASSERT_TRUE(saveSettings(withHistory, block));
    const QString perUser = pictures.path() + QStringLiteral("/Pictrove/");

    const struct {
        const char *what;
        QString dataFolder;  // empty: the default for a current folder without soft.dat
        QString savePath;
    } cases[] = {
        {"per-user data folder", QString(), perUser},
        {"portable folder under the temporary folder", data.path() + u'/', perUser},
        {"the last save path wins", withHistory, QStringLiteral("/srv/pictures/")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(perUser).removeRecursively();
        MainWindow::StartupOptions startup = options();
        startup.dataFolder = c.dataFolder;
        startup.tempPath = data.path();
        const QString current = QDir::currentPath();
        QDir::setCurrent(home.path());
        start(startup);
        QDir::setCurrent(current);
        EXPECT_EQ(textOf(kControlSavePath), c.savePath);
        EXPECT_TRUE(c.savePath != perUser || QDir(perUser).exists());
        EXPECT_EQ(window->session().dataFolder(), c.dataFolder.isEmpty() ? home.dataFolder() : c.dataFolder);
        window.reset();
    }
}

TEST_F(MainWindowTest, GetListIsIgnoredBeforeStartUpEnds)
{
    MainWindow dlg(shell);  // never initialised: the configuration never arrives
    dlg.session().setDataFolder(data.path() + QLatin1Char('/'));
    setControlText(dlg.control(kControlOwnerAddress), QStringLiteral("http://blog.sina.com.cn/u/1234567890"));
    qobject_cast<QAbstractButton *>(dlg.control(kControlGetList))->click();
    EXPECT_FALSE(dlg.isReady());
    EXPECT_EQ(dlg.session().listState.load(), ListState::Idle);
    EXPECT_EQ(controlText(dlg.control(kControlGetList)), QStringLiteral("获取相册"));
    EXPECT_TRUE(shell.messages().isEmpty());
}

TEST_F(MainWindowTest, GetListFillsTheGrid)
{
    SinaServices sina;
    ASSERT_TRUE(startOnBlogOwner(sina));
    MainWindow &dlg = *window;

    qobject_cast<QAbstractButton *>(dlg.control(kControlGetList))->click();
    ASSERT_TRUE(blogOwnerListed());

    const AlbumGrid &grid = dlg.grid();
    EXPECT_EQ(grid.cellText(1, 0), QStringLiteral("0001"));
    EXPECT_EQ(grid.cellText(1, 1), QStringLiteral("旅行"));
    EXPECT_EQ(grid.cellText(1, 2), QStringLiteral("  12"));
    EXPECT_EQ(grid.cellText(5, 0), QStringLiteral("0005"));
    EXPECT_EQ(grid.cellText(5, 1), QStringLiteral("旅行 (2)"));
    EXPECT_EQ(grid.cellData(5, 0), 4);
    EXPECT_EQ(textOf(kControlListFrame), QStringLiteral("相册列表(共5个)"));
    EXPECT_EQ(textOf(kControlStatus), QStringLiteral("获取相册列表完成，共5个"));
    EXPECT_TRUE(dlg.control(kControlDownload)->isEnabled());
    EXPECT_FALSE(dlg.control(kControlBanner)->isVisible());
    EXPECT_TRUE(shell.messages().isEmpty());
    EXPECT_EQ(qobject_cast<HistoryComboBox *>(dlg.control(kControlOwnerAddress))->history(),
              QStringList{QStringLiteral("http://blog.sina.com.cn/u/1234567890")});

    qobject_cast<QAbstractButton *>(dlg.control(kControlSelectAll))->click();
    EXPECT_EQ(dlg.albumView().selectedAlbums(), QList<int>({0, 1, 2, 3, 4}));
    saveScreenshot(&dlg, QStringLiteral("main-window-list"));

    // A click on a title sorts the rows by it, a second click the other way; each row
    // keeps its album.
    const auto names = [&] {
        QStringList shown;
        for (int row = 1; row < dlg.grid().gridRowCount(); ++row) {
            shown.append(dlg.grid().cellText(row, 1));
            EXPECT_EQ(dlg.session().albums.at(dlg.grid().cellData(row, 0)).name, shown.last());
        }
        return shown;
    };
    QStringList ascending = names();
    std::sort(ascending.begin(), ascending.end());
    Q_EMIT dlg.grid().horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(names(), ascending);
    Q_EMIT dlg.grid().horizontalHeader()->sectionClicked(1);
    std::reverse(ascending.begin(), ascending.end());
    EXPECT_EQ(names(), ascending);

    // The window opens within its screen (the offscreen one is smaller than its usual
    // size), and the album columns fill the grid at any width.
    ASSERT_TRUE(dlg.screen());
    EXPECT_TRUE(dlg.screen()->availableGeometry().contains(dlg.frameGeometry()))
        << dlg.frameGeometry().width() << "x" << dlg.frameGeometry().height();
    for (const int width : {700, 1200}) {
        dlg.resize(width, dlg.height());
        QCoreApplication::processEvents();
        int columns = 0;
        for (int c = 0; c < dlg.grid().columnCount(); ++c)
            columns += dlg.grid().columnWidth(c);
        EXPECT_EQ(columns, dlg.grid().viewport()->width()) << width;
    }
}

// `pictrove ADDRESS` (the menu entry's %U): the address replaces the clipboard's in
// the box and is listed without a click.
TEST_F(MainWindowTest, AnAddressFromTheCommandLineIsListed)
{
    SinaServices sina;
    serveBlogOwner(sina);
    const QString address = QStringLiteral("http://blog.sina.com.cn/u/1234567890");
    // Also while the configuration service has not answered yet: the start never
    // waits for it.
    for (const int configLatencyMs : {0, 2000}) {
        SCOPED_TRACE(configLatencyMs);
        serveConfig(configAnswer(), configLatencyMs);
        QGuiApplication::clipboard()->setText(QStringLiteral("https://weibo.com/u/555"));
        MainWindow &dlg = start(options());
        listOwnerAtStart(dlg, address);
        EXPECT_EQ(textOf(kControlOwnerAddress), address);
        // The list's events reach the window queued: its last one turns the button back.
        ASSERT_TRUE(blogOwnerListed());
        EXPECT_EQ(dlg.grid().cellText(1, 1), QStringLiteral("旅行"));
        EXPECT_EQ(qobject_cast<HistoryComboBox *>(dlg.control(kControlOwnerAddress))->history().value(0), address);
        window.reset();
    }
}

// F5 lists, Ctrl+F finds, and the links are reached by Tab and followed by Space.
TEST_F(MainWindowTest, KeysReachTheCommands)
{
    SinaServices sina;
    ASSERT_TRUE(startOnBlogOwner(sina));
    MainWindow &dlg = *window;
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    QTest::keyClick(&dlg, Qt::Key_F5);
    ASSERT_TRUE(waitUntil([&] {
        return dlg.session().listState.load() == ListState::Idle && dlg.grid().gridRowCount() == 6
               && dlg.control(kControlFind)->isEnabled();
    }));

    QTest::keyClick(&dlg, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(dlg.findDialog());
    EXPECT_TRUE(dlg.findDialog()->isVisible());
    dlg.findDialog()->dismiss();

    QWidget *filter = dlg.control(kControlFilter);
    EXPECT_TRUE(filter->focusPolicy() & Qt::TabFocus);
    QWidget *find = dlg.control(kControlFind);
    find->setFocus();
    QTest::keyClick(find, Qt::Key_Space);
    EXPECT_TRUE(dlg.findDialog()->isVisible());
}

// The keyboard alone: focus starts in the address box, so Ctrl+V and Enter list;
// Tab and Shift+Tab leave the grid without touching its selection; Ctrl+D downloads.
TEST_F(MainWindowTest, TheKeyboardAloneListsAndDownloads)
{
    SinaServices sina;
    ASSERT_TRUE(startOnBlogOwner(sina));
    MainWindow &dlg = *window;
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    auto *owner = qobject_cast<HistoryComboBox *>(dlg.control(kControlOwnerAddress));
    ASSERT_TRUE(QApplication::focusWidget() == owner || QApplication::focusWidget() == owner->lineEdit())
        << QApplication::focusWidget()->metaObject()->className();

    owner->setEditText(QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(blogOwnerListed());

    AlbumGrid &grid = dlg.grid();
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    const QList<int> all = dlg.albumView().selectedAlbums();
    ASSERT_EQ(all.size(), grid.gridRowCount() - grid.fixedRowCount());
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Tab, modifiers);
        EXPECT_NE(QApplication::focusWidget(), &grid) << int(modifiers);
        EXPECT_EQ(dlg.albumView().selectedAlbums(), all);
    }
    // 全选 is a stop of the focus chain.
    EXPECT_TRUE(dlg.control(kControlSelectAll)->focusPolicy() & Qt::TabFocus);

    // Ctrl+D acts like a click on 下载: with nothing selected it says so.
    grid.clearSelection();
    QTest::keyClick(&dlg, Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(shell.messages().join(u'\n').contains(QStringLiteral("请先在列表中选择要下载的相册")))
        << shell.messages().join(u'\n').toStdString();
}

// Double-click on an album opens its folder once it was downloaded, and says so when
// it was not; the folder is the one a download makes under the save path.
TEST_F(MainWindowTest, DoubleClickOpensADownloadedAlbumsFolder)
{
    SinaServices sina;
    ASSERT_TRUE(startOnBlogOwner(sina));
    MainWindow &dlg = *window;
    qobject_cast<QAbstractButton *>(dlg.control(kControlGetList))->click();
    ASSERT_TRUE(blogOwnerListed());
    const QString saveRoot = textOf(kControlSavePath);
    ASSERT_FALSE(saveRoot.isEmpty());

    Q_EMIT dlg.grid().cellDoubleClicked(1, 1);  // the second album
    EXPECT_TRUE(shell.opened().isEmpty());
    EXPECT_TRUE(textOf(kControlStatus).startsWith(QStringLiteral("该相册还没有下载："))) << textOf(kControlStatus).toStdString();

    const QString folder = textOf(kControlStatus).section(QStringLiteral("："), 1);
    EXPECT_TRUE(folder.startsWith(saveRoot)) << folder.toStdString();
    ASSERT_TRUE(QDir().mkpath(folder));
    Q_EMIT dlg.grid().cellDoubleClicked(1, 1);
    EXPECT_EQ(shell.opened(), QStringList{folder});

    // No program to open folders: said, and the path offered for copying.
    shell.opens = false;
    shell.answer = true;
    QGuiApplication::clipboard()->clear();
    Q_EMIT dlg.grid().cellDoubleClicked(1, 1);
    EXPECT_EQ(textOf(kControlStatus), QStringLiteral("无法打开：") + folder);
    EXPECT_EQ(shell.questions().size(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), folder);
}

// Enter in the address box lists, the keypad's too, and also while the history's
// suggestions show (a highlighted one is taken first).
TEST_F(MainWindowTest, EnterInTheAddressBoxLists)
{
    SinaServices sina;
    serveBlogOwner(sina);
    serveConfig();
    MainWindow &dlg = start(options());
    ASSERT_TRUE(waitUntil([&] { return !textOf(kControlNotice).isEmpty(); }));
    auto *owner = qobject_cast<HistoryComboBox *>(dlg.control(kControlOwnerAddress));
    owner->setHistory({QStringLiteral("http://blog.sina.com.cn/u/1234567890"), QStringLiteral("http://weibo.com/other")});
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(int(key));
        dlg.albumView().resetGrid();
        owner->setEditText(QStringLiteral("http://blog.sina.com.cn/u/1234567890"));
        QTest::keyClick(owner->lineEdit(), key);
        EXPECT_TRUE(blogOwnerListed());
    }

    // Typed "1234", the suggestion highlighted, then Enter.
    dlg.albumView().resetGrid();
    owner->setEditText(QString());
    owner->lineEdit()->setFocus();
    QTest::keyClicks(owner->lineEdit(), QStringLiteral("1234"));
    ASSERT_TRUE(waitUntil([&] { return owner->suggestionsVisible(); }));
    QWidget *popup = owner->findChild<QCompleter *>()->popup();
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_FALSE(owner->suggestionsVisible());
    EXPECT_EQ(owner->currentText(), QStringLiteral("http://blog.sina.com.cn/u/1234567890"));
    EXPECT_TRUE(blogOwnerListed());

    // With the suggestions open, the first click on 获取相册 is not lost to them.
    dlg.albumView().resetGrid();
    owner->setEditText(QString());
    owner->lineEdit()->setFocus();
    QTest::keyClicks(owner->lineEdit(), QStringLiteral("http://blog"));
    ASSERT_TRUE(waitUntil([&] { return owner->suggestionsVisible(); }));
    owner->setEditText(QStringLiteral("http://blog.sina.com.cn/u/1234567890"));
    QWidget *getList = dlg.control(kControlGetList);
    const QPoint onButton = getList->mapToGlobal(getList->rect().center());
    QTest::mousePress(popup, Qt::LeftButton, {}, popup->mapFromGlobal(onButton));
    EXPECT_FALSE(owner->suggestionsVisible());
    EXPECT_TRUE(blogOwnerListed());
}

// Esc does nothing while idle; while a task runs it asks before stopping it and quitting.
TEST_F(MainWindowTest, EscapeAsksBeforeEndingARunningTask)
{
    SinaServices sina;
    sina.route("blog.sina.com.cn", "/u/1234567890",
               CannedResponse::ok(readFixture(QStringLiteral("sources/sina_blog_owner.html"))).withLatency(3000));
    serveConfig();
    MainWindow &dlg = start(options());
    ASSERT_TRUE(waitUntil([&] { return !textOf(kControlNotice).isEmpty(); }));

    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(shell.questions().isEmpty());

    qobject_cast<HistoryComboBox *>(dlg.control(kControlOwnerAddress))
        ->setEditText(QStringLiteral("http://blog.sina.com.cn/u/1234567890"));
    qobject_cast<QAbstractButton *>(dlg.control(kControlGetList))->click();
    ASSERT_NE(dlg.session().listState.load(), ListState::Idle);
    shell.answer = false;
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(shell.questions(), QStringList{QStringLiteral("是否终止当前任务并退出？")});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_NE(dlg.session().listState.load(), ListState::Idle);

    shell.answer = true;
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.session().listState.load(), ListState::StopRequested);
}

}  // namespace

}  // namespace pictrove
