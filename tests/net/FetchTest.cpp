// The fetcher against a loopback server: trimming, limits, retries, uploads, time-outs
// and saving to a file.
#include "net/NetworkSetup.h"
#include "net/PageFetcher.h"
#include "support/FileSizeLimit.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <mutex>
#include <vector>

namespace pictrove {

namespace {

class FetchTest : public ::testing::Test {
protected:
    // Failed fetches pause a second before returning; tests that count pauses install
    // their own hook.
    void SetUp() override { setRetryPauseHook([](int) {}); }
    void TearDown() override
    {
        setUploadChunkObserver({});
        setRetryPauseHook({});
    }

    QString url(const char *target) const { return server.baseUrl() + QLatin1String(target); }
    QString savePath(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    LoopbackServer server;
    QTemporaryDir dir;
};

const QByteArray kPage = "<html>head<ul>one</ul><ul>two</ul>tail</html>";

}  // namespace

TEST_F(FetchTest, MarkersTrimOnlyPlainBodiesReceivedIntoMemory)
{
    server.route("", "/plain", CannedResponse::ok(kPage));
    server.route("", "/gzip", CannedResponse::ok(kPage).withGzip());
    // "gzip" only in a cookie value still flags the body: markers are not applied.
    server.route("", "/gzip-in-cookie", CannedResponse::ok(kPage).withCookie("pref=gzip"));

    const struct {
        const char *target;
        bool toFile;
        QByteArray body;  // what the caller gets (in memory or in the file)
        bool gzip;
    } cases[] = {
        {"/plain", false, "two", false},
        {"/gzip", false, gzipBytes(kPage), true},
        {"/gzip-in-cookie", false, kPage, true},
        {"/plain", true, kPage, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.target) + (c.toFile ? " to file" : ""));
        PageRequest request(url(c.target), c.toFile ? savePath("page.html") : QString());
        request.startMarker = "<ul>";
        request.endMarker = "</ul>t";
        PageResponse response;
        ASSERT_TRUE(fetch(request, response));
        EXPECT_EQ(c.toFile ? readFile(request.savePath) : response.body, c.body);
        EXPECT_EQ(response.receivedLength, c.body.size());
        EXPECT_EQ(response.gzip, c.gzip);
        EXPECT_EQ(response.startMarker, "<ul>");
        EXPECT_EQ(response.endMarker, "</ul>t");
        EXPECT_TRUE(response.headers.startsWith("HTTP/1.1 200 OK\r\n"));
        EXPECT_TRUE(response.headers.endsWith("\r\n"));
    }
}

TEST_F(FetchTest, EndMarkerStopsReadingTheRestOfThePage)
{
    // The connection is cut right after the end marker: a fetcher that went on reading
    // would see a short body and fail.
    const QByteArray page = "<ul>wanted</ul>" + QByteArray(50000, 'x');
    server.route("", "/list", CannedResponse::ok(page).withCut(20));
    PageRequest request(url("/list"), QString());
    request.startMarker = "<ul>";
    request.endMarker = "</ul>";
    PageResponse response;
    EXPECT_TRUE(fetchOnce(request, response));
    EXPECT_EQ(response.body, "wanted");
}

TEST_F(FetchTest, SizeLimitsFailBeforeOrWhileReceiving)
{
    const QByteArray body5000(5000, 'b');
    server.route("", "/5000", CannedResponse::ok(body5000));
    server.route("", "/5000-chunked", CannedResponse::ok(body5000).withFraming(CannedResponse::Framing::Chunked, 1000));
    server.route("", "/empty", CannedResponse::ok(QByteArray()));
    server.route("", "/missing", CannedResponse::error(404, "gone"));
    // A page held in memory stops at kMaxPageBytes, whatever the request allows.
    server.route("", "/huge", CannedResponse::ok(QByteArray(kMaxPageBytes + 64 * 1024, 'h'))
                                  .withFraming(CannedResponse::Framing::Chunked, 64 * 1024));
    const struct {
        const char *what;
        const char *target;
        uint32_t minKB;
        uint32_t maxKB;
        bool ok;
        qsizetype received;  // body bytes kept; -1: some, wherever the transfer stopped
        bool outside;        // said to be left out by the limits, not failed
    } cases[] = {
        // Content-Length 5000 < 10 KiB: fails on the head, before any body byte.
        {"announced length below minKB", "/5000", 10, 0, false, 0, true},
        {"announced length above maxKB", "/5000", 0, 4, false, 0, true},
        {"announced length within limits", "/5000", 4, 5, true, 5000, false},
        {"no limits", "/5000", 0, 0, true, 5000, false},
        // Without an announced length the limits are checked on the bytes received.
        {"chunked body above maxKB", "/5000-chunked", 0, 4, false, 5000, true},
        {"chunked body below minKB", "/5000-chunked", 10, 0, false, 5000, true},
        {"empty body without limits", "/empty", 0, 0, true, 0, false},
        // An error answer is no picture left out.
        {"error page below minKB", "/missing", 10, 0, false, 0, false},
        {"page larger than any page is", "/huge", 0, 0, false, -1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        PageRequest request(url(c.target), QString());
        request.minKB = c.minKB;
        request.maxKB = c.maxKB;
        PageResponse response;
        EXPECT_EQ(fetchOnce(request, response), c.ok);
        if (c.received >= 0)
            EXPECT_EQ(response.body.size(), c.received);
        else
            EXPECT_LE(response.body.size(), kMaxPageBytes + 64 * 1024);
        // Only the page limit says the page was cut for its size.
        EXPECT_EQ(response.overPageLimit, c.received < 0);
        EXPECT_EQ(response.outsideSizeLimits, c.outside);
    }
}

TEST_F(FetchTest, RetryLoopPausesOnlyBetweenTries)
{
    std::vector<int> pauses;
    setRetryPauseHook([&pauses](int seconds) { pauses.push_back(seconds); });
    server.route("", "/busy", CannedResponse::ok("please retry later"));
    server.route("", "/empty", CannedResponse::ok(QByteArray()));
    server.route("", "/flaky", LoopbackServer::sequence({CannedResponse::ok("busy"), CannedResponse::ok("album list")}));

    const struct {
        const char *what;
        const char *target;
        uint8_t attempts;
        uint32_t minLength;
        QByteArray retryMarker;
        bool ok;
        int tries;
        std::vector<int> pauses;
    } cases[] = {
        {"marker in both answers", "/busy", 2, 0, "retry", false, 2, {1}},
        {"three rejected tries", "/busy", 3, 0, "retry", false, 3, {1, 1}},
        {"minLength 0 with a marker rejects an empty body", "/empty", 1, 0, "retry", false, 1, {}},
        {"empty body accepted without acceptance test", "/empty", 1, 0, "", true, 1, {}},
        {"body not longer than minLength", "/busy", 1, 18, "", false, 1, {}},
        {"body longer than minLength", "/busy", 1, 17, "", true, 1, {}},
        {"second try accepted", "/flaky", 3, 0, "busy", true, 2, {1}},
        {"no attempts", "/busy", 0, 0, "", false, 0, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        server.clearLog();
        pauses.clear();
        PageRequest request(url(c.target), QString());
        request.attempts = c.attempts;
        request.minLength = c.minLength;
        request.retryMarker = c.retryMarker;
        PageResponse response;
        EXPECT_EQ(fetch(request, response), c.ok);
        EXPECT_EQ(server.requestCount(), c.tries);
        EXPECT_EQ(pauses, c.pauses);
    }
}

TEST_F(FetchTest, AcceptanceTestInflatesGzipOnlyWhenAskedTo)
{
    setRetryPauseHook([](int) {});
    const QByteArray page = "<div>the album list</div>";
    server.route("", "/gz", CannedResponse::ok(page).withGzip());
    PageRequest request(url("/gz"), QString());
    request.retryMarker = "album";  // only visible after inflating
    PageResponse response;
    EXPECT_TRUE(fetch(request, response, 0));
    EXPECT_FALSE(fetch(request, response, kFetchInflateForChecks));
    EXPECT_EQ(response.body, gzipBytes(page));  // the response keeps the compressed bytes
}

TEST_F(FetchTest, RequestBodyGoesUpInPiecesOf1024Bytes)
{
    std::mutex mutex;
    std::vector<qsizetype> pieces;
    setUploadChunkObserver([&](qsizetype size) {
        std::lock_guard lock(mutex);
        pieces.push_back(size);
    });
    server.route("", "/post", CannedResponse::ok("stored"));
    const struct {
        qsizetype size;
        std::vector<qsizetype> pieces;
    } cases[] = {
        {1024, {1024}},
        {1025, {1024, 1}},
        {2500, {1024, 1024, 452}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        pieces.clear();
        server.clearLog();
        PageRequest request(url("/post"), QString());
        request.verb = "POST";
        request.postData = QByteArray(c.size, 'p');
        PageResponse response;
        ASSERT_TRUE(fetch(request, response));
        EXPECT_EQ(pieces, c.pieces);
        const RecordedRequest received = server.requests().value(0);
        EXPECT_EQ(received.method, "POST");
        EXPECT_EQ(received.header("Content-Length"), QByteArray::number(c.size));
        EXPECT_EQ(received.body, request.postData);
    }
}

TEST_F(FetchTest, SilentServerFailsAfterThePhaseTimeout)
{
    // The server would stay silent for a minute; the fetch gives up after about the
    // phase's limit (checked about once a second).
    server.route("", "/stall", CannedResponse::ok(QByteArray(1000, 's')).withStall(100, 60000));
    server.route("", "/late", CannedResponse::ok("late").withLatency(60000));
    const struct {
        const char *what;
        const char *target;
        int32_t timeoutMs;
        int32_t readTimeoutMs;
        QByteArray body;  // what arrived stays
    } cases[] = {
        {"body stalls: readTimeoutMs", "/stall", 20000, 300, QByteArray(100, 's')},
        {"head never comes: timeoutMs", "/late", 300, 20000, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        PageRequest request(url(c.target), QString());
        request.timeoutMs = c.timeoutMs;
        request.readTimeoutMs = c.readTimeoutMs;
        PageResponse response;
        EXPECT_FALSE(fetchOnce(request, response));
        EXPECT_EQ(response.body, c.body);
    }
}

TEST_F(FetchTest, SavedFileAppearsOnlyWhenTheWholeBodyArrived)
{
    const QByteArray picture(300 * 1024, 'j');
    server.route("", "/ok.jpg", CannedResponse::ok(picture, "image/jpeg"));
    server.route("", "/cut.jpg", CannedResponse::ok(picture, "image/jpeg").withCut(100 * 1024));
    server.route("", "/missing.jpg", CannedResponse::error(404, "<html>not found</html>"));
    server.route("", "/redirect.jpg", CannedResponse::redirect("/ok.jpg"));
    server.route("", "/big.jpg", CannedResponse::ok(picture, "image/jpeg").withFraming(CannedResponse::Framing::Chunked, 8192));

    const struct {
        const char *what;
        const char *target;
        uint32_t maxKB;
        bool ok;
        qint64 received;
    } cases[] = {
        {"complete picture", "/ok.jpg", 0, true, picture.size()},
        {"after a redirect", "/redirect.jpg", 0, true, picture.size()},
        {"connection cut mid-body", "/cut.jpg", 0, false, 100 * 1024},
        {"not found", "/missing.jpg", 0, false, 0},
        {"over maxKB while receiving", "/big.jpg", 200, false, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString target = savePath("picture.jpg");
        {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("previous download");
        }
        PageRequest request(url(c.target), target);
        request.maxKB = c.maxKB;
        PageResponse response;
        EXPECT_EQ(fetch(request, response, kFetchInflateForChecks), c.ok);
        EXPECT_TRUE(response.body.isEmpty());
        if (c.received >= 0) {
            EXPECT_EQ(response.receivedLength, c.received);
        }
        // Success replaces the file; failure leaves the old one and no temporary file.
        EXPECT_EQ(readFile(target), c.ok ? picture : QByteArray("previous download"));
        EXPECT_EQ(filesInDir(), QStringList{"picture.jpg"});
    }
}

TEST_F(FetchTest, EmptyBodyIsSavedAsAnEmptyFile)
{
    server.route("", "/empty", CannedResponse::ok(QByteArray()));
    PageRequest request(url("/empty"), savePath("empty.bin"));
    PageResponse response;
    ASSERT_TRUE(fetchOnce(request, response));
    EXPECT_EQ(readFile(request.savePath), QByteArray());
}

// Media expected: a page is refused as soon as its start tells (a large page is not
// received to the end first), and the file under the name stays as it was.
TEST_F(FetchTest, PageInPlaceOfMediaIsRefusedBeforeItEnds)
{
    const QByteArray page = "<!DOCTYPE html><html><body>" + QByteArray(4 * 1024 * 1024, 'x') + "</body></html>";
    server.route("", "/page.jpg", CannedResponse::ok(page).withFraming(CannedResponse::Framing::Chunked, 16 * 1024));
    const QString target = savePath("picture.jpg");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous download");
    }
    PageRequest request(url("/page.jpg"), target);
    request.mediaExpected = true;
    PageResponse response;
    EXPECT_FALSE(fetchOnce(request, response));
    EXPECT_EQ(response.bodyRefusal, BodyRefusal::WebPage);
    EXPECT_LT(response.receivedLength, page.size() / 2);
    EXPECT_EQ(readFile(target), "previous download");
    EXPECT_EQ(filesInDir(), QStringList{"picture.jpg"});
}

// The caller's stop ends an exchange that waits for its answer or for more of its body,
// before any further try, and a stopped caller opens no new exchange.
TEST_F(FetchTest, StopEndsTheExchangeAndItsTries)
{
    server.route("", "/late", CannedResponse::ok("late").withLatency(60000));
    server.route("", "/stall", CannedResponse::ok(QByteArray(1000, 's'), "image/jpeg").withStall(100, 60000));
    const struct {
        const char *what;
        const char *target;
        bool stopAtStart;
        int requests;
    } cases[] = {
        {"stopped before it starts", "/late", true, 0},
        {"waiting for the head", "/late", false, 1},
        {"waiting for the body", "/stall", false, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        server.clearLog();
        // The stop comes once the server has the request; the time limits are far away.
        std::atomic<bool> stop{c.stopAtStart};
        PageRequest request(url(c.target), savePath("picture.jpg"), 60000);
        request.attempts = 3;
        request.stopRequested = [&] {
            if (!stop && server.requestCount() > 0)
                stop = true;
            return stop.load();
        };
        PageResponse response;
        EXPECT_FALSE(fetch(request, response));
        EXPECT_TRUE(response.cancelled);
        EXPECT_EQ(server.requestCount(), c.requests);
        EXPECT_TRUE(filesInDir().isEmpty());
    }
}

// A body the disk cannot hold leaves no file, whether the failing write comes while it
// arrives or only when the last buffered bytes go out before the rename.
TEST_F(FetchTest, BodyTheDiskCannotHoldLeavesNoFile)
{
    for (const qsizetype size : {qsizetype(3000), qsizetype(64 * 1024)}) {
        SCOPED_TRACE(size);
        server.route("", "/p.jpg", CannedResponse::ok(QByteArray(size, 'j'), "image/jpeg"));
        PageRequest request(url("/p.jpg"), savePath("p.jpg"));
        PageResponse response;
        bool ok = true;
        {
            FileSizeLimit limit(2048);
            ASSERT_TRUE(limit.active());
            ok = fetchOnce(request, response);
        }
        EXPECT_FALSE(ok);
        EXPECT_TRUE(response.noSpace);
        EXPECT_TRUE(filesInDir().isEmpty()) << filesInDir().join(u' ').toStdString();
    }
}

TEST_F(FetchTest, UnwritableSavePathFails)
{
    server.route("", "/ok", CannedResponse::ok("data"));
    PageRequest request(url("/ok"), savePath("no-such-folder/file.jpg"));
    PageResponse response;
    EXPECT_FALSE(fetchOnce(request, response));
}

TEST_F(FetchTest, HeadersAreKeptWhenALaterExchangeFailsEarly)
{
    server.route("", "/page", CannedResponse::ok("x").withHeader("X-Mark", "first"));
    PageRequest request(url("/page"), QString());
    PageResponse response;
    ASSERT_TRUE(fetchOnce(request, response));
    const QString head = response.headers;
    EXPECT_TRUE(head.contains("X-Mark: first\r\n"));

    request.url = "not an address";
    EXPECT_FALSE(fetchOnce(request, response));
    EXPECT_EQ(response.headers, head);
}

}  // namespace pictrove
