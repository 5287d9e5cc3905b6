// The login browser with a real embedded browser against a loopback site: the
// clipboard address, 打开 and Enter, the resize rule, cookies reaching the engine's
// fetches, and the login entries' modeless and modal forms.

#include "ModalHelper.h"
#include "UiTestSupport.h"

#include "net/CookieStore.h"
#include "net/PageFetcher.h"
#include "sources/Session.h"
#include "support/LoopbackServer.h"
#include "support/ScopedRouting.h"
#include "ui/mainwindow/CommandIds.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/login/LoginBrowserDialog.h"
#include "ui/login/LoginWebView.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/login/LoginProfile.h"
#include "ui/mainwindow/MenuCommands.h"
#include "ui/startup/StoredTexts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace pictrove {

namespace {

std::string s(const QString &text) { return text.toStdString(); }

// One data folder for the whole run: the profile is made once per process.
QString dataFolder()
{
    static QTemporaryDir folder;
    return folder.path() + u'/';
}

QWebEngineProfile *profile() { return loginProfile(dataFolder()); }

const QByteArray kPage = "<html><head><title>t</title></head><body><h1>Login</h1></body></html>";

// Counts the loads the browser finished, successful or not.
struct LoadCounter {
    explicit LoadCounter(LoginBrowserDialog &dialog)
    {
        QObject::connect(dialog.browser(), &QWebEngineView::loadFinished, dialog.browser(),
                         [this](bool ok) { (ok ? succeeded : failed)++; });
    }
    int succeeded = 0;
    int failed = 0;
};

QString cookieHeader(const QString &url) { return CookieStore::process().cookieHeaderFor(url); }

class LoginBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.route("", "/page", CannedResponse::ok(kPage));
        server.route("", "/page2", CannedResponse::ok(kPage));
    }

    QString url(const char *path) const { return server.baseUrl() + QString::fromLatin1(path); }
    int requestsFor(const QByteArray &path) const
    {
        int count = 0;
        for (const RecordedRequest &request : server.requests())
            count += request.path() == path;
        return count;
    }

    LoopbackServer server;
};

TEST_F(LoginBrowserTest, ClipboardAddressIsShownButLoadedOnlyByOpenOrEnter)
{
    QGuiApplication::clipboard()->setText(url("/page"));
    LoginBrowserDialog dialog(QString(), profile());
    LoadCounter loads(dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(s(dialog.windowTitle()), "登录成功后手动关闭对话框");
    EXPECT_EQ(s(dialog.addressEdit()->text()), s(url("/page")));
    EXPECT_TRUE(dialog.browser()->url().isEmpty());
    EXPECT_EQ(server.requestCount(), 0);

    dialog.openButton()->click();
    ASSERT_TRUE(waitUntil([&] { return loads.succeeded == 1; }));
    EXPECT_EQ(requestsFor("/page"), 1);

    // Enter in the address edit presses the default button 打开.
    EXPECT_TRUE(dialog.openButton()->isDefault());
    dialog.addressEdit()->setText(url("/page2"));
    QTest::keyClick(dialog.addressEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return loads.succeeded == 2; }));
    EXPECT_EQ(requestsFor("/page2"), 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoginBrowserTest, ResizingKeepsOpenAtTheRightEdgeAndWidensTheAddress)
{
    LoginBrowserDialog dialog(url("/page"), profile());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QRect edit = dialog.addressEdit()->geometry();
    const QRect button = dialog.openButton()->geometry();
    const QPoint browser = dialog.browser()->pos();

    for (const QSize size : {QSize(1000, 720), QSize(520, 400), QSize(705, 619)}) {
        SCOPED_TRACE(size.width());
        dialog.resize(size);
        ASSERT_TRUE(waitUntil([&] { return dialog.size() == size; }));
        const int w = dialog.width();
        const int h = dialog.height();
        const QRect newButton = dialog.openButton()->geometry();
        EXPECT_EQ(newButton.size(), button.size());
        EXPECT_EQ(newButton.top(), button.top());
        EXPECT_EQ(newButton.right() + 1, w);
        const QRect newEdit = dialog.addressEdit()->geometry();
        EXPECT_EQ(newEdit.left(), edit.left());
        EXPECT_EQ(newEdit.top(), edit.top());
        EXPECT_EQ(newEdit.height(), edit.height());
        EXPECT_EQ(newEdit.right() + 1, newButton.left() - 5);
        EXPECT_EQ(dialog.browser()->geometry(), QRect(browser, QPoint(w - 1, h - 1)));
    }
}

