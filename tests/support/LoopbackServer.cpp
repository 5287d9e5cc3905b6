// The loopback server's sockets and threads: one accepting thread, one thread per
// connection, and a stop protocol that wakes everything that waits.
#include "support/LoopbackServer.h"

#include "support/Fixtures.h"
#include "support/LoopbackConnection.h"

#include <QList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pictrove {

namespace {

constexpr qsizetype kMaxHead = 1024 * 1024;
constexpr qsizetype kMaxBody = 64 * 1024 * 1024;
constexpr qsizetype kWritePiece = 64 * 1024;

QByteArray reasonFor(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

bool hasHeader(const HeaderList &headers, const QByteArray &name)
{
    return std::any_of(headers.begin(), headers.end(), [&](const auto &h) {
        return h.first.compare(name, Qt::CaseInsensitive) == 0;
    });
}

struct Route {
    QByteArray host;    // lower case, "" = any
    QByteArray target;
    bool exact = false; // target has a query part
    LoopbackServer::Handler handler;
};

struct Connection {
    int fd = -1;
    int id = 0;
    std::thread thread;
    std::atomic<bool> done{false};
};

}  // namespace

struct LoopbackServer::Private {
    bool tls = false;
    SSL_CTX *tlsContext = nullptr;
    int listenFd = -1;
    int wake[2] = {-1, -1};
    quint16 port = 0;
    std::thread acceptThread;

    std::mutex stopMutex;
    std::condition_variable stopCv;
    bool stopping = false;  // under stopMutex

    std::vector<std::unique_ptr<Connection>> connections;  // accept thread only, until joined
    std::atomic<int> accepted{0};

    mutable std::mutex routesMutex;
    std::vector<Route> routes;

    mutable std::mutex logMutex;
    QList<RecordedRequest> log;

    bool isStopping()
    {
        std::lock_guard lock(stopMutex);
        return stopping;
    }

    // False when the server is stopping: the caller gives up on the connection.
    bool waitFor(int ms)
    {
        std::unique_lock lock(stopMutex);
        return !stopCv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }

    Handler handlerFor(const RecordedRequest &request) const
    {
        std::lock_guard lock(routesMutex);
        const Route *best = nullptr;
        int bestScore = -1;
        for (const Route &route : routes) {
            if (!route.host.isEmpty() && route.host != request.host())
                continue;
            if (route.exact ? route.target != request.target : route.target != request.path())
                continue;
            const int score = (route.exact ? 2 : 0) + (route.host.isEmpty() ? 0 : 1);
            if (score >= bestScore) {  // later routes win ties
                best = &route;
                bestScore = score;
            }
        }
        return best ? best->handler : Handler();
    }

    void acceptLoop();
    void runConnection(Connection *connection);
    bool readRequest(LoopbackConnection &conn, QByteArray &buffer, RecordedRequest &request);
    bool readChunkedBody(LoopbackConnection &conn, QByteArray &buffer, QByteArray &body);
    bool serve(LoopbackConnection &conn, const CannedResponse &response, bool closeAfter,
               bool headOnly);
};

void LoopbackServer::Private::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (isStopping())
            break;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        // Head and body go out in separate writes; Nagle would hold the second one back
        // for the client's delayed acknowledgement.
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

        // Reap connections that ended, so long runs do not pile up threads.
        for (auto it = connections.begin(); it != connections.end();) {
            if ((*it)->done.load()) {
                (*it)->thread.join();
                ::close((*it)->fd);
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        connection->id = ++accepted;
        Connection *raw = connection.get();
        connections.push_back(std::move(connection));
        raw->thread = std::thread([this, raw] { runConnection(raw); });
    }
}

void LoopbackServer::Private::runConnection(Connection *connection)
{
    LoopbackConnection conn(connection->fd, tls ? tlsContext : nullptr);
    if (conn.handshake()) {
        QByteArray buffer;
        for (;;) {
            RecordedRequest request;
            if (!readRequest(conn, buffer, request))
                break;
            request.connection = connection->id;
            {
                std::lock_guard lock(logMutex);
                log.append(request);
            }
            const Handler handler = handlerFor(request);
            const CannedResponse response =
                handler ? handler(request) : CannedResponse::error(404, "not routed");
            const QByteArray connectionHeader = request.header("Connection").toLower();
            const bool clientCloses = connectionHeader == "close"
                                      || (request.version == "HTTP/1.0" && connectionHeader != "keep-alive");
            if (!serve(conn, response, clientCloses, request.method == "HEAD") || clientCloses)
                break;
        }
    }
    conn.finish();
    connection->done = true;
}

bool LoopbackServer::Private::readRequest(LoopbackConnection &conn, QByteArray &buffer,
                                          RecordedRequest &request)
{
    qsizetype end;
    while ((end = buffer.indexOf("\r\n\r\n")) < 0) {
        if (buffer.size() > kMaxHead || !conn.readSome(buffer))
            return false;
    }
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffer.remove(0, end + 4);

    const QList<QByteArray> requestLine = lines.at(0).trimmed().split(' ');
    if (requestLine.size() != 3)
        return false;
    request.method = requestLine.at(0);
    request.target = requestLine.at(1);
    request.version = requestLine.at(2);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }

