// What the window shows for each sequence of engine events, raised on a worker thread
// as the engine raises them: status lines, frame and button texts, the controls a
// running list or download greys, message boxes, the grid and the owner history.

#include "UiTestSupport.h"

#include "grid/AlbumGrid.h"
#include "sources/AddAlbum.h"
#include "sources/Session.h"
#include "support/PrintQt.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/DesktopEngineEvents.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/mainwindow/RunProgress.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressBar>

#include <functional>
#include <thread>

namespace pictrove {

namespace {

const QString kOldStatus = QStringLiteral("old status");
const QString kOldDetail = QStringLiteral("old detail");
const QString kNoAlbum = QStringLiteral("没有获取到相册，请在登录菜单里登录新浪(微博)帐号后重试,登录时勾上下次自动登录");

const QList<int> kListLocks = {kControlSourceType,  kControlDownload,    kControlOwnerAddress, kControlThumbnails, kControlPraiseLink1,
                               kControlPraiseLink2, kControlPraiseLink3, kControlFind,         kControlFilter,     kControlExport};
const QList<int> kDownloadLocks = {kControlSourceType, kControlGetList,     kControlSetPath,     kControlOwnerAddress,
                                   kControlSavePath,   kControlPraiseLink1, kControlPraiseLink2, kControlPraiseLink3};

PictureCounts progress(int done, int total)
{
    PictureCounts counts;
    counts.done = done;
    counts.total = total;
    return counts;
}

void addAlbums(MainWindow &window, const QStringList &names)
{
    for (const QString &name : names) {
        AlbumRecord record;
        record.name = name;
        addAlbum(window.session(), record);
    }
}

void startDownloadOfTwo(EngineEvents &events)
{
    events.report(event::DownloadStarted{});
    events.report(event::AlbumStarted{1, 2, QStringLiteral("旅行")});
}

struct Expected {
    QString status = kOldStatus;
    QString detail = kOldDetail;
    QString frame = QStringLiteral("相册列表");
    QString getList = QStringLiteral("获取相册");
    QString download = QStringLiteral("下载");
    QList<int> disabled;  // of the controls a list or a download greys; the others enabled
    QStringList messages;
    bool bannerShown = true;
    bool selectAllChecked = true;
    int rows = 0;  // album rows in the grid
    QStringList ownerHistory;
    QStringList opened;
};

struct Sequence {
    const char *what;
    std::function<void(MainWindow &, EngineEvents &)> raise;
    Expected expected;
};

Expected listEnded(int count, QStringList messages = {})
{
    Expected end;
    end.status = QStringLiteral("获取相册列表完成，共%1个").arg(count);
    end.detail = QString();
    end.frame = QStringLiteral("相册列表(共%1个)").arg(count);
    if (count < 1)
        end.disabled = {kControlDownload};
    end.messages = messages;
    end.bannerShown = false;
    end.selectAllChecked = false;
    end.rows = count;
    return end;
}

Expected downloading(const QString &status, const QString &detail)
{
    Expected busy;
    busy.status = status;
    busy.detail = detail;
    busy.download = QStringLiteral("终止下载");
    busy.disabled = kDownloadLocks;
    return busy;
}

Expected downloadEnded(QString status, QString detail, QStringList messages = {}, QStringList opened = {})
{
    Expected end;
    end.status = status;
    end.detail = detail;
    end.messages = messages;
    end.opened = opened;
    return end;
}

PictureCounts counts(int saved, int skipped, int failed, int incompleteAlbums)
{
    PictureCounts run;
    run.saved = saved;
    run.skipped = skipped;
    run.failed = failed;
    run.incompleteAlbums = incompleteAlbums;
    return run;
}

Expected listing()
{
    Expected busy;
    busy.status = QStringLiteral("正在获取相册列表，请稍等...");
    busy.detail = QString();
    busy.getList = QStringLiteral("终止获取");
    busy.disabled = kListLocks;
    busy.bannerShown = false;
    busy.selectAllChecked = false;
    return busy;
}

TEST(MainWindowEventsTest, EachSequenceShowsItsTexts)
{
    const QString owner = QStringLiteral("http://blog.sina.com.cn/u/1234567890");
    Expected listed = listEnded(2);
    listed.ownerHistory = {owner};
    Expected unchanged;
    unchanged.messages = {QStringLiteral("请输入相册主人的网址")};

    const Sequence sequences[] = {
        {"list started", [](MainWindow &, EngineEvents &e) { e.report(event::ListStarted{}); }, listing()},
        {"listed",
         [owner](MainWindow &w, EngineEvents &e) {
             e.report(event::ListStarted{});
             addAlbums(w, {QStringLiteral("旅行"), QStringLiteral("家")});
             e.report(event::OwnerAddressRemembered{owner});
             e.report(event::ListFinished{ListResult::Listed, 2});
         },
         listed},
        {"stopped after one album",
         [](MainWindow &w, EngineEvents &e) {
             e.report(event::ListStarted{});
             addAlbums(w, {QStringLiteral("旅行")});
             e.report(event::ListFinished{ListResult::Stopped, 1});
         },
         listEnded(1)},
        {"no address: the list never started",
         [](MainWindow &, EngineEvents &e) { e.report(event::ListFinished{ListResult::NoAddress, 0}); }, unchanged},
        {"not a web address",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::ListStarted{});
             e.report(event::ListFinished{ListResult::NotWebAddress, 0});
         },
         listEnded(0, {QStringLiteral("请输入以http://或https://开头的网址")})},
        {"nothing found",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::ListStarted{});
             e.report(event::ListFinished{ListResult::NothingFound, 0});
         },
         listEnded(0, {kNoAlbum})},
        {"login needed",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::ListStarted{});
             e.report(event::ListFinished{ListResult::LoginNeeded, 0});
         },
         listEnded(0, {QStringLiteral("该主人的相册需要登录后才能查看：请在<登录>菜单中登录微博后重试")})},
        {"the saved login has run out",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::ListStarted{});
             e.report(event::ListFinished{ListResult::LoginExpired, 0});
         },
         listEnded(0, {QStringLiteral("微博登录已失效：请重新登录")})},
        {"refused for asking too fast, after a wait shown in the status line",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::ListStarted{});
             e.report(event::ListWaiting{4});
             e.report(event::ListFinished{ListResult::RateLimited, 0});
         },
         listEnded(0, {QStringLiteral("微博拒绝了过于频繁的请求：请过几分钟再试")})},
        {"another site",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::ListStarted{});
             e.report(event::ListFinished{ListResult::NotSupported, 0});
         },
         listEnded(0, {QStringLiteral("该来源暂不支持：请输入新浪博客或新浪微博的网址")})},
        {"album lost",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::ListStarted{});
             e.report(event::AlbumLost{});
             e.report(event::ListFinished{ListResult::NothingFound, 0});
         },
         listEnded(0, {QStringLiteral("内存分配失败"), kNoAlbum})},

        {"download started", [](MainWindow &, EngineEvents &e) { e.report(event::DownloadStarted{}); },
         downloading(kOldStatus, kOldDetail)},
        {"album started", [](MainWindow &, EngineEvents &e) { startDownloadOfTwo(e); },
         downloading(QStringLiteral("正在下载第1/2个图集"), QStringLiteral("......"))},
        {"pictures listed",
         [](MainWindow &, EngineEvents &e) {
             startDownloadOfTwo(e);
             e.report(event::PicturesListed{3});
         },
         downloading(QStringLiteral("正在下载第1/2个图集"), QStringLiteral("已获取到3张图片信息"))},
        {"transfer started",
         [](MainWindow &, EngineEvents &e) {
             startDownloadOfTwo(e);
             e.report(event::PicturesListed{3});
             e.report(event::TransferStarted{3});
         },
         downloading(QStringLiteral("正在下载第1/2个图集"), QStringLiteral("已开始下载图片"))},
        {"picture progress",
         [](MainWindow &, EngineEvents &e) {
             startDownloadOfTwo(e);
             e.report(event::TransferStarted{3});
             e.report(event::PictureProgress{progress(1, 3)});
             e.report(event::PictureFailed{QStringLiteral("http://s1.sinaimg.cn/orignal/p2"), QStringLiteral("404")});
             e.report(event::PictureProgress{progress(2, 3)});
         },
         downloading(QStringLiteral("正在下载第1/2个图集"), QStringLiteral("已下载2/3......"))},
        {"second album",
         [](MainWindow &, EngineEvents &e) {
             startDownloadOfTwo(e);
             e.report(event::TransferStarted{3});
             e.report(event::PictureProgress{progress(3, 3)});
             e.report(event::AlbumFinished{1, 2, QStringLiteral("/save/旅行/"), {}});
             e.report(event::AlbumStarted{2, 2, QStringLiteral("家")});
         },
         downloading(QStringLiteral("正在下载第2/2个图集"), QStringLiteral("......"))},
        {"download finished, folder opened",
         [](MainWindow &, EngineEvents &e) {
             startDownloadOfTwo(e);
             e.report(event::TransferStarted{3});
             e.report(event::PictureProgress{progress(3, 3)});
             e.report(event::AlbumFinished{2, 2, QStringLiteral("/save/家/"), {}});
             e.report(event::DownloadFinished{DownloadResult::Finished, counts(28, 3, 2, 0)});
             e.report(event::OpenFolder{QStringLiteral("/save/家/")});
         },
         downloadEnded(QStringLiteral("下载完毕"), QStringLiteral("保存 28 张，跳过 3 张，失败 2 张"), {},
                       {QStringLiteral("/save/家/")})},
        {"download stopped: said as such, with the counts so far",
         [](MainWindow &, EngineEvents &e) {
             startDownloadOfTwo(e);
             e.report(event::DownloadFinished{DownloadResult::Stopped, counts(4, 6, 0, 0)});
         },
         downloadEnded(QStringLiteral("下载已终止"), QStringLiteral("保存 4 张，跳过 6 张，失败 0 张"))},
        {"disk full",
         [](MainWindow &, EngineEvents &e) {
             startDownloadOfTwo(e);
             e.report(event::DiskFull{QStringLiteral("/save/家/")});
             e.report(event::DownloadFinished{DownloadResult::DiskFull, counts(1, 0, 1, 1)});
         },
         downloadEnded(QStringLiteral("磁盘空间不足，下载已停止"),
                       QStringLiteral("保存 1 张，跳过 0 张，失败 1 张；1 个相册不完整"),
                       {QStringLiteral("磁盘空间不足：/save/家/")})},
        {"no album chosen",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::DownloadStarted{});
             e.report(event::DownloadFinished{DownloadResult::NoAlbumChosen, {}});
         },
         downloadEnded(QStringLiteral("没有下载任何图片：请先选择相册"), QString(),
                       {QStringLiteral("请先在列表中选择要下载的相册")})},
        {"no save path: nothing started",
         [](MainWindow &, EngineEvents &e) { e.report(event::DownloadFinished{DownloadResult::NoSavePath, {}}); },
         [] {
             Expected e;
             e.messages = {QStringLiteral("请先设置保存路径")};
             return e;
         }()},
        {"save folder failed: nothing started",
         [](MainWindow &, EngineEvents &e) {
             e.report(event::SaveFolderFailed{QStringLiteral("/save/file")});
             e.report(event::DownloadFinished{DownloadResult::SaveFolderFailed, {}});
         },
         [] {
             Expected e;
             e.messages = {QStringLiteral("/save/file"), QStringLiteral("请检测设置的保存路径是否有误")};
             return e;
         }()},
    };

    for (const Sequence &sequence : sequences) {
        SCOPED_TRACE(sequence.what);
        RecordingShell shell;
        MainWindow window(shell);
        window.albumView().resetGrid();
        // As a window that listed before: Download usable, every row selected.
        window.control(kControlDownload)->setEnabled(true);
        setControlChecked(window.control(kControlSelectAll), true);
        setControlText(window.control(kControlStatus), kOldStatus);
        setControlText(window.control(kControlStatusDetail), kOldDetail);

        std::thread engine([&] { sequence.raise(window, window.events()); });
        engine.join();
        QApplication::processEvents();

        const Expected &expected = sequence.expected;
        auto textOf = [&window](int id) { return controlText(window.control(id)); };
        EXPECT_EQ(textOf(kControlStatus), expected.status);
        EXPECT_EQ(textOf(kControlStatusDetail), expected.detail);
        EXPECT_EQ(textOf(kControlListFrame), expected.frame);
        EXPECT_EQ(textOf(kControlGetList), expected.getList);
        EXPECT_EQ(textOf(kControlDownload), expected.download);
        for (const QList<int> &locks : {kListLocks, kDownloadLocks}) {
            for (const int id : locks)
                EXPECT_EQ(window.control(id)->isEnabled(), !expected.disabled.contains(id)) << id;
        }
        QStringList messages;
        for (const QString &message : expected.messages)
            messages.append(QStringLiteral(": ") + message);
        EXPECT_EQ(shell.messages(), messages);
        EXPECT_EQ(shell.opened(), expected.opened);
        EXPECT_EQ(!window.control(kControlBanner)->isHidden(), expected.bannerShown);
        EXPECT_EQ(controlChecked(window.control(kControlSelectAll)), expected.selectAllChecked);
        EXPECT_EQ(window.grid().gridRowCount() - window.grid().fixedRowCount(), expected.rows);
        EXPECT_EQ(qobject_cast<HistoryComboBox *>(window.control(kControlOwnerAddress))->history(),
                  expected.ownerHistory);
    }
}

