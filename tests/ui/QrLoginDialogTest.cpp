// 扫码登录微博 offscreen against a loopback stand-in of the passport: the states in
// words, a renewed code, closing after the login; closing the dialog ends the poll; the
// menu entry opens it and the window's line then names the account, and says so when
// the saved login has run out.

#include "UiTestSupport.h"

#include "net/CookieStore.h"
#include "sources/Session.h"
#include "support/PassportStandIn.h"
#include "support/ScopedRouting.h"
#include "ui/login/QrCodeView.h"
#include "ui/login/QrLoginDialog.h"
#include "ui/login/WeiboLoginLabel.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/CommandIds.h"
#include "ui/mainwindow/DesktopEngineEvents.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/mainwindow/MenuCommands.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <thread>

namespace pictrove {

namespace {

constexpr int kNotScanned = 50114001;
constexpr int kScanned = 50114002;
constexpr int kExpired = 50114004;
constexpr int kConfirmed = 20000000;

class QrLoginDialogTest : public ::testing::Test {
protected:
    void SetUp() override { CookieStore::process().clear(); }
    void TearDown() override { CookieStore::process().clear(); }

    // Polls without the second's pause between them.
    static QrLoginRequest quickPolls()
    {
        QrLoginRequest request;
        request.pollIntervalMs = 10;
        return request;
    }

    PassportStandIn passport;
    ScopedRouting routing{passport.server(), PassportStandIn::hosts()};
};

}  // namespace

TEST_F(QrLoginDialogTest, SaysEachStateRenewsAnExpiredCodeAndClosesOnceLoggedIn)
{
    passport.setScripts({{kNotScanned, kExpired}, {kScanned, kScanned, kConfirmed}});
    QPointer<QrLoginDialog> dialog = new QrLoginDialog(nullptr, quickPolls());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QStringList states;
    QString name;
    QObject::connect(dialog, &QrLoginDialog::stateChanged, dialog, [&](const QString &text) {
        states.append(text);
        if (text == QStringLiteral("已扫描，请在手机上确认"))
            saveScreenshot(dialog, QStringLiteral("qr-login-scanned"));
    });
    QObject::connect(dialog, &QrLoginDialog::loggedIn, dialog, [&](const QString &who) { name = who; });
    dialog->show();

    ASSERT_TRUE(waitUntil([&] { return dialog.isNull(); })) << states.join(u'|').toStdString();
    EXPECT_EQ(states, (QStringList{QStringLiteral("请用微博手机客户端扫描二维码"),
                                   QStringLiteral("二维码已过期，已换新的二维码"),
                                   QStringLiteral("请用微博手机客户端扫描二维码"),
                                   QStringLiteral("已扫描，请在手机上确认"),
                                   QStringLiteral("已确认，正在登录……"),
                                   QStringLiteral("登录成功：小明Ming")}));
    EXPECT_EQ(name, QStringLiteral("小明Ming"));
    EXPECT_EQ(passport.codesMade(), 2);
}

TEST_F(QrLoginDialogTest, TheCodeShownIsTheOneThePassportMadeAndTheLastStateStays)
{
    passport.setScripts({{kExpired}, {kExpired}});
    QrLoginDialog dialog(nullptr, quickPolls());
    dialog.show();
    ASSERT_TRUE(waitUntil([&] { return dialog.stateText() == QStringLiteral("二维码已过期，登录未完成"); }))
        << dialog.stateText().toStdString();
    EXPECT_EQ(dialog.codeText(), PassportStandIn::codeText(2));
    const QrCodeView *view = dialog.findChild<QrCodeView *>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->matrix().size(), QrMatrix::encode(PassportStandIn::codeText(2).toUtf8()).size());
    EXPECT_TRUE(dialog.isVisible());
    // A picture of the dialog reads back as the code's text, as a phone would read it.
    const QString screenshot = saveScreenshot(&dialog, QStringLiteral("qr-login-expired"));
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        return;
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), QStringLiteral("--raw"), screenshot});
    ASSERT_TRUE(zbar.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), PassportStandIn::codeText(2));
}

TEST_F(QrLoginDialogTest, ClosingTheDialogEndsThePoll)
{
    passport.setScripts({{kNotScanned}});
    auto dialog = std::make_unique<QrLoginDialog>(nullptr, quickPolls());
    dialog->show();
    ASSERT_TRUE(waitUntil([&] { return passport.checkCount() >= 3; }));
    dialog->reject();
    dialog.reset();  // waits for the login's thread
    const int checks = passport.checkCount();
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(passport.checkCount(), checks);
}

TEST_F(QrLoginDialogTest, TheMenuEntryLogsInAndTheWindowNamesTheAccount)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    RecordingShell shell;
    MainWindow window(shell);
    window.session().setDataFolder(data.path() + u'/');
    auto *label = qobject_cast<WeiboLoginLabel *>(window.control(kControlWeiboLogin));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("微博：未登录"));
    auto *commands = window.findChild<MenuCommands *>();
    ASSERT_NE(commands, nullptr);

    passport.setScripts({{kScanned, kConfirmed}});
    commands->run(kCommandLoginWeiboScan);
    ASSERT_NE(commands->qrLogin(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return commands->qrLogin() == nullptr; }));
    EXPECT_EQ(label->text(), QStringLiteral("微博：小明Ming"));

    // At the next start the saved login is asked after; and when it has run out, said so.
    label->refresh();
    ASSERT_TRUE(waitUntil([&] { return label->text() == QStringLiteral("微博：小明Ming"); }));
    passport.setLoginRunOut();
    label->refresh();
    ASSERT_TRUE(waitUntil([&] { return label->text() == QStringLiteral("微博登录已失效：请重新登录"); }))
        << label->text().toStdString();
}

TEST_F(QrLoginDialogTest, AListThatMetARunOutLoginSaysSoInTheWindowsLine)
{
    RecordingShell shell;
    MainWindow window(shell);
    window.albumView().resetGrid();
    std::thread engine([&] {
        window.events().report(event::ListStarted{});
        window.events().report(event::ListFinished{ListResult::LoginExpired, 0});
    });
    engine.join();
    ASSERT_TRUE(waitUntil([&] { return !shell.messages().isEmpty(); }));
    EXPECT_EQ(window.control(kControlWeiboLogin)->property("text").toString(),
              QStringLiteral("微博登录已失效：请重新登录"));
}

TEST_F(QrLoginDialogTest, ADownloadWhoseAlbumsMetARunOutLoginSaysSoInTheWindowsLine)
{
    RecordingShell shell;
    MainWindow window(shell);
    window.albumView().resetGrid();
    PictureCounts run;
    run.incompleteAlbums = 1;
    run.loginRefusal = ListResult::LoginExpired;
    std::thread engine([&] { window.events().report(event::DownloadFinished{DownloadResult::Finished, run}); });
    engine.join();
    ASSERT_TRUE(waitUntil([&] {
        return window.control(kControlWeiboLogin)->property("text").toString()
            == QStringLiteral("微博登录已失效：请重新登录");
    }));
}

}  // namespace pictrove
