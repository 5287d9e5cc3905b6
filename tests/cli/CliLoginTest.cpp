// pictrove-cli login, whoami and logout end to end: the real binary against a loopback
// stand-in of Weibo's passport. The engine's suite covers the flow; these check what
// the CLI adds: the drawn code (read back as a phone would), the words, the exit
// status, the saved login, and that nothing of the login is printed.

#include "TerminalQrReader.h"

#include "support/PassportStandIn.h"
#include "support/ScopedRouting.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>

#include <sys/stat.h>

namespace pictrove {

namespace {

constexpr int kNotScanned = 50114001;
constexpr int kScanned = 50114002;
constexpr int kExpired = 50114004;
constexpr int kConfirmed = 20000000;

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliLoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(home.dataFolder()));
        env = routing.environment(home.environment());
    }

    CliResult run(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home.path());
        process.start(QStringLiteral(PICTROVE_CLI_PATH), arguments);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QByteArray savedCookies() const
    {
        QFile file(home.dataFolder() + QStringLiteral("cookies.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TemporaryHome home;
    PassportStandIn passport;
    ScopedRouting routing{passport.server(), PassportStandIn::hosts()};
    QProcessEnvironment env;
};

void expectNoLoginData(const CliResult &result)
{
    for (const QString &text : {result.out, result.err}) {
        EXPECT_FALSE(text.contains(QLatin1String(PassportStandIn::kLoginCookieValue)));
        EXPECT_FALSE(text.contains(QLatin1String("ALT-TICKET")));
        EXPECT_FALSE(text.contains(QLatin1String("ST-stand-in")));
    }
}

}  // namespace

TEST_F(CliLoginTest, LoginDrawsAReadableCodeSaysEachStateAndSavesTheLogin)
{
    passport.setScripts({{kNotScanned, kScanned, kConfirmed}});
    const CliResult login = run({QStringLiteral("login")});
    ASSERT_EQ(login.exitCode, 0) << login.err.toStdString();
    const QStringList states = {QStringLiteral("请用微博手机客户端扫描二维码"), QStringLiteral("已扫描，请在手机上确认"),
                                QStringLiteral("登录成功：小明Ming")};
    qsizetype at = 0;
    for (const QString &state : states) {
        const qsizetype found = login.out.indexOf(state, at);
        EXPECT_GT(found, at - 1) << state.toStdString();
        at = found;
    }
    if (haveQrReader()) {
        EXPECT_EQ(readTerminalQr(login.out, TerminalTheme::Dark), PassportStandIn::codeText(1));
        EXPECT_EQ(readTerminalQr(login.out, TerminalTheme::Light), PassportStandIn::codeText(1));
    }
    expectNoLoginData(login);

    const QByteArray saved = savedCookies();
    EXPECT_TRUE(saved.contains(QByteArray("SUB\t") + PassportStandIn::kLoginCookieValue));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(home.dataFolder() + QStringLiteral("cookies.txt")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // The saved login is the viewer's, until it is forgotten.
    const CliResult whoami = run({QStringLiteral("whoami")});
    EXPECT_EQ(whoami.exitCode, 0) << whoami.err.toStdString();
    EXPECT_EQ(whoami.out, QStringLiteral("小明Ming (uid 1234567890)\n"));
    expectNoLoginData(whoami);

    const CliResult logout = run({QStringLiteral("logout")});
    EXPECT_EQ(logout.exitCode, 0) << logout.err.toStdString();
    EXPECT_EQ(logout.out, QStringLiteral("已退出微博登录\n"));
    EXPECT_FALSE(savedCookies().contains("SUB\t"));
    const CliResult gone = run({QStringLiteral("whoami")});
    EXPECT_EQ(gone.exitCode, 4);
    EXPECT_EQ(gone.err, QStringLiteral("没有保存的微博登录：请用 pictrove-cli login 登录\n"));
}

TEST_F(CliLoginTest, ALoginThatEndsWithoutAnAccountExitsFourWithTheReason)
{
    struct Case {
        const char *name;
        QList<QList<int>> scripts;
        QString reason;
    };
    const Case cases[] = {
        {"expired twice", {{kExpired}, {kExpired}}, QStringLiteral("二维码已过期，登录未完成")},
        {"refused", {{kScanned, PassportStandIn::kRefusedRetcode}}, QStringLiteral("微博拒绝了登录：登录请求已被拒绝")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        passport.setScripts(c.scripts);
        const CliResult login = run({QStringLiteral("login")});
        EXPECT_EQ(login.exitCode, 4);
        EXPECT_TRUE(login.err.contains(c.reason)) << login.err.toStdString();
        EXPECT_FALSE(savedCookies().contains("SUB\t"));
    }
}

TEST_F(CliLoginTest, WhoamiSaysWhenTheSavedLoginHasRunOut)
{
    passport.setScripts({{kConfirmed}});
    ASSERT_EQ(run({QStringLiteral("login")}).exitCode, 0);
    passport.setLoginRunOut();
    const CliResult whoami = run({QStringLiteral("whoami")});
    EXPECT_EQ(whoami.exitCode, 4);
    EXPECT_EQ(whoami.err, QStringLiteral("微博登录已失效：请重新登录（pictrove-cli login）\n"));
}

// A list that meets the login answer although a login is saved says the login has run
// out, and how to log in again, rather than that the owner needs one.
TEST_F(CliLoginTest, AListWithASavedLoginThatRanOutSaysSo)
{
    const CannedResponse loginAnswer =
        CannedResponse::ok(R"({"ok":-100,"url":"https://passport.weibo.com/sso/signin"})", "application/json");
    passport.server().route("photo.weibo.com", "/albums/get_all", loginAnswer);
    passport.server().route("weibo.com", "/ajax/profile/getImageWall", loginAnswer);
    passport.setScripts({{kConfirmed}});
    ASSERT_EQ(run({QStringLiteral("login")}).exitCode, 0);
    passport.setLoginRunOut();

    const CliResult listed = run({QStringLiteral("list"), QStringLiteral("https://weibo.com/u/1234567890")});
    EXPECT_EQ(listed.exitCode, 4) << listed.err.toStdString();
    EXPECT_TRUE(listed.err.contains(QStringLiteral("微博登录已失效：请重新登录"))) << listed.err.toStdString();
    EXPECT_TRUE(listed.err.contains(QStringLiteral("pictrove-cli login")));
    EXPECT_FALSE(listed.err.contains(QStringLiteral("该主人的相册需要登录后才能查看")));
}

// Albums listed, then their pictures' listing meets the login answer: the download
// stops asking, says once that the login has run out, and exits as a login would fix.
TEST_F(CliLoginTest, ADownloadWhoseAlbumsMeetARunOutLoginSaysSoOnce)
{
    const CannedResponse loginAnswer =
        CannedResponse::ok(R"({"ok":-100,"url":"https://passport.weibo.com/sso/signin"})", "application/json");
    QFile wallFile(QStringLiteral(PICTROVE_FIXTURES_DIR "/sources/weibo_api_image_wall.json"));
    ASSERT_TRUE(wallFile.open(QIODevice::ReadOnly));
    const QByteArray wall = wallFile.readAll();
    QFile profileFile(QStringLiteral(PICTROVE_FIXTURES_DIR "/sources/weibo_api_profile.json"));
    ASSERT_TRUE(profileFile.open(QIODevice::ReadOnly));
    passport.server().route("photo.weibo.com", "/albums/get_all", loginAnswer);
    passport.server().route("weibo.com", "/ajax/profile/info",
                            CannedResponse::ok(profileFile.readAll(), "application/json"));
    // The list's first wall page, then the login answer to every picture page.
    passport.server().route("weibo.com", "/ajax/profile/getImageWall",
                            LoopbackServer::sequence({CannedResponse::ok(wall, "application/json"), loginAnswer}));
    passport.server().route("weibo.com", "/ajax/profile/getAlbumDetail", loginAnswer);
    passport.setScripts({{kConfirmed}});
    ASSERT_EQ(run({QStringLiteral("login")}).exitCode, 0);
    passport.setLoginRunOut();

    const CliResult downloaded = run({QStringLiteral("download"), QStringLiteral("https://weibo.com/u/1234567890"),
                                      QStringLiteral("--save"), home.path() + QStringLiteral("/saved")});
    EXPECT_EQ(downloaded.exitCode, 4) << downloaded.err.toStdString();
    EXPECT_EQ(downloaded.err.count(QStringLiteral("（用 pictrove-cli login 重新登录）")), 1) << downloaded.err.toStdString();
    EXPECT_TRUE(downloaded.err.contains(QStringLiteral("；微博登录已失效：请重新登录"))) << downloaded.err.toStdString();
}

TEST_F(CliLoginTest, InterruptEndsThePoll)
{
    passport.setScripts({{kNotScanned}});
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PICTROVE_CLI_PATH), {QStringLiteral("login")});
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 500 && passport.checkCount() == 0; ++i)
        QThread::msleep(20);
    ASSERT_GT(passport.checkCount(), 0);
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 130);
    const int checks = passport.checkCount();
    QThread::msleep(1500);
    EXPECT_EQ(passport.checkCount(), checks) << "the poll went on after the command ended";
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(QStringLiteral("登录已取消")));
}

}  // namespace pictrove
