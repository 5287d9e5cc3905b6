// The configuration service client: request envelope, stored constants, answer
// entries, version check, and the query against loopback endpoints.

#include "sources/SourceConfigService.h"
#include "support/Fixtures.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrlQuery>

namespace pictrove {

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
    EXPECT_EQ(configurationKey(), QStringLiteral("pictrove_4"));
    const QStringList names = builtInSourceTypeNames();
    ASSERT_EQ(names.size(), 21);
    EXPECT_EQ(names.at(4), QStringLiteral("新浪"));
}

TEST(SourceConfigServiceTest, ParsesTheEntryForTheKey)
{
    const QString answer = QString::fromUtf8(readFixture(QStringLiteral("sources/config-answer.txt")));
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
    server.route("", "/cgi/sources", CannedResponse::ok(readFixture(QStringLiteral("sources/config-answer.txt")),
                                                        "text/plain; charset=utf-8")
                                         .withGzip());
    const QStringList endpoints = {server.baseUrl() + QStringLiteral("/v1/sources.txt"),
                                   server.baseUrl() + QStringLiteral("/cgi/sources?app=pictrove"),
                                   server.baseUrl() + QStringLiteral("/third")};
    QTemporaryDir data;
    const QString answerFile = configAnswerFile(data.path() + QLatin1Char('/'));
    SourceConfigService service(endpoints, answerFile);
    QStringList names;
    service.query(configurationKey(), names);

    EXPECT_EQ(names.size(), 21);
    EXPECT_EQ(rememberedSourceTypeNames(answerFile), names);  // for the next start
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

// The kept answer changes only with a usable new one: a start without the service, or
// with a service answering nonsense, keeps the names the last good answer gave.
TEST(SourceConfigServiceTest, OnlyAUsableAnswerReplacesTheKeptOne)
{
    QTemporaryDir data;
    const QString answerFile = configAnswerFile(data.path() + QLatin1Char('/'));
    QByteArray renamed = readFixture(QStringLiteral("sources/config-answer.txt"));
    renamed.replace("|新浪|", "|新浪微博|");

    LoopbackServer server;
    server.route("", "/good", CannedResponse::ok(renamed, "text/plain; charset=utf-8"));
    server.route("", "/nonsense", CannedResponse::ok("<html>parked domain</html>"));
    const struct {
        const char *what;
        const char *path;
        bool answered;
    } cases[] = {
        {"nothing kept yet, no answer", "/missing", false},
        {"a usable answer is kept", "/good", true},
        {"an unusable answer keeps the last", "/nonsense", false},
        {"no answer keeps the last", "/missing", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SourceConfigService service({server.baseUrl() + QLatin1String(c.path)}, answerFile);
        QStringList names;
        service.query(configurationKey(), names);
        EXPECT_EQ(service.answered(), c.answered);
        const QStringList kept = rememberedSourceTypeNames(answerFile);
        if (QFile::exists(answerFile)) {
            ASSERT_EQ(kept.size(), 21);
            EXPECT_EQ(kept.at(4), QStringLiteral("新浪微博"));
        } else {
            EXPECT_TRUE(kept.isEmpty());
        }
    }
    EXPECT_TRUE(QFile::exists(answerFile));
}

}  // namespace pictrove
