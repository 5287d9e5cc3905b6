#pragma once
// A small HTTP/1.1 server on 127.0.0.1 (port 0) that impersonates the photo services in
// tests and benchmarks. Plain HTTP or TLS with the test certificate
// (tests/fixtures/tls/: valid for localhost, 127.0.0.1, weibo.com, weibo.cn, sina.com.cn,
// sinaimg.cn, sina.cn and their subdomains, example.test).
//
// Typical use, with real host names routed to it (see ScopedRouting.h):
//
//     LoopbackServer server;                                  // or {LoopbackServer::Https}
//     server.route("photo.weibo.com", "/albums", CannedResponse::ok(readFixture("albums.json")));
//     server.route("", "/redirect", CannedResponse::redirect("/albums").withCookie("SUB=1; Path=/"));
//     ScopedRouting routing(server, {"photo.weibo.com"});
//     ... fetch("http://photo.weibo.com/albums?page=1") ...
//     EXPECT_EQ(server.requests().at(0).header("Cookie"), "SUB=1");
//
// Routes: `host` is compared with the Host header (port and case ignored; "" matches
// any host). A `target` containing "?" must equal the request target (path and query);
// one without "?" matches the path whatever the query. Exact targets win over paths,
// named hosts over "", and a later route with the same host and target replaces the
// earlier one. Unrouted requests get a 404.
//
// Each connection runs on its own thread; handlers may run concurrently and must be
// thread-safe. Everything received is logged (requests()). Stalls and latencies wait
// interruptibly: destroying the server closes every connection and joins every thread
// promptly, whatever the responses were doing. The constructor sets SIGPIPE to ignored
// for the process (a client that gives up must not kill the test).

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

namespace pictrove {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// A request as the server received it.
struct RecordedRequest {
    QByteArray method;   // "GET"
    QByteArray target;   // "/path?query", as sent
    QByteArray version;  // "HTTP/1.1"
    HeaderList headers;  // in order, names as sent, values trimmed
    QByteArray body;     // decoded when sent chunked
    int connection = 0;  // 1, 2, ... in accept order: equal numbers = a reused connection

    // First header of that name (case-insensitive); empty when absent.
    QByteArray header(const QByteArray &name) const;
    // Every value of that header, e.g. "Cookie" twice.
    QList<QByteArray> headerValues(const QByteArray &name) const;
    QByteArray host() const;  // Host header without port, lower case
    QByteArray path() const;  // target before "?"
    QByteArray query() const; // target after "?", empty when none
};

// What to answer. Build with the helpers and chain the with... calls.
struct CannedResponse {
    enum class Framing { ContentLength, Chunked, CloseDelimited };

    int status = 200;
    QByteArray reason;   // empty: the usual phrase for status
    HeaderList headers;  // sent as given; a Content-Length here replaces the real one
    QByteArray body;
    Framing framing = Framing::ContentLength;
    qsizetype chunkSize = 4096;  // Chunked: bytes per chunk
    bool gzipBody = false;       // send body gzip-compressed with "Content-Encoding: gzip"
    int latencyMs = 0;           // wait before the head
    qsizetype stallAfter = -1;   // after this many body bytes (as sent) ...
    int stallMs = 0;             // ... wait this long before the rest
    qsizetype cutAfter = -1;     // after this many body bytes close the connection
    bool closeConnection = false;  // "Connection: close" and close after this answer

    static CannedResponse ok(const QByteArray &body,
                             const QByteArray &contentType = "text/html; charset=utf-8");
    static CannedResponse redirect(const QByteArray &location, int status = 302);
    static CannedResponse error(int status, const QByteArray &body = QByteArray());

    CannedResponse &withHeader(const QByteArray &name, const QByteArray &value);
    // Adds "Set-Cookie: <cookie>", e.g. "SUB=abc; Path=/; Domain=.weibo.com".
    CannedResponse &withCookie(const QByteArray &cookie);
    CannedResponse &withFraming(Framing f, qsizetype chunk = 4096);
    CannedResponse &withGzip();
    CannedResponse &withLatency(int ms);
    CannedResponse &withStall(qsizetype afterBytes, int ms);
    CannedResponse &withCut(qsizetype afterBytes);
};

class LoopbackServer {
public:
    enum Scheme { Http, Https };
    using Handler = std::function<CannedResponse(const RecordedRequest &)>;

    explicit LoopbackServer(Scheme scheme = Http);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    quint16 port() const;
    bool isTls() const;
    // "http://127.0.0.1:PORT" or "https://localhost:PORT" (the certificate names localhost).
    QString baseUrl() const;
    // A CONNECT_TO entry sending `host`:`realPort` here; realPort 0 means 443 for an
    // https server and 80 otherwise: "weibo.com:443:127.0.0.1:41234".
    QString connectToEntry(const QString &host, int realPort = 0) const;
    // The certificate authority that signed the test certificate (for setCaFile).
    static QString caFile();

    void route(const QByteArray &host, const QByteArray &target, const CannedResponse &response);
    void route(const QByteArray &host, const QByteArray &target, Handler handler);
    // Answers in order, then keeps repeating the last one.
    static Handler sequence(QList<CannedResponse> responses);

    QList<RecordedRequest> requests() const;
    int requestCount() const;
    int connectionCount() const;  // connections accepted so far
    void clearLog();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// gzip-compresses `data` (for bodies that are gzip on the wire and for fixtures).
QByteArray gzipBytes(const QByteArray &data);

}  // namespace pictrove