    if (request.header("Transfer-Encoding").toLower().contains("chunked"))
        return readChunkedBody(conn, buffer, request.body);
    bool ok = false;
    const qsizetype length = request.header("Content-Length").toLongLong(&ok);
    if (!ok || length <= 0)
        return true;
    if (length > kMaxBody)
        return false;
    while (buffer.size() < length) {
        if (!conn.readSome(buffer))
            return false;
    }
    request.body = buffer.left(length);
    buffer.remove(0, length);
    return true;
}

bool LoopbackServer::Private::readChunkedBody(LoopbackConnection &conn, QByteArray &buffer,
                                              QByteArray &body)
{
    for (;;) {
        qsizetype lineEnd;
        while ((lineEnd = buffer.indexOf("\r\n")) < 0) {
            if (buffer.size() > kMaxHead || !conn.readSome(buffer))
                return false;
        }
        bool ok = false;
        const qsizetype size = buffer.left(lineEnd).split(';').at(0).trimmed().toLongLong(&ok, 16);
        buffer.remove(0, lineEnd + 2);
        if (!ok || size < 0 || body.size() + size > kMaxBody)
            return false;
        if (size == 0) {
            // Trailer lines up to an empty one.
            for (;;) {
                while ((lineEnd = buffer.indexOf("\r\n")) < 0) {
                    if (buffer.size() > kMaxHead || !conn.readSome(buffer))
                        return false;
                }
                buffer.remove(0, lineEnd + 2);
                if (lineEnd == 0)
                    return true;
            }
        }
        while (buffer.size() < size + 2) {
            if (!conn.readSome(buffer))
                return false;
        }
        body += buffer.left(size);
        buffer.remove(0, size + 2);
    }
}