// The run's progress: the bar and the title's percentage count the albums before the
// current one whole; both go when the run ends.
TEST(MainWindowEventsTest, ProgressBarAndTitleFollowTheRun)
{
    RecordingShell shell;
    MainWindow window(shell);
    window.setWindowTitle(QStringLiteral("Pictrove"));
    EngineEvents &e = window.events();
    auto *bar = qobject_cast<QProgressBar *>(window.control(kControlProgress));
    ASSERT_TRUE(bar);
    const auto settle = [] { QCoreApplication::processEvents(); };

    startDownloadOfTwo(e);  // album 1 of 2
    e.report(event::TransferStarted{4});
    e.report(event::PictureProgress{progress(2, 4)});
    settle();
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->value(), 250);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("25% - Pictrove"));

    e.report(event::AlbumFinished{1, 2, QStringLiteral("/save/旅行/"), {}});
    e.report(event::AlbumStarted{2, 2, QStringLiteral("家")});
    e.report(event::PictureProgress{progress(1, 1)});
    settle();
    EXPECT_EQ(bar->value(), 1000);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("100% - Pictrove"));

    e.report(event::DownloadFinished{DownloadResult::Finished, {}});
    settle();
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Pictrove"));
}

// The folder the options open at the end of a run: when nothing on the system can
// open it, the end text stays and says so, and no question interrupts the end.
TEST(MainWindowEventsTest, AFolderNothingCanOpenAtTheEndIsSaidQuietly)
{
    RecordingShell shell;
    shell.opens = false;
    MainWindow window(shell);
    std::thread engine([&] {
        EngineEvents &e = window.events();
        startDownloadOfTwo(e);
        e.report(event::DownloadFinished{DownloadResult::Finished, counts(28, 3, 2, 0)});
        e.report(event::OpenFolder{QStringLiteral("/save/家/")});
    });
    engine.join();
    QApplication::processEvents();

    EXPECT_EQ(controlText(window.control(kControlStatus)), QStringLiteral("下载完毕（无法打开文件夹）"));
    EXPECT_EQ(controlText(window.control(kControlStatusDetail)), QStringLiteral("保存 28 张，跳过 3 张，失败 2 张"));
    EXPECT_EQ(shell.opened(), QStringList{"/save/家/"});
    EXPECT_TRUE(shell.questions().isEmpty());
}

