// The cookie store: cookies travelling with fetches (also across redirects), getCookies,
// saving and loading, importing a browser's file.
#include "net/CookieStore.h"
#include "net/NetscapeCookies.h"
#include "net/PageFetcher.h"
#include "support/Fixtures.h"
#include "support/LoopbackServer.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <thread>

#include <sys/stat.h>

namespace pictrove {

namespace {

class CookieStoreTest : public ::testing::Test {
protected:
    void SetUp() override { CookieStore::process().clear(); }
    void TearDown() override { CookieStore::process().clear(); }
};

QString valueOf(const QList<CookieFields> &cookies, const QString &name)
{
    for (const CookieFields &c : cookies)
        if (c.name == name)
            return c.value;
    return QStringLiteral("(none)");
}

// File times come from a coarse kernel clock: steps meant to be "later" wait past it.
void letTimePass()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

QStringList namesOf(QList<CookieFields> cookies)
{
    std::sort(cookies.begin(), cookies.end(),
              [](const CookieFields &a, const CookieFields &b) { return a.name < b.name; });
    QStringList names;
    for (const CookieFields &c : cookies)
        names.append(c.name);
    return names;
}

}  // namespace

TEST_F(CookieStoreTest, CookieSetOnARedirectHopTravelsWithTheNextRequest)
{
    LoopbackServer server;
    server.route("weibo.com", "/login",
                 CannedResponse::redirect("http://photo.weibo.com/home").withCookie("SUB=token; Domain=.weibo.com; Path=/"));
    server.route("photo.weibo.com", "/home", CannedResponse::ok("welcome"));
    ScopedRouting routing(server, {"weibo.com", "photo.weibo.com"});

    PageRequest request("http://weibo.com/login", QString());
    PageResponse response;
    ASSERT_TRUE(fetch(request, response));
    EXPECT_EQ(response.body, "welcome");
    EXPECT_FALSE(response.headers.contains("Location"));  // the final head only

    const QList<RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1].host(), "photo.weibo.com");
    EXPECT_EQ(requests[1].header("Cookie"), "SUB=token");
}

