// The configuration service client: request envelope, answer entries, version check,
// and the start-up thread body against loopback endpoints and a recording window.

#include "sources/SourceConfigService.h"
#include "support/Fixtures.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"
#include "ui/StartupConfig.h"

#include <gtest/gtest.h>

#include <QUrlQuery>

#include <optional>

namespace pictrove {

namespace {

QByteArray answerWithVersion(const QByteArray &version)
{
    QByteArray answer = readFixture(QStringLiteral("ui/config-answer.txt"));
    answer.replace("values=15.10.28.01#2015-10-28|", "values=" + version + "|");
    return answer;
}

// What the start-up thread asked of the window, in order.
class RecordingStartupWindow : public StartupWindow {
public:
    void configLoaded() override
    {
        calls.append(QStringLiteral("configLoaded"));
        loadedBeforeFill = int(sourceTypes.size());
    }
    void setSourceTypes(const QStringList &names, SourceType chosen) override
    {
        calls.append(QStringLiteral("setSourceTypes"));
        sourceTypes = names;
        chosenType = chosen;
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
    int loadedBeforeFill = -1;
    QStringList sourceTypes;
    std::optional<SourceType> chosenType;
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

TEST(SourceConfigServiceTest, RequestEnvelope)
{
    const struct {
        const char *endpoint;
        const char *url;
    } cases[] = {
        {"https://config.pictrove.example/v1/sources.txt",
         "https://config.pictrove.example/v1/sources.txt?f=T&t=0.5\n"},
        {"https://config-b.pictrove.example/cgi/sources?app=pictrove",
         "https://config-b.pictrove.example/cgi/sources?app=pictrove&f=T&t=0.5\n"},
        // A "?" at the very start is no query string.
        {"?x", "?x?f=T&t=0.5\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.endpoint);
        EXPECT_EQ(configRequestUrl(QString::fromLatin1(c.endpoint), QStringLiteral("0.5\n")),
                  QString::fromLatin1(c.url));
    }
}

TEST(SourceConfigServiceTest, StoredConstantsDecode)
{
    EXPECT_EQ(SourceConfigService().endpoints(),
              QStringList({QStringLiteral("https://config.pictrove.example/v1/sources.txt"),
                           QStringLiteral("https://config-b.pictrove.example/cgi/sources?app=pictrove"),
                           QStringLiteral("https://mirror.pictrove.example/pictrove/sources.txt")}));
    EXPECT_EQ(configurationKey(), QStringLiteral("pictrove_4"));
    const QStringList names = builtInSourceTypeNames();
    ASSERT_EQ(names.size(), 21);
    EXPECT_EQ(names.at(4), QStringLiteral("新浪"));
}

TEST(SourceConfigServiceTest, ParsesTheEntryForTheKey)
{
    const QString answer = QString::fromUtf8(readFixture(QStringLiteral("ui/config-answer.txt")));
    QString truncated = answer;
    truncated.chop(QStringLiteral("[/entry]\n").size());
    QString crlf = answer;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QString noNames = answer;
    noNames.replace(QStringLiteral("names=QQ空间|百度|网易|人人|新浪|"), QStringLiteral("names=\nx="));

    const struct {
        const char *what;
        QString answer;
        QString key;
        int entry;
        int nameCount;
        QString version;
    } cases[] = {
        {"second entry", answer, QStringLiteral("pictrove_4"), 2, 21, QStringLiteral("15.10.28.01#2015-10-28")},
        {"first entry", answer, QStringLiteral("pictrove-beta_4"), 1, 5, QStringLiteral("16.01.01.01#beta")},
        {"CR LF lines", crlf, QStringLiteral("pictrove_4"), 2, 21, QStringLiteral("15.10.28.01#2015-10-28")},
        {"unknown key", answer, QStringLiteral("other_4"), 0, 0, QString()},
        {"cut before the close marker", truncated, QStringLiteral("pictrove_4"), 0, 0, QString()},
        {"no names", noNames, QStringLiteral("pictrove_4"), 0, 0, QString()},
        {"not an answer", QStringLiteral("<html>404</html>"), QStringLiteral("pictrove_4"), 0, 0, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QStringList names;
        QStringList values;
        EXPECT_EQ(parseConfigAnswer(c.answer, c.key, names, values), c.entry);
        EXPECT_EQ(names.size(), c.nameCount);
        EXPECT_EQ(ServiceValues(values).item(0), c.version);
        if (c.entry == 2) {
            EXPECT_EQ(names.at(4), QStringLiteral("新浪"));
            EXPECT_EQ(values.size(), 7);
            EXPECT_EQ(values.at(1), QStringLiteral("https://pictrove.example/download/"));
        }
    }
}

TEST(SourceConfigServiceTest, ComparesVersionsAsText)
{
    const struct {
        const char *service;
        bool newer;
    } cases[] = {
        {"15.10.28.02#2015-11-02", true},
        {"15.10.28.02", true},
        {"16.01.01.01", true},
        {"15.10.28.01#2099-01-01", false},
        {"15.10.28.01", false},
        {"15.10.28.0", false},  // shorter but otherwise equal
        {"15.10.28.00", false},
        {"", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.service);
        EXPECT_EQ(isNewerVersion(QString::fromLatin1(c.service)), c.newer);
    }
}

TEST(SourceConfigServiceTest, SecondEndpointAnswersWhenTheFirstFails)
{
    LoopbackServer server;
    server.route("", "/v1/sources.txt", CannedResponse::error(404, "<html>not here</html>"));
    server.route("", "/cgi/sources", CannedResponse::ok(readFixture(QStringLiteral("ui/config-answer.txt")),
                                                        "text/plain; charset=utf-8")
                                         .withGzip());
    const QStringList endpoints = {server.baseUrl() + QStringLiteral("/v1/sources.txt"),
                                   server.baseUrl() + QStringLiteral("/cgi/sources?app=pictrove"),
                                   server.baseUrl() + QStringLiteral("/third")};
    SourceConfigService service(endpoints);
    QStringList names;
    service.query(configurationKey(), names);

    EXPECT_EQ(names.size(), 21);
    EXPECT_EQ(service.endpointNumber(), 2);
    EXPECT_EQ(service.entryNumber(), 2);
    EXPECT_EQ(service.statusText(), QStringLiteral("\tSrv Info:2_2"));
    EXPECT_EQ(service.value(1), QStringLiteral("https://pictrove.example/download/"));

    const QList<RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);  // the third endpoint is never asked
    EXPECT_EQ(requests.at(0).query().left(8), QByteArray("f=T&t=0."));
    const RecordedRequest &second = requests.at(1);
    EXPECT_EQ(second.path(), QByteArray("/cgi/sources"));
    const QUrlQuery query(QString::fromLatin1(second.query()));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("app")), QStringLiteral("pictrove"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("f")), QStringLiteral("T"));
    EXPECT_TRUE(second.query().endsWith("%0A")) << second.query().constData();
    EXPECT_EQ(second.header("Referer"), QByteArray("."));
    EXPECT_EQ(second.header("Accept-Encoding"), QByteArray("gzip, deflate"));
}

TEST(SourceConfigServiceTest, StartupWithoutAnswerUsesBuiltInNames)
{
    LoopbackServer server;
    const QStringList endpoints = {server.baseUrl() + QStringLiteral("/a"), server.baseUrl() + QStringLiteral("/b"),
                                   server.baseUrl() + QStringLiteral("/c")};
    StartupRun run(endpoints);

    const RecordingStartupWindow &window = run.window;
    // Filling the selector also makes the window ready and the lists run as Sina;
    // MainWindowTest checks the window's side.
    EXPECT_EQ(window.calls, (QStringList{QStringLiteral("configLoaded"), QStringLiteral("setSourceTypes"),
                                         QStringLiteral("setNotice")}));
    EXPECT_EQ(window.sourceTypes, builtInSourceTypeNames());
    EXPECT_EQ(window.chosenType, SourceType::Sina);
    EXPECT_EQ(run.status, QStringLiteral("\tSrv Info:3_0"));
    EXPECT_EQ(window.notice, QStringLiteral("来源配置\tSrv Info:3_0"));
    EXPECT_TRUE(window.messages.isEmpty());
    EXPECT_TRUE(window.opened.isEmpty());
    EXPECT_TRUE(window.endDelays.isEmpty());
}

TEST(SourceConfigServiceTest, AnnouncesOnlyANewerVersion)
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

        EXPECT_EQ(window.loadedBeforeFill, 0);  // the window hears of the answer before the selector fills
        EXPECT_EQ(window.sourceTypes.size(), 21);
        EXPECT_EQ(window.chosenType, SourceType::Sina);
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
        EXPECT_EQ(window.calls.mid(2), c.announced ? announcement : QStringList{QStringLiteral("setNotice")});
    }
}

}  // namespace

}  // namespace pictrove