TEST(RunProgress, SpeedAndTimeLeft)
{
    RunProgress run;
    run.start(10000);
    EXPECT_EQ(run.speedAndTimeLeft(), QString());  // nothing known yet
    run.albumStarted(1, 4);
    PictureCounts album;
    album.total = 10;
    album.done = 5;
    PictureCounts whole;
    whole.bytes = 3 * 1048576;
    run.update(album, 12000);  // an eighth of the run in 2 s
    run.updateRun(whole, 12000);
    EXPECT_DOUBLE_EQ(run.fraction(), 0.125);
    EXPECT_EQ(run.secondsLeft(), 14);
    EXPECT_EQ(run.speedAndTimeLeft(), QStringLiteral("1.5 MB/s，剩余 0:14"));

    // The next album starts from zero; the speed is the whole run's.
    run.albumStarted(2, 4);
    album.done = 0;
    whole.bytes = 4 * 1048576;
    run.update(album, 14000);
    run.updateRun(whole, 14000);
    EXPECT_DOUBLE_EQ(run.fraction(), 0.25);
    EXPECT_DOUBLE_EQ(run.bytesPerSecond(), 1048576.0);

    // Albums transferring ahead of the one being reported count too.
    whole.bytes = 8 * 1048576;
    run.updateRun(whole, 14000);
    EXPECT_DOUBLE_EQ(run.bytesPerSecond(), 2 * 1048576.0);
    EXPECT_DOUBLE_EQ(run.fraction(), 0.25);
}