TEST_F(CookieStoreTest, GetCookiesAnswersWhatWouldBeSent)
{
    LoopbackServer server(LoopbackServer::Https);
    server.route("photo.weibo.com", "/set",
                 CannedResponse::ok("ok")
                     .withCookie("plain=1; Domain=weibo.com; Path=/")
                     .withCookie("safe=2; Domain=weibo.com; Path=/; Secure")
                     .withCookie("deep=3; Path=/albums")
                     .withCookie("gone=4; Path=/; Max-Age=0"));
    ScopedRouting routing(server, {"photo.weibo.com"});
    PageRequest request("https://photo.weibo.com/set", QString());
    PageResponse response;
    ASSERT_TRUE(fetch(request, response));

    const struct {
        const char *url;
        const char *cookies;
    } cases[] = {
        {"https://photo.weibo.com/albums/1", "deep=3; plain=1; safe=2"},
        {"https://weibo.com/", "plain=1; safe=2"},
        // A Secure cookie never goes over plain http, not even in a hand-made header.
        {"http://photo.weibo.com/", "plain=1"},
        {"https://photo.weibo.com/albumsX", "plain=1; safe=2"},
        {"http://sina.com.cn/", ""},
        {"not an address", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(getCookies(c.url), c.cookies);
    }
}

// A store that opens a new file after another keeps nothing of the old file's state:
// saving the same cookie into the new file must not read as "the file deleted it".
TEST_F(CookieStoreTest, ANewFileOpenedAfterAnotherKeepsTheCookiesSavedIntoIt)
{
    QTemporaryDir dir;
    const qint64 future = QDateTime::currentSecsSinceEpoch() + 3600;
    const CookieFields login{.domain = ".weibo.com", .name = "SUB", .value = "same", .expiry = future};
    CookieStore store;
    ASSERT_EQ(store.open(dir.filePath("first.txt")), CookieFileStatus::Opened);
    ASSERT_TRUE(store.addCookie(login));
    ASSERT_TRUE(store.save());

    ASSERT_EQ(store.open(dir.filePath("second.txt")), CookieFileStatus::Opened);
    store.clear();
    ASSERT_TRUE(store.addCookie(login));
    ASSERT_TRUE(store.save());
    EXPECT_EQ(valueOf(store.cookies(), "SUB"), "same");
    CookieStore reader;
    ASSERT_EQ(reader.open(dir.filePath("second.txt")), CookieFileStatus::Opened);
    EXPECT_EQ(valueOf(reader.cookies(), "SUB"), "same");
}

TEST_F(CookieStoreTest, SavedStoreLoadsIntoAnotherStore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cookies.txt");
    const qint64 future = QDateTime::currentSecsSinceEpoch() + 3600;
    const QList<CookieFields> kept = {
        {.domain = ".weibo.com", .name = "SUB", .value = "a b", .httpOnly = true, .expiry = future},
        {.domain = "photo.weibo.com", .path = "/albums", .name = "view", .value = "grid", .secure = true, .hostOnly = true},
        {.domain = "blog.sina.com.cn", .name = "empty"},
    };
    {
        CookieStore first;
        ASSERT_EQ(first.open(path), CookieFileStatus::Opened);
        for (const CookieFields &c : kept)
            ASSERT_TRUE(first.addCookie(c));
        ASSERT_TRUE(first.addCookie({.domain = "weibo.com", .name = "old", .value = "x", .expiry = 946684800}));
        ASSERT_TRUE(first.save());
    }
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    CookieStore second;
    ASSERT_EQ(second.open(path), CookieFileStatus::Opened);
    const QList<CookieFields> loaded = second.cookies();
    ASSERT_EQ(namesOf(loaded), QStringList({"SUB", "empty", "view"}));
    for (const CookieFields &want : kept) {
        SCOPED_TRACE(want.name.toStdString());
        const auto it = std::find_if(loaded.begin(), loaded.end(),
                                     [&](const CookieFields &c) { return c.name == want.name; });
        ASSERT_NE(it, loaded.end());
        EXPECT_EQ(QStringLiteral(".") + it->domain, want.domain.startsWith('.') ? want.domain : "." + want.domain);
        EXPECT_EQ(it->path, want.path);
        EXPECT_EQ(it->value, want.value);
        EXPECT_EQ(it->secure, want.secure);
        EXPECT_EQ(it->httpOnly, want.httpOnly);
        EXPECT_EQ(it->hostOnly, want.hostOnly);
        EXPECT_EQ(it->expiry, want.expiry);
    }
    // The store of fetches is a different one.
    EXPECT_EQ(getCookies("http://weibo.com/"), "");
}

TEST_F(CookieStoreTest, ImportedBrowserFileTravelsWithFetches)
{
    CookieStore &store = CookieStore::process();
    EXPECT_EQ(store.importFile(fixturePath("net/cookies.txt")), 4);  // the expired one is left out
    EXPECT_EQ(store.importFile(fixturePath("net/no-such-file.txt")), -1);

    LoopbackServer server;
    server.route("photo.weibo.com", "/albums/list", CannedResponse::ok("list"));
    ScopedRouting routing(server, {"photo.weibo.com"});
    PageRequest request("http://photo.weibo.com/albums/list", QString());
    PageResponse response;
    ASSERT_TRUE(fetch(request, response));
    // SUBP is Secure and this is plain http.
    EXPECT_EQ(server.requests().value(0).header("Cookie"), "view=grid; SUB=_2A25login");
    EXPECT_EQ(getCookies("https://weibo.com/"), "SUB=_2A25login; SUBP=secret");
    EXPECT_EQ(getCookies("http://blog.sina.com.cn/u/1"), "empty=");

    // A caller repeating the store's cookies in its own header sends each cookie once,
    // and its own cookies in the same Cookie header as the store's.
    const struct {
        QString ownLine;
        QList<QByteArray> received;
    } cases[] = {
        {"cookie: " + getCookies("http://weibo.com/"), {"view=grid; SUB=_2A25login"}},
        {"cookie: " + getCookies("http://weibo.com/") + "; own=1", {"view=grid; SUB=_2A25login; own=1"}},
        {"cookie: own=1\r\nCookie: other=2", {"view=grid; SUB=_2A25login; own=1; other=2"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ownLine.toStdString());
        server.clearLog();
        request.headers = "Accept-Encoding: gzip, deflate\r\n" + c.ownLine;
        ASSERT_TRUE(fetch(request, response));
        EXPECT_EQ(server.requests().value(0).headerValues("Cookie"), c.received);
    }
}

// A device that never ends (or a huge file) is refused after a bounded read.
TEST_F(CookieStoreTest, ImportRefusesMissingAndEndlessFiles)
{
    CookieStore store;
    EXPECT_EQ(store.importFile(QStringLiteral("/nonexistent/cookies.txt")), -1);
    EXPECT_EQ(store.importFile(QStringLiteral("/dev/zero")), -1);
    EXPECT_TRUE(store.cookies().isEmpty());
}

TEST_F(CookieStoreTest, AddCookieRejectsFieldsThatCannotTravel)
{
    CookieStore store;
    const struct {
        const char *what;
        CookieFields cookie;
        bool ok;
    } cases[] = {
        {"ordinary", {.domain = "weibo.com", .name = "a", .value = "1"}, true},
        {"no domain", {.name = "a", .value = "1"}, false},
        {"no name", {.domain = "weibo.com", .value = "1"}, false},
        {"line feed in value", {.domain = "weibo.com", .name = "a", .value = "1\nweibo.com\tTRUE"}, false},
        {"tab in name", {.domain = "weibo.com", .name = "a\tb", .value = "1"}, false},
        {"semicolon in value", {.domain = "weibo.com", .name = "a", .value = "1; b=2"}, false},
        {"relative path", {.domain = "weibo.com", .path = "albums", .name = "a"}, false},
        // Written as a comment line, it would be gone at the next load.
        {"domain starting with #", {.domain = "#weibo.com", .name = "a", .value = "1"}, false},
        // Longer than libcurl takes: refused instead of silently dropped on the way.
        {"value too long to send", {.domain = "weibo.com", .name = "a", .value = QString(kMaxCookieBytes, 'v')}, false},
        {"longest value", {.domain = "weibo.com", .name = "a", .value = QString(kMaxCookieBytes - 1, 'v')}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(store.addCookie(c.cookie), c.ok);
    }
    EXPECT_EQ(namesOf(store.cookies()), QStringList{"a"});
    // An expired cookie deletes the one it replaces.
    EXPECT_TRUE(store.addCookie({.domain = "weibo.com", .name = "a", .value = "1", .expiry = 1}));
    EXPECT_TRUE(store.cookies().isEmpty());
}

// Two processes on one data folder, each with its own store of the same file: a save
// keeps what the other changed since, and a cookie both changed keeps the later change.
TEST_F(CookieStoreTest, SaveMergesWithWhatAnotherProcessSaved)
{
    const CookieFields oldLogin{.domain = ".weibo.com", .name = "SUB", .value = "old"};
    const CookieFields newLogin{.domain = ".weibo.com", .name = "SUB", .value = "new"};
    const CookieFields mine{.domain = ".weibo.com", .name = "SUB", .value = "mine"};
    const CookieFields loggedOut{.domain = ".weibo.com", .name = "SUB", .value = "old", .expiry = 1};
    const CookieFields unrelated{.domain = "blog.sina.com.cn", .name = "view", .value = "grid"};
    enum Step { OtherSets, OtherLogsOut, FirstSets, FirstSetsUnrelated };
    const struct {
        const char *what;
        QList<Step> steps;  // in order; each with a pause between
        QString expected;   // SUB in the file and in the first store after its save
    } cases[] = {
        {"a new login saved by the other survives", {OtherSets, FirstSetsUnrelated}, "new"},
        {"a logout saved by the other survives", {OtherLogsOut, FirstSetsUnrelated}, "(none)"},
        {"both changed: the first's later change wins", {OtherSets, FirstSets}, "mine"},
        {"both changed: the other's later save wins", {FirstSets, OtherSets}, "new"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("cookies.txt");
        {
            CookieStore seed;
            ASSERT_EQ(seed.open(path), CookieFileStatus::Opened);
            ASSERT_TRUE(seed.addCookie(oldLogin));
            ASSERT_TRUE(seed.save());
        }
        CookieStore first;
        CookieStore other;
        ASSERT_EQ(first.open(path), CookieFileStatus::Opened);
        ASSERT_EQ(other.open(path), CookieFileStatus::Opened);
        for (Step step : c.steps) {
            letTimePass();
            switch (step) {
            case OtherSets: ASSERT_TRUE(other.addCookie(newLogin)); ASSERT_TRUE(other.save()); break;
            case OtherLogsOut: ASSERT_TRUE(other.addCookie(loggedOut)); ASSERT_TRUE(other.save()); break;
            case FirstSets: ASSERT_TRUE(first.addCookie(mine)); break;
            case FirstSetsUnrelated: ASSERT_TRUE(first.addCookie(unrelated)); break;
            }
        }
        letTimePass();
        ASSERT_TRUE(first.save());
        EXPECT_EQ(valueOf(first.cookies(), "SUB"), c.expected);
        CookieStore reader;
        ASSERT_EQ(reader.open(path), CookieFileStatus::Opened);
        EXPECT_EQ(valueOf(reader.cookies(), "SUB"), c.expected);
        if (c.steps.contains(FirstSetsUnrelated)) {
            EXPECT_EQ(valueOf(reader.cookies(), "view"), "grid");
        }
    }
}

// Saves of two processes at the same moment: the lock keeps each merge whole, so no
// cookie either one added is lost.
TEST_F(CookieStoreTest, ConcurrentSavesLoseNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cookies.txt");
    constexpr int kEach = 25;
    auto addAndSave = [&](const QString &prefix) {
        CookieStore store;
        ASSERT_EQ(store.open(path), CookieFileStatus::Opened);
        for (int i = 0; i < kEach; ++i) {
            ASSERT_TRUE(store.addCookie({.domain = "weibo.com", .name = prefix + QString::number(i), .value = "1"}));
            ASSERT_TRUE(store.save());
        }
    };
    std::thread a(addAndSave, QStringLiteral("a"));
    std::thread b(addAndSave, QStringLiteral("b"));
    a.join();
    b.join();
    CookieStore reader;
    ASSERT_EQ(reader.open(path), CookieFileStatus::Opened);
    EXPECT_EQ(reader.cookies().size(), 2 * kEach);
}

// A cookie file that cannot be read may hold logins this store never saw: it is kept
// byte for byte, whether it was too large at the start or grew past the cap while a
// store had it open.
TEST_F(CookieStoreTest, FileThatCannotBeReadIsNeverWrittenOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cookies.txt");
    const QByteArray login = ".weibo.com\tTRUE\t/\tFALSE\t0\tSUB\tlogin\n";
    const QByteArray oversized = login + QByteArray(CookieStore::kMaxCookieFileBytes, '#');
    const auto write = [&](const QByteArray &content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    };
    const auto read = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    };
    const CookieFields newLogin{.domain = "weibo.com", .name = "SUBP", .value = "new"};

    write(oversized);
    {
        CookieStore store;
        EXPECT_EQ(store.open(path), CookieFileStatus::TooLarge);
        ASSERT_TRUE(store.addCookie(newLogin));
        store.save();
    }
    EXPECT_TRUE(read() == oversized);

    write(login);
    CookieStore store;
    ASSERT_EQ(store.open(path), CookieFileStatus::Opened);
    ASSERT_TRUE(store.addCookie(newLogin));
    write(oversized);
    EXPECT_FALSE(store.save());
    EXPECT_TRUE(read() == oversized);
}

// A browser export with a cookie longer than the HTTP stack sends: that cookie is
// refused, the others still travel, and the request's own header lines stay whole.
TEST_F(CookieStoreTest, TooLongImportedCookieIsRefusedAndHeadersStayWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("export.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(".sina.com.cn\tTRUE\t/\tFALSE\t0\tbig\t" + QByteArray(10 * 1024, 'x') + "\n"
               ".sina.com.cn\tTRUE\t/\tFALSE\t0\tSUB\tlogin\n");
    file.close();
    EXPECT_EQ(CookieStore::process().importFile(path), 1);

    LoopbackServer server;
    server.route("blog.sina.com.cn", "/s/articlelist_1_0_1.html", CannedResponse::ok("list"));
    ScopedRouting routing(server, {"blog.sina.com.cn"});
    PageRequest request("http://blog.sina.com.cn/s/articlelist_1_0_1.html", QString());
    request.headers = "Accept-Encoding: gzip, deflate\r\nReferer: http://blog.sina.com.cn/";
    PageResponse response;
    ASSERT_TRUE(fetch(request, response));
    const auto sent = server.requests().value(0);
    EXPECT_EQ(sent.headerValues("Cookie"), QList<QByteArray>{"SUB=login"});
    EXPECT_EQ(sent.header("Accept-Encoding"), "gzip, deflate");
    EXPECT_EQ(sent.header("Referer"), "http://blog.sina.com.cn/");
}

}  // namespace pictrove
