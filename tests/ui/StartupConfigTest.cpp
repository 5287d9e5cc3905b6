// The configuration thread's body against loopback endpoints and a recording
// window: the selector's names, the notice line and the update announcement.

#include "sources/SourceConfigService.h"
#include "support/Fixtures.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "ui/startup/StartupConfig.h"

#include <gtest/gtest.h>

namespace pictrove {

namespace {

QByteArray answerWithVersion(const QByteArray &version)
{
    QByteArray answer = readFixture(QStringLiteral("sources/config-answer.txt"));
    answer.replace("values=15.10.28.01#2015-10-28|", "values=" + version + "|");
    return answer;
}

// What the start-up thread asked of the window, in order.
class RecordingStartupWindow : public StartupWindow {
public:
    void setSourceTypes(const QStringList &names) override
    {
        calls.append(QStringLiteral("setSourceTypes"));
        sourceTypes = names;
    }
    void setNotice(const QString &text) override
    {
        calls.append(QStringLiteral("setNotice"));
        notice = text;
    }
    void showUpdateLink() override
    {
        calls.append(QStringLiteral("showUpdateLink"));
        updateLinkShown = true;
    }
    void showMessage(const QString &text, const QString &caption) override
    {
        calls.append(QStringLiteral("showMessage"));
        messages.append(caption + QStringLiteral(": ") + text);
    }
    void open(const QString &address) override
    {
        calls.append(QStringLiteral("open"));
        opened.append(address);
    }
    void endProgramAfter(int milliseconds) override
    {
        calls.append(QStringLiteral("endProgramAfter"));
        endDelays.append(milliseconds);
    }

    QStringList calls;
    QStringList sourceTypes;
    QString notice;
    bool updateLinkShown = false;
    QStringList messages;
    QStringList opened;
    QList<int> endDelays;
};

struct StartupRun {
    RecordingStartupWindow window;

    explicit StartupRun(const QStringList &endpoints)
    {
        SourceConfigService service(endpoints);
        loadSourceConfig(window, service);
        status = service.statusText();
    }
    QString status;
};

TEST(StartupConfigTest, WithoutAnAnswerTheSelectorKeepsItsNames)
{
    LoopbackServer server;
    const QStringList endpoints = {server.baseUrl() + QStringLiteral("/a"), server.baseUrl() + QStringLiteral("/b"),
                                   server.baseUrl() + QStringLiteral("/c")};
    StartupRun run(endpoints);

    const RecordingStartupWindow &window = run.window;
    // The window filled its selector before asking; MainWindowTest checks that side.
    EXPECT_EQ(window.calls, QStringList{QStringLiteral("setNotice")});
    EXPECT_EQ(run.status, QStringLiteral("\tSrv Info:3_0"));
    EXPECT_EQ(window.notice, QStringLiteral("来源配置\tSrv Info:3_0"));
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_TRUE(window.opened.isEmpty());
    EXPECT_TRUE(window.endDelays.isEmpty());
}

TEST(StartupConfigTest, AnnouncesOnlyANewerVersion)
{
    const struct {
        QByteArray version;
        bool announced;
    } cases[] = {
        {"15.10.28.02#2015-11-02", true},
        {"15.10.28.01#2015-10-28", false},
        {"15.10.28.0#short", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version.constData());
        LoopbackServer server;
        server.route("", "/config", CannedResponse::ok(answerWithVersion(c.version), "text/plain; charset=utf-8"));
        RecordingStartupWindow window;
        SourceConfigService service({server.baseUrl() + QStringLiteral("/config")});
        loadSourceConfig(window, service);

        EXPECT_EQ(window.sourceTypes.size(), 21);
        EXPECT_EQ(window.updateLinkShown, c.announced);
        EXPECT_EQ(window.messages.size(), c.announced ? 1 : 0);
        if (c.announced) {
            EXPECT_TRUE(window.messages.at(0).startsWith(QStringLiteral("提示: "))) << window.messages.at(0).toStdString();
        }
        EXPECT_EQ(window.opened, c.announced ? QStringList{QStringLiteral("https://pictrove.example/download/")}
                                             : QStringList());
        // The program ends 3 s after the page opened.
        EXPECT_EQ(window.endDelays, c.announced ? QList<int>{3000} : QList<int>());
        EXPECT_EQ(window.notice, c.announced ? QString() : QStringLiteral("来源配置\tSrv Info:1_2"));
        const QStringList announcement = {QStringLiteral("showUpdateLink"), QStringLiteral("showMessage"),
                                          QStringLiteral("open"), QStringLiteral("endProgramAfter")};
        EXPECT_EQ(window.calls.mid(1), c.announced ? announcement : QStringList{QStringLiteral("setNotice")});
    }
}

}  // namespace

}  // namespace pictrove