// A resumed run: six of fourteen albums had nothing new and passed at once, moving the
// bar by 43%; album 7 then fetches its 10 pictures at one a second. Time left comes
// from that pace over the pictures still to fetch, not from the bar's jump; when the
// pace doubles, the time left follows once the old pace is out of the window.
TEST(RunProgress, TimeLeftAfterAResumeFollowsTheRecentPace)
{
    constexpr int kAlbums = 14;
    RunProgress run;
    run.start(0);
    PictureCounts album;
    for (int number = 1; number <= 6; ++number) {
        run.albumStarted(number, kAlbums);
        run.update(album, 10 * number);  // nothing to fetch: the album ends at once
    }
    qint64 now = 100;
    const auto fetch = [&](int upTo, int msEach) {
        while (album.done < upTo) {
            ++album.done;
            now += msEach;
            run.update(album, now);
        }
    };
    run.albumStarted(7, kAlbums);
    album.total = 10;
    fetch(5, 1000);
    // 5 left here and 10 in each of the seven after it, at one a second.
    EXPECT_NEAR(run.secondsLeft(), 75, 2);  // the bar alone said 0:06

    fetch(10, 500);
    for (int number = 8; number <= 12; ++number) {
        run.albumStarted(number, kAlbums);
        album.done = 0;
        run.update(album, now);
        fetch(number == 12 ? 4 : 10, 500);
    }
    // Album 12 at 4/10: 6 + 20 left at two a second.
    EXPECT_EQ(run.secondsLeft(), 13);
}

}  // namespace

}  // namespace pictrove
