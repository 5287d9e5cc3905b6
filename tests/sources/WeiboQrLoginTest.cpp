// The scan-to-log-in against a loopback stand-in of the passport: each return code in
// turn, a renewal after an expiry, a refusal, a confirmation that brings no login, a
// ticket that would leave the passports, a stop; the login's cookies in the shared
// store (and its file, 0600), and the viewer named. Also the answer readers alone.

#include "net/CookieStore.h"
#include "sources/QrMatrix.h"
#include "sources/weibo/WeiboQrAnswers.h"
#include "sources/weibo/WeiboQrLogin.h"
#include "sources/weibo/WeiboViewer.h"
#include "support/Fixtures.h"
#include "support/PassportStandIn.h"
#include "support/PrintQt.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <atomic>

#include <sys/stat.h>

namespace pictrove {

namespace {

// The events of one run as short words, the code texts kept aside.
struct RecordingQrEvents : QrLoginEvents {
    void report(const QrLoginEvent &event) override
    {
        struct Name {
            RecordingQrEvents &self;
            QString operator()(const event::QrCodeReady &code)
            {
                self.codeTexts.append(code.encodedText);
                self.matrixSizes.append(code.matrix.size());
                return code.renewed ? QStringLiteral("code(renewed)") : QStringLiteral("code");
            }
            QString operator()(const event::QrScanned &) { return QStringLiteral("scanned"); }
            QString operator()(const event::QrConfirmed &) { return QStringLiteral("confirmed"); }
            QString operator()(const event::QrExpired &e)
            {
                return e.renewing ? QStringLiteral("expired(renewing)") : QStringLiteral("expired");
            }
            QString operator()(const event::QrLoginFinished &f)
            {
                self.finished = f;
                return QStringLiteral("finished");
            }
        };
        names.append(std::visit(Name{*this}, event));
        texts.append(qrLoginText(event));
        if (onEvent)
            onEvent(event);
    }
    QStringList names;
    QStringList texts;
    QStringList codeTexts;
    QList<int> matrixSizes;
    event::QrLoginFinished finished;
    std::function<void(const QrLoginEvent &)> onEvent;
};

constexpr int kNotScanned = kQrRetcodeNotScanned;
constexpr int kScanned = kQrRetcodeScanned;
constexpr int kExpired = kQrRetcodeExpired;
constexpr int kConfirmed = kQrRetcodeSuccess;
constexpr int kRefused = PassportStandIn::kRefusedRetcode;

class WeiboQrLoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        CookieStore::process().clear();
        cookieFile = dir.filePath(QStringLiteral("cookies.txt"));
        ASSERT_EQ(CookieStore::process().open(cookieFile), CookieFileStatus::Opened);
        request.sleep = [this](int ms) { pauses.append(ms); };
    }
    void TearDown() override { CookieStore::process().clear(); }

    QrLoginResult runLogin() { return runQrLogin(request, events); }

    QTemporaryDir dir;
    QString cookieFile;
    PassportStandIn passport;
    ScopedRouting routing{passport.server(), PassportStandIn::hosts()};
    QrLoginRequest request;
    RecordingQrEvents events;
    QList<int> pauses;
    int stopAfterPauses = 0;
};

}  // namespace

TEST_F(WeiboQrLoginTest, EachReturnCodeInTurnEndsLoggedInAsTheViewer)
{
    // A busy passport's 502 is asked again at the next tick.
    passport.setScripts({{kNotScanned, PassportStandIn::kBusyServer, kScanned, kScanned, kConfirmed}});
    EXPECT_EQ(runLogin(), QrLoginResult::LoggedIn);

    EXPECT_EQ(events.names, (QStringList{"code", "scanned", "confirmed", "finished"}));
    EXPECT_EQ(events.texts.first(), QStringLiteral("请用微博手机客户端扫描二维码"));
    EXPECT_EQ(events.texts.at(1), QStringLiteral("已扫描，请在手机上确认"));
    EXPECT_EQ(events.texts.last(), QStringLiteral("登录成功：小明Ming"));
    EXPECT_EQ(events.finished.uid, QString::fromUtf16(PassportStandIn::kViewerUid));
    EXPECT_EQ(events.codeTexts, QStringList{PassportStandIn::codeText(1)});
    EXPECT_GE(events.matrixSizes.value(0), 21);
    // One pause of about a second before each of the five polls.
    EXPECT_EQ(pauses, QList<int>(5, 1000));
    EXPECT_EQ(passport.checkCount(), 5);

    // The login is in the shared store and its file, readable by the user alone.
    EXPECT_TRUE(hasSavedWeiboLogin());
    QFile file(cookieFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.contains(QByteArray("SUB\t") + PassportStandIn::kLoginCookieValue));
    EXPECT_TRUE(saved.contains(QByteArray("SUBP\t") + PassportStandIn::kLoginCookieValue));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(cookieFile).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // Nothing of the login travels in an event.
    for (const QString &text : events.texts)
        EXPECT_FALSE(text.contains(QLatin1String(PassportStandIn::kLoginCookieValue)) || text.contains(u"ALT-TICKET"))
            << text.toStdString();
}