bool LoopbackServer::Private::serve(LoopbackConnection &conn, const CannedResponse &response,
                                    bool closeAfter, bool headOnly)
{
    if (response.latencyMs > 0 && !waitFor(response.latencyMs))
        return false;
    const QByteArray body = response.gzipBody ? gzipBytes(response.body) : response.body;
    const bool chunked = response.framing == CannedResponse::Framing::Chunked;
    const bool close = closeAfter || response.closeConnection
                       || response.framing == CannedResponse::Framing::CloseDelimited;

    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' '
                      + (response.reason.isEmpty() ? reasonFor(response.status) : response.reason)
                      + "\r\n";
    for (const auto &[name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    if (response.gzipBody)
        head += "Content-Encoding: gzip\r\n";
    if (chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else if (response.framing == CannedResponse::Framing::ContentLength
             && !hasHeader(response.headers, "Content-Length"))
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (close)
        head += "Connection: close\r\n";
    head += "\r\n";
    if (!conn.writeAll(head))
        return false;
    if (headOnly)
        return !close;

    qsizetype sent = 0;
    auto sendUpTo = [&](qsizetype end) {
        while (sent < end) {
            const qsizetype piece = std::min(end - sent, chunked ? std::max<qsizetype>(1, response.chunkSize) : kWritePiece);
            QByteArray out;
            if (chunked)
                out = QByteArray::number(piece, 16) + "\r\n";
            out += body.mid(sent, piece);
            if (chunked)
                out += "\r\n";
            if (!conn.writeAll(out))
                return false;
            sent += piece;
        }
        return true;
    };

    const bool cut = response.cutAfter >= 0 && response.cutAfter < body.size();
    const qsizetype end = cut ? response.cutAfter : body.size();
    if (response.stallAfter >= 0 && response.stallAfter <= end) {
        if (!sendUpTo(response.stallAfter) || !waitFor(response.stallMs))
            return false;
    }
    if (!sendUpTo(end) || cut)
        return false;  // a cut ends the connection without finishing the body
    if (chunked && !conn.writeAll("0\r\n\r\n"))
        return false;
    return !close;
}

LoopbackServer::LoopbackServer(Scheme scheme)
    : d(std::make_unique<Private>())
{
    std::signal(SIGPIPE, SIG_IGN);
    d->tls = scheme == Https;
    if (d->tls) {
        d->tlsContext = createTestTlsContext();
        if (!d->tlsContext)
            qFatal("loopback server: cannot load the test certificate");
    }
    d->listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (d->listenFd < 0 || ::bind(d->listenFd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(d->listenFd, 128) != 0
        || ::getsockname(d->listenFd, reinterpret_cast<sockaddr *>(&address), &length) != 0
        || ::pipe2(d->wake, O_CLOEXEC) != 0)
        qFatal("loopback server: cannot listen on 127.0.0.1");
    d->port = ntohs(address.sin_port);
    d->acceptThread = std::thread([this] { d->acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    {
        std::lock_guard lock(d->stopMutex);
        d->stopping = true;
    }
    d->stopCv.notify_all();
    const char wakeByte = 1;
    (void)!::write(d->wake[1], &wakeByte, 1);
    d->acceptThread.join();
    // Unblocks every connection thread that waits for the client.
    for (const auto &connection : d->connections)
        ::shutdown(connection->fd, SHUT_RDWR);
    for (const auto &connection : d->connections) {
        connection->thread.join();
        ::close(connection->fd);
    }
    ::close(d->listenFd);
    ::close(d->wake[0]);
    ::close(d->wake[1]);
    freeTlsContext(d->tlsContext);
}

quint16 LoopbackServer::port() const
{
    return d->port;
}

bool LoopbackServer::isTls() const
{
    return d->tls;
}

QString LoopbackServer::baseUrl() const
{
    return d->tls ? QStringLiteral("https://localhost:%1").arg(d->port)
                  : QStringLiteral("http://127.0.0.1:%1").arg(d->port);
}

QString LoopbackServer::connectToEntry(const QString &host, int realPort) const
{
    if (realPort == 0)
        realPort = d->tls ? 443 : 80;
    return QStringLiteral("%1:%2:127.0.0.1:%3").arg(host).arg(realPort).arg(d->port);
}

QString LoopbackServer::caFile()
{
    return fixturePath(QStringLiteral("tls/ca.pem"));
}

void LoopbackServer::route(const QByteArray &host, const QByteArray &target,
                           const CannedResponse &response)
{
    route(host, target, Handler([response](const RecordedRequest &) { return response; }));
}

void LoopbackServer::route(const QByteArray &host, const QByteArray &target, Handler handler)
{
    Route route{host.toLower(), target, target.contains('?'), std::move(handler)};
    std::lock_guard lock(d->routesMutex);
    // A route with the same key replaces the old one, so tests can change an answer.
    std::erase_if(d->routes, [&](const Route &r) {
        return r.host == route.host && r.target == route.target;
    });
    d->routes.push_back(std::move(route));
}

LoopbackServer::Handler LoopbackServer::sequence(QList<CannedResponse> responses)
{
    struct State {
        std::mutex mutex;
        QList<CannedResponse> responses;
        qsizetype next = 0;
    };
    auto state = std::make_shared<State>();
    state->responses = std::move(responses);
    return [state](const RecordedRequest &) {
        std::lock_guard lock(state->mutex);
        if (state->responses.isEmpty())
            return CannedResponse::error(404);
        const qsizetype i = std::min(state->next, state->responses.size() - 1);
        ++state->next;
        return state->responses.at(i);
    };
}

QList<RecordedRequest> LoopbackServer::requests() const
{
    // A list of its own, not an implicitly shared copy of the log: Qt checks whether a
    // list is shared with a relaxed load, so the connection threads appending to the
    // log could otherwise move elements this copy is still reading.
    std::lock_guard lock(d->logMutex);
    QList<RecordedRequest> copy;
    copy.reserve(d->log.size());
    for (const RecordedRequest &request : std::as_const(d->log))
        copy.append(request);
    return copy;
}

int LoopbackServer::requestCount() const
{
    std::lock_guard lock(d->logMutex);
    return int(d->log.size());
}

int LoopbackServer::connectionCount() const
{
    return d->accepted.load();
}

void LoopbackServer::clearLog()
{
    std::lock_guard lock(d->logMutex);
    d->log.clear();
}

}  // namespace pictrove