TEST_F(LoginBrowserTest, CookiesOfTheBrowserTravelWithTheNextFetch)
{
    // The login answers with a redirect that sets an HttpOnly session cookie and a
    // lasting one; renewing replaces it, the logout deletes it.
    server.route("", "/login",
                 CannedResponse::redirect("/home")
                     .withCookie("SID=s3cret; Path=/; HttpOnly")
                     .withCookie("keep=1; Path=/; Max-Age=3600"));
    server.route("", "/home", CannedResponse::ok(kPage));
    server.route("", "/renew", CannedResponse::ok(kPage).withCookie("SID=renewed; Path=/; HttpOnly"));
    server.route("", "/logout", CannedResponse::ok(kPage).withCookie("SID=; Path=/; Max-Age=0"));
    server.route("", "/check", CannedResponse::ok("checked", "text/plain"));

    LoginBrowserDialog dialog(url("/login"), profile());
    LoadCounter loads(dialog);
    dialog.show();
    ASSERT_TRUE(waitUntil([&] { return loads.succeeded == 1; }));
    EXPECT_EQ(dialog.browser()->url().path(), QStringLiteral("/home"));
    ASSERT_TRUE(waitUntil([&] {
        const QString header = cookieHeader(url("/check"));
        return header.contains(QStringLiteral("SID=s3cret")) && header.contains(QStringLiteral("keep=1"));
    }));
    saveScreenshot(&dialog, QStringLiteral("login-browser"));

    for (const CookieFields &cookie : CookieStore::process().cookies()) {
        if (cookie.name != QStringLiteral("SID"))
            continue;
        EXPECT_TRUE(cookie.httpOnly);
        EXPECT_TRUE(cookie.hostOnly);
        EXPECT_EQ(cookie.expiry, 0);
        EXPECT_EQ(s(cookie.domain), "127.0.0.1");
    }

    {
        // No proxy from the environment may come between the fetch and the server.
        ScopedRouting routing(server, {QStringLiteral("127.0.0.1")}, server.port());
        PageRequest request(url("/check"), QString());
        PageResponse response;
        ASSERT_TRUE(fetch(request, response));
    }
    const RecordedRequest check = server.requests().constLast();
    ASSERT_EQ(check.path(), "/check");
    EXPECT_TRUE(check.header("Cookie").contains("SID=s3cret")) << check.header("Cookie").toStdString();
    EXPECT_TRUE(check.header("Cookie").contains("keep=1")) << check.header("Cookie").toStdString();

    // A cookie set again replaces the old value: the browser reports the old one
    // removed before the new one added, so the engine ends up with the new one.
    dialog.browser()->navigate(url("/renew"));
    ASSERT_TRUE(waitUntil([&] { return loads.succeeded == 2; }));
    ASSERT_TRUE(waitUntil([&] { return cookieHeader(url("/check")).contains(QStringLiteral("SID=renewed")); }));
    dialog.browser()->navigate(url("/page"));
    ASSERT_TRUE(waitUntil([&] { return loads.succeeded == 3; }));
    EXPECT_TRUE(cookieHeader(url("/check")).contains(QStringLiteral("SID=renewed")));

    dialog.browser()->navigate(url("/logout"));
    ASSERT_TRUE(waitUntil([&] { return !cookieHeader(url("/check")).contains(QStringLiteral("SID=")); }));
    EXPECT_TRUE(cookieHeader(url("/check")).contains(QStringLiteral("keep=1")));
    EXPECT_TRUE(QDir(dataFolder() + QStringLiteral("browser")).exists());
}

TEST_F(LoginBrowserTest, LoginEntriesOpenOneModelessBrowserOrAModalOne)
{
    RecordingShell shell;
    MainWindow window(shell);
    window.session().setDataFolder(dataFolder());
    auto *commands = window.findChild<MenuCommands *>();
    ASSERT_NE(commands, nullptr);
    auto trigger = [&](int command) {
        window.findChild<QAction *>(QStringLiteral("cmd%1").arg(command))->trigger();
    };

    ASSERT_TRUE(commands->loginMode1());
    trigger(kCommandLoginSinaWeibo);
    QPointer<LoginBrowserDialog> first = commands->loginBrowser();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->parentWidget(), &window);
    EXPECT_FALSE(first->isModal());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(s(first->addressEdit()->text()), "https://weibo.com/login.php");

    // A second login replaces the first browser.
    trigger(kCommandLoginCustom);
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(commands->loginBrowser(), nullptr);
    EXPECT_EQ(commands->loginBrowser()->addressEdit()->text(), homePageAddress());

    auto *owner = qobject_cast<QComboBox *>(window.control(kControlOwnerAddress));
    auto *subType = qobject_cast<QComboBox *>(window.control(kControlSubType));
    owner->setEditText(QStringLiteral(" 10001 "));
    subType->addItems({QStringLiteral("QQ号"), QStringLiteral("群号")});
    subType->setCurrentIndex(0);
    trigger(kCommandLoginQqZone);
    EXPECT_EQ(s(commands->loginBrowser()->addressEdit()->text()), "https://user.qzone.qq.com/10001");

    trigger(kCommandLoginMode1);
    EXPECT_FALSE(commands->loginMode1());
    EXPECT_TRUE(runModal<LoginBrowserDialog>([&] { trigger(kCommandLoginTaobao); }, [](LoginBrowserDialog &browser) {
        EXPECT_EQ(browser.parentWidget(), nullptr);
        EXPECT_TRUE(browser.isModal());
        EXPECT_EQ(s(browser.addressEdit()->text()), "https://login.taobao.com/member/login.jhtml");
        browser.reject();
    }));
}

}  // namespace

}  // namespace pictrove