TEST_F(WeiboQrLoginTest, ExpiriesRenewTheCodeOnceThenGiveUp)
{
    struct Case {
        const char *name;
        QList<QList<int>> scripts;
        QrLoginResult result;
        QStringList names;
    };
    const Case cases[] = {
        {"renewed once, then confirmed",
         {{kNotScanned, kExpired}, {kScanned, kConfirmed}},
         QrLoginResult::LoggedIn,
         {"code", "expired(renewing)", "code(renewed)", "scanned", "confirmed", "finished"}},
        {"expired twice",
         {{kScanned, kExpired}, {kExpired}},
         QrLoginResult::Expired,
         {"code", "scanned", "expired(renewing)", "code(renewed)", "expired", "finished"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CookieStore::process().clear();
        PassportStandIn fresh;
        ScopedRouting freshRouting(fresh.server(), PassportStandIn::hosts());
        fresh.setScripts(c.scripts);
        RecordingQrEvents recorded;
        EXPECT_EQ(runQrLogin(request, recorded), c.result);
        EXPECT_EQ(recorded.names, c.names);
        EXPECT_EQ(fresh.codesMade(), 2);
        EXPECT_EQ(recorded.codeTexts, (QStringList{PassportStandIn::codeText(1), PassportStandIn::codeText(2)}));
        EXPECT_EQ(hasSavedWeiboLogin(), c.result == QrLoginResult::LoggedIn);
    }
}

TEST_F(WeiboQrLoginTest, RefusalsAndConfirmationsWithoutALoginEndWithTheirReason)
{
    struct Case {
        const char *name;
        std::function<void(PassportStandIn &)> setUp;
        QrLoginResult result;
        QString text;
    };
    const Case cases[] = {
        {"the passport refuses", [](PassportStandIn &p) { p.setScripts({{kScanned, kRefused}}); },
         QrLoginResult::Refused, QStringLiteral("微博拒绝了登录：登录请求已被拒绝")},
        {"the ticket's address sets no login",
         [](PassportStandIn &p) {
             p.setScripts({{kConfirmed}});
             p.setConfirmationWithoutLogin();
         },
         QrLoginResult::NoLogin, QStringLiteral("登录未完成：微博没有给出登录信息")},
        {"the web API does not see the login",
         [](PassportStandIn &p) {
             p.setScripts({{kConfirmed}});
             p.setLoginRunOut();
         },
         QrLoginResult::NoLogin, QStringLiteral("登录未完成：微博没有给出登录信息")},
        {"the ticket would leave the passports",
         [](PassportStandIn &p) {
             p.setScripts({{kConfirmed}});
             p.setConfirmationHost(QStringLiteral("example.test"));
         },
         QrLoginResult::ServiceChanged, QStringLiteral("微博登录服务的回答无法识别：HTTP/1.1 200 OK")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CookieStore::process().clear();
        PassportStandIn fresh;
        ScopedRouting freshRouting(fresh.server(), PassportStandIn::hosts());
        c.setUp(fresh);
        RecordingQrEvents recorded;
        EXPECT_EQ(runQrLogin(request, recorded), c.result);
        EXPECT_EQ(recorded.texts.value(recorded.texts.size() - 1), c.text);
        for (const RecordedRequest &r : fresh.server().requests())
            EXPECT_NE(r.host(), QByteArray("example.test")) << "the ticket went to another host";
    }
}

TEST_F(WeiboQrLoginTest, WithoutWeibosPassportTheSinaPassportsOlderPairLogsIn)
{
    passport.setNewerPassportGone();
    passport.setScripts({{kNotScanned, kScanned, kConfirmed}});
    EXPECT_EQ(runLogin(), QrLoginResult::LoggedIn);
    EXPECT_EQ(events.names, (QStringList{"code", "scanned", "confirmed", "finished"}));
    EXPECT_EQ(events.codeTexts, QStringList{PassportStandIn::codeText(1)});
    EXPECT_EQ(events.finished.name, QString::fromUtf16(PassportStandIn::kViewerName));
    EXPECT_TRUE(hasSavedWeiboLogin());
    QStringList asked;
    for (const RecordedRequest &r : passport.server().requests())
        asked.append(QString::fromLatin1(r.host() + r.path()));
    EXPECT_TRUE(asked.contains(QStringLiteral("login.sina.com.cn/sso/qrcode/check")));
    EXPECT_FALSE(asked.contains(QStringLiteral("passport.weibo.com/sso/v2/qrcode/check")));
    // Only passport addresses of the cross-domain list were visited.
    EXPECT_FALSE(asked.contains(QStringLiteral("example.test/steal")));
}

TEST_F(WeiboQrLoginTest, AStopEndsThePollAtOnce)
{
    passport.setScripts({{kNotScanned}});
    std::atomic<bool> stop{false};
    request.stopRequested = [&] { return stop.load(); };
    // The user closes the dialog during the third pause.
    request.sleep = [&](int) {
        if (++stopAfterPauses == 3)
            stop = true;
    };
    EXPECT_EQ(runLogin(), QrLoginResult::Stopped);
    EXPECT_EQ(passport.checkCount(), 2);
    EXPECT_EQ(events.names, (QStringList{"code", "finished"}));
    EXPECT_EQ(events.texts.last(), QStringLiteral("登录已取消"));
}

TEST(WeiboQrAnswersTest, ReadsTheCodeAndEachPoll)
{
    const QrCodeAnswer code = readQrCodeAnswer(QStringLiteral(
        R"({"retcode":20000000,"data":{"qrid":"Q1","image":"https://v2.qr.weibo.cn/inf/gen?data=https%3A%2F%2Fpassport.weibo.cn%2Fsignin%2Fqrcode%2Fscan%3Fqr%3DQ1%26a%3Db&x=1"}})"));
    EXPECT_EQ(code.qrid, QStringLiteral("Q1"));
    EXPECT_EQ(code.encodedText, QStringLiteral("https://passport.weibo.cn/signin/qrcode/scan?qr=Q1&a=b"));
    EXPECT_FALSE(readQrCodeAnswer(QStringLiteral(R"({"retcode":50114010,"msg":"no"})")).valid());
    // As the passport answers, a JSONP poll among them.
    const QrCodeAnswer made = readQrCodeAnswer(QString::fromUtf8(readFixture(QStringLiteral("sources/weibo_qr_code.json"))));
    EXPECT_EQ(made.qrid, QStringLiteral("Q1aBc"));
    EXPECT_EQ(made.encodedText, QStringLiteral("https://passport.weibo.cn/signin/qrcode/scan?qr=Q1aBc&sinainternalbrowser=topnav"));
    const QrCheckAnswer confirmed =
        readQrCheckAnswer(QString::fromUtf8(readFixture(QStringLiteral("sources/weibo_qr_check_confirmed.txt"))));
    EXPECT_EQ(int(confirmed.state), int(QrCheckState::Confirmed));
    EXPECT_TRUE(confirmed.loginAddress.startsWith(QStringLiteral("https://login.sina.com.cn/sso/login.php?")));
    EXPECT_TRUE(confirmed.loginAddress.contains(QStringLiteral("alt=ALT-1")));

    struct Case {
        const char *answer;
        QrCheckState state;
    };
    const Case cases[] = {
        {R"({"retcode":50114001,"data":null})", QrCheckState::NotScanned},
        {R"({"retcode":"50114002"})", QrCheckState::Scanned},
        {R"(cb({"retcode":50114004});)", QrCheckState::Expired},
        {R"({"retcode":20000000,"data":{"url":"https://login.sina.com.cn/sso/login.php?alt=X"}})", QrCheckState::Confirmed},
        {R"({"retcode":20000000,"data":{"url":"https://evil.example.test/?alt=X"}})", QrCheckState::Unreadable},
        {R"({"retcode":20000000,"data":{"alt":"ALT-1"}})", QrCheckState::Confirmed},
        {R"({"retcode":20000000,"data":{}})", QrCheckState::Unreadable},
        {R"({"retcode":50114015,"msg":"拒绝"})", QrCheckState::Refused},
        {"<html>passport</html>", QrCheckState::Unreadable},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(int(readQrCheckAnswer(QString::fromUtf8(c.answer)).state), int(c.state));
    }
    EXPECT_EQ(crossDomainAddressesOf(QStringLiteral(
                  R"({"retcode":0,"crossDomainUrlList":["https://passport.weibo.com/a","https://evil.test/b"]})")),
              QStringList{QStringLiteral("https://passport.weibo.com/a")});
}

TEST(QrMatrixTest, EncodesTextIntoASquareWithALightOutside)
{
    const QrMatrix matrix = QrMatrix::encode("https://passport.weibo.cn/signin/qrcode/scan?qr=Q1");
    ASSERT_FALSE(matrix.isEmpty());
    EXPECT_EQ((matrix.size() - 17) % 4, 0);  // versions are 21, 25, 29, ... modules wide
    // The finder pattern's corner is dark; the quiet zone is light.
    EXPECT_TRUE(matrix.dark(0, 0));
    EXPECT_FALSE(matrix.dark(-1, 0));
    EXPECT_FALSE(matrix.dark(matrix.size(), 0));
    EXPECT_TRUE(QrMatrix::encode(QByteArray()).isEmpty());
    EXPECT_TRUE(QrMatrix::encode(QByteArray(8000, 'x')).isEmpty());
}

}  // namespace pictrove
