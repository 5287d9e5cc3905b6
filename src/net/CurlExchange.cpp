// fetchOnce: one HTTP exchange on libcurl, blocking on the calling thread.
//
// CONCEPT: the limits, markers and results of the fetcher are enforced from libcurl's
// callbacks: the head arrives line by line (header callback), the body in pieces (write
// callback), the request body is pulled in 1024-byte pieces (read callback), and a
// progress callback that libcurl calls at least about once a second, also while idle,
// watches for stalls. Returning 0 from a data callback or non-zero from the progress
// callback aborts the transfer at once.
//
// REALITY: libcurl cannot share one connection pool between concurrent threads, so each
// thread keeps one easy handle for its fetches (reset before each): connections to a
// picture host stay open from one picture to the next on the same worker. Cookies, DNS
// answers and TLS sessions are shared by all threads through the cookie store's share.

#include "net/PageFetcher.h"

#include "net/CookieStore.h"
#include "net/MediaBodyCheck.h"
#include "net/NetworkSetup.h"
#include "net/NetworkSetupPrivate.h"
#include "net/ReceiveTrim.h"
#include "net/UrlCanonical.h"
#include "text/EngineLog.h"

#include <QSaveFile>
#include <QStringList>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>

namespace pictrove {

namespace {

using Clock = std::chrono::steady_clock;

// Body bytes delivered per write callback at most; the reference reads 102,399 at a time.
constexpr long kReceiveBuffer = 100 * 1024;
constexpr qsizetype kUploadPiece = 1024;
constexpr long kMaxRedirects = 10;

// The handle a thread reuses from fetch to fetch, for its open connections. Cleaned up
// when the thread ends; the share it is attached to is never destroyed.
struct ThreadHandle {
    CURL *handle = nullptr;
    bool busy = false;
    ~ThreadHandle()
    {
        if (handle)
            curl_easy_cleanup(handle);
    }
};
thread_local ThreadHandle t_handle;

class HandleLease {
public:
    HandleLease()
    {
        if (!t_handle.busy) {
            if (!t_handle.handle)
                t_handle.handle = curl_easy_init();
            else
                curl_easy_reset(t_handle.handle);
            m_handle = t_handle.handle;
            m_owned = false;
            t_handle.busy = m_handle != nullptr;
        } else {
            // Only reachable if a callback fetched again; give it a handle of its own.
            m_handle = curl_easy_init();
            m_owned = true;
        }
    }
    ~HandleLease()
    {
        if (m_owned) {
            if (m_handle)
                curl_easy_cleanup(m_handle);
        } else if (m_handle) {
            // curl_easy_reset forgets, without freeing, the list CURLOPT_COOKIEFILE built;
            // clearing it here frees it. The shared cookies themselves stay.
            curl_easy_setopt(m_handle, CURLOPT_COOKIEFILE, static_cast<char *>(nullptr));
            t_handle.busy = false;
        }
    }
    CURL *get() const { return m_handle; }

private:
    CURL *m_handle = nullptr;
    bool m_owned = false;
};

struct SlistDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

void slistAppend(Slist &list, const QByteArray &line)
{
    curl_slist *grown = curl_slist_append(list.get(), line.constData());
    if (grown) {
        (void)list.release();
        list.reset(grown);
    }
}

bool startsWithNoCase(const QByteArray &text, const char *prefix)
{
    const qsizetype n = qsizetype(std::strlen(prefix));
    return text.size() >= n && qstrnicmp(text.constData(), prefix, n) == 0;
}

// The head declares a page or an API's answer (text/html, JSON): a body of the wrong
// size is then no picture left out by the limits, but a page in its place.
bool declaresPage(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        if (startsWithNoCase(line, "Content-Type:")) {
            const QByteArray type = line.toLower();
            return type.contains("html") || type.contains("json");
        }
    }
    return false;
}

// The number after "Content-Length:" in a head, -1 when absent. Leading blanks are
// skipped; reading stops at the first non-digit.
qint64 contentLengthOf(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        if (!startsWithNoCase(line, "Content-Length:"))
            continue;
        qsizetype i = qsizetype(std::strlen("Content-Length:"));
        while (i < line.size() && (line.at(i) == ' ' || line.at(i) == '\t'))
            ++i;
        qint64 value = 0;
        bool any = false;
        for (; i < line.size() && line.at(i) >= '0' && line.at(i) <= '9'; ++i) {
            if (value > (std::numeric_limits<qint64>::max() - 9) / 10)
                break;
            value = value * 10 + (line.at(i) - '0');
            any = true;
        }
        return any ? value : -1;
    }
    return -1;
}

int statusOf(const QByteArray &statusLine)
{
    // "HTTP/1.1 200 OK"
    const QList<QByteArray> parts = statusLine.split(' ');
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

bool isFollowedRedirect(int status, const QByteArray &head)
{
    if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
        return false;
    for (const QByteArray &line : head.split('\n')) {
        if (startsWithNoCase(line, "Location:"))
            return true;
    }
    return false;
}

struct Exchange {
    Exchange(const PageRequest &r, PageResponse &p)
        : request(r), response(p)
    {
    }

    const PageRequest &request;
    PageResponse &response;

    QByteArray head;        // the head being received
    int status = 0;         // of that head
    bool headDone = false;  // its blank line has arrived
    bool inBody = false;    // the final head has arrived
    bool failed = false;    // a limit was broken (or the file could not be written)
    bool endSeen = false;   // the end marker stopped the transfer: not a failure
    bool timedOut = false;
    bool connected = false;
    bool sawSetCookie = false;
    Clock::time_point lastActivity = Clock::now();

    std::unique_ptr<QSaveFile> file;
    qsizetype uploaded = 0;
    // The start of a saved body, for the media check; judged once it is full or the
    // body ended.
    QByteArray firstBytes;
    bool mediaJudged = false;

    quint64 minBytes() const { return quint64(request.minKB) * 1024; }
    quint64 maxBytes() const { return quint64(request.maxKB) * 1024; }
    bool overMax(quint64 length) const { return request.maxKB != 0 && length > maxBytes(); }
    bool saving() const { return !request.savePath.isEmpty(); }
    void touch() { lastActivity = Clock::now(); }

    // The body broke the size limits of the request. A successful answer that may be
    // the picture was left out on purpose, which the caller tells apart from a failure;
    // an error answer or a page in place of the picture stays a failure.
    void brokeSizeLimits()
    {
        failed = true;
        if (status < 200 || status > 299 || (request.mediaExpected && declaresPage(head)))
            return;
        if (request.mediaExpected && !mediaJudged) {
            const QByteArray &start = saving() ? firstBytes : response.body;
            if (!start.isEmpty() && !acceptedAsMedia(start))
                return;
        }
        response.outsideSizeLimits = response.bodyRefusal == BodyRefusal::None;
    }

    bool openFile()
    {
        file = std::make_unique<QSaveFile>(request.savePath);
        // Unbuffered: curl hands over the body in pieces of up to kReceiveBuffer bytes,
        // each written as it comes instead of being copied into Qt's 16 KiB buffer.
        if (file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return true;
        noteFileError();
        file.reset();
        return false;
    }

    // Right after the failing call, while errno still tells why.
    void noteFileError()
    {
        const int error = errno;
        // EFBIG: the file system (or the process's file-size limit) takes no file this
        // large; like a full disk, the next picture would fail the same way.
        if (error == ENOSPC || error == EDQUOT || error == EFBIG)
            response.noSpace = true;
        qCDebug(lcEngine, "写入文件失败%d: %s", int(file->error()), qPrintable(file->errorString()));
    }

    // Returns false to abort the transfer.
    bool onHeadComplete()
    {
        if (status >= 100 && status < 200)
            return true;  // "100 Continue": the real head follows
        response.headers = QString::fromLatin1(head);
        if (isFollowedRedirect(status, head))
            return true;  // libcurl goes on to the next address; its head replaces this
        inBody = true;
        touch();
        response.gzip = head.contains("gzip");
        const qint64 announced = contentLengthOf(head);
        if (announced >= 0 && (quint64(announced) < minBytes() || overMax(quint64(announced)))) {
            brokeSizeLimits();
            return false;
        }
        // A picture is only ever saved from a successful answer; an error page is not
        // worth receiving then.
        if (saving() && (status < 200 || status > 299)) {
            failed = true;
            return false;
        }
        return true;
    }

    size_t onHeaderLine(const char *data, size_t length)
    {
        touch();
        QByteArray line(data, qsizetype(length));
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith("HTTP/")) {
            head = line + "\r\n";
            status = statusOf(line);
            headDone = false;
            return length;
        }
        if (headDone)
            return length;  // trailer fields after a chunked body
        if (line.isEmpty()) {
            headDone = true;
            return onHeadComplete() ? length : 0;
        }
        head += line + "\r\n";
        if (startsWithNoCase(line, "Set-Cookie:"))
            sawSetCookie = true;
        return length;
    }

    size_t onBody(const char *data, size_t length)
    {
        touch();
        if (failed)
            return 0;
        if (saving()) {
            if (!file && !openFile()) {
                failed = true;
                return 0;
            }
            if (file->write(data, qint64(length)) != qint64(length)) {
                noteFileError();
                failed = true;
                return 0;
            }
            response.receivedLength += qint64(length);
            if (request.mediaExpected && !mediaJudged)
                firstBytes.append(data, std::min<qsizetype>(qsizetype(length), kMediaCheckBytes - firstBytes.size()));
            if (overMax(quint64(response.receivedLength))) {
                brokeSizeLimits();
                return 0;
            }
            // A page in place of a picture is refused as soon as enough of it arrived
            // to tell: a large page is not received to the end first.
            if (request.mediaExpected && !mediaJudged) {
                if (firstBytes.size() >= kMediaCheckBytes && !acceptedAsMedia(firstBytes)) {
                    failed = true;
                    return 0;
                }
            }
            return length;
        }
        response.body.append(data, qsizetype(length));
        if (!response.gzip
            && trimWhileReceiving(response.body, qsizetype(length), request.startMarker,
                                  request.endMarker)) {
            endSeen = true;
        }
        response.receivedLength = response.body.size();
        if (overMax(quint64(response.body.size())) || response.body.size() > kMaxPageBytes) {
            response.overPageLimit = response.body.size() > kMaxPageBytes;
            if (response.overPageLimit)
                failed = true;
            else
                brokeSizeLimits();
            return 0;
        }
        return endSeen ? 0 : length;
    }

    size_t onUpload(char *buffer, size_t room)
    {
        touch();
        const qsizetype left = request.postData.size() - uploaded;
        const qsizetype piece = std::min<qsizetype>({left, kUploadPiece, qsizetype(room)});
        if (piece <= 0)
            return 0;
        std::memcpy(buffer, request.postData.constData() + uploaded, size_t(piece));
        uploaded += piece;
        reportUploadChunk(piece);
        return size_t(piece);
    }

    // libcurl rewinds the request body when it must send it again (a reused connection
    // that turned out closed, a redirect keeping the method).
    int onSeek(curl_off_t offset, int origin)
    {
        if (origin != SEEK_SET || offset < 0 || offset > request.postData.size())
            return CURL_SEEKFUNC_CANTSEEK;
        uploaded = qsizetype(offset);
        return CURL_SEEKFUNC_OK;
    }

    // Judges the body once; false when it is clearly not media (the reason goes into the
    // response).
    bool acceptedAsMedia(const QByteArray &start)
    {
        mediaJudged = true;
        response.bodyRefusal = checkMediaBody(head, start);
        return response.bodyRefusal == BodyRefusal::None;
    }

    // The caller's stop, asked on every progress call: a transfer that receives nothing
    // must not hold a stopping run until its time limit.
    bool stopRequested()
    {
        if (!request.stopRequested || !request.stopRequested())
            return false;
        response.cancelled = true;
        return true;
    }

    // timeoutMs bounds each wait before the final head (sending, waiting for the
    // answer), readTimeoutMs each wait for body bytes. Connecting is bounded by
    // CURLOPT_CONNECTTIMEOUT_MS. libcurl calls this about once a second while idle, so
    // a limit can be overshot by up to a second.
    bool stalled()
    {
        if (!connected)
            return false;
        const int32_t limit = inBody ? request.readTimeoutMs : request.timeoutMs;
        if (limit <= 0)
            return false;
        if (Clock::now() - lastActivity < std::chrono::milliseconds(limit))
            return false;
        timedOut = true;
        return true;
    }
};

size_t headerCallback(char *data, size_t size, size_t count, void *user)
{
    return static_cast<Exchange *>(user)->onHeaderLine(data, size * count);
}

size_t writeCallback(char *data, size_t size, size_t count, void *user)
{
    return static_cast<Exchange *>(user)->onBody(data, size * count);
}

size_t readCallback(char *buffer, size_t size, size_t count, void *user)
{
    return static_cast<Exchange *>(user)->onUpload(buffer, size * count);
}

int seekCallback(void *user, curl_off_t offset, int origin)
{
    return static_cast<Exchange *>(user)->onSeek(offset, origin);
}

int progressCallback(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto *exchange = static_cast<Exchange *>(user);
    return exchange->stopRequested() || exchange->stalled() ? 1 : 0;
}

int prereqCallback(void *user, char *, char *, int, int)
{
    auto *exchange = static_cast<Exchange *>(user);
    exchange->connected = true;
    exchange->touch();
    return CURL_PREREQFUNC_OK;
}

// A caller may repeat the store's cookies in a "cookie:" line of its own (the Weibo
// source does). libcurl sends the store's cookies anyway, so pairs it already carries
// are dropped from the caller's line: each cookie goes once. What is left is the
// caller's own pairs, "name=value; name2=value2", or nothing.
QString withoutStoreCookies(const QString &line, const QByteArray &url)
{
    const QString value = line.mid(line.indexOf(QLatin1Char(':')) + 1);
    const QStringList sent = CookieStore::process()
                                 .cookieHeaderFor(QString::fromUtf8(url))
                                 .split(QStringLiteral("; "), Qt::SkipEmptyParts);
    QStringList own;
    for (const QString &pair : value.split(QLatin1Char(';'))) {
        const QString trimmed = pair.trimmed();
        if (!trimmed.isEmpty() && !sent.contains(trimmed))
            own.append(trimmed);
    }
    return own.join(QStringLiteral("; "));
}

// The caller's header lines for libcurl, without its cookie lines: their pairs go into
// `ownCookies`, which libcurl's cookie engine sends in the same Cookie header as the
// store's. A client sends one Cookie header (RFC 6265, 5.4); a second one is read by
// some servers and dropped by others.
Slist requestHeaders(const QString &headers, const QByteArray &url, QByteArray &ownCookies)
{
    Slist list;
    QStringList cookies;
    const QStringList lines = QString(headers).replace(QLatin1Char('\r'), QString()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("cookie:"), Qt::CaseInsensitive)) {
            const QString own = withoutStoreCookies(trimmed, url);
            if (!own.isEmpty())
                cookies.append(own);
            continue;
        }
        if (!trimmed.isEmpty())
            slistAppend(list, trimmed.toUtf8());
    }
    ownCookies = cookies.join(QStringLiteral("; ")).toUtf8();
    // libcurl would otherwise hold back a larger request body for a "100 Continue".
    slistAppend(list, "Expect:");
    return list;
}

void setMethod(CURL *handle, const PageRequest &request, Exchange &exchange)
{
    const QByteArray verb = request.verb.toLatin1();
    const bool hasBody = !request.postData.isEmpty();
    if (hasBody || verb == "POST") {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.postData.size()));
        curl_easy_setopt(handle, CURLOPT_READFUNCTION, &readCallback);
        curl_easy_setopt(handle, CURLOPT_READDATA, &exchange);
        curl_easy_setopt(handle, CURLOPT_SEEKFUNCTION, &seekCallback);
        curl_easy_setopt(handle, CURLOPT_SEEKDATA, &exchange);
        if (verb != "POST" && !verb.isEmpty())
            curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, verb.constData());
    } else if (verb == "HEAD") {
        curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    } else if (verb != "GET" && !verb.isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, verb.constData());
    }
}

// Everything the exchange needs from libcurl: the address, the shared cookies, the
// callbacks and the limits. `headers` and `connectTo` must outlive the transfer.
void configure(CURL *handle, const QByteArray &url, const PageRequest &request, int flags,
               Exchange &exchange, Slist &headers, Slist &connectTo)
{
    const RoutingHooks routing = currentRoutingHooks();
    QByteArray ownCookies;
    headers = requestHeaders(request.headers, url, ownCookies);
    for (const QByteArray &entry : routing.connectTo)
        slistAppend(connectTo, entry);

    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_SHARE, CookieStore::process().curlShare());
    curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");  // switches the cookie engine on
    // libcurl copies the string; the handle is reset before its next exchange.
    if (!ownCookies.isEmpty())
        curl_easy_setopt(handle, CURLOPT_COOKIE, ownCookies.constData());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    // The sources read header lines by their HTTP/1.1 names ("Content-Length:").
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_USERAGENT,
                     (flags & kFetchMsieAgent) ? kMsieUserAgent : kDefaultUserAgent);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    if (request.timeoutMs > 0)
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(request.timeoutMs));
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &headerCallback);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &writeCallback);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &progressCallback);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, &prereqCallback);
    curl_easy_setopt(handle, CURLOPT_PREREQDATA, &exchange);
    setMethod(handle, request, exchange);
    if (routing.active()) {
        curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
        if (connectTo)
            curl_easy_setopt(handle, CURLOPT_CONNECT_TO, connectTo.get());
        if (!routing.caFile.isEmpty())
            curl_easy_setopt(handle, CURLOPT_CAINFO, routing.caFile.constData());
    }
}

// The result of a finished transfer: libcurl's verdict, then the limits on what was
// kept, then the file (committed on success, discarded otherwise).
bool settle(Exchange &exchange, CURLcode code, const QByteArray &url)
{
    // The end marker aborts the transfer on purpose.
    bool ok = !exchange.failed && (code == CURLE_OK || (code == CURLE_WRITE_ERROR && exchange.endSeen));
    if (!ok && !exchange.failed) {
        if (exchange.response.cancelled)
            qCDebug(lcEngine, "%s: stopped", url.constData());
        else if (exchange.timedOut)
            qCDebug(lcEngine, "%s: no progress within the time limit", url.constData());
        else if (code != CURLE_OK)
            qCDebug(lcEngine, "%s: transfer failed: %d (%s)", url.constData(), int(code),
                    curl_easy_strerror(code));
    }
    if (ok && !exchange.inBody)
        ok = false;  // no final answer at all (cannot happen with CURLE_OK; defensive)
    if (ok && exchange.saving() && (exchange.status < 200 || exchange.status > 299))
        ok = false;
    if (ok) {
        const quint64 length = quint64(exchange.response.receivedLength);
        if (length < exchange.minBytes() || exchange.overMax(length)) {
            exchange.brokeSizeLimits();
            ok = false;
        }
    }
    if (ok && exchange.request.mediaExpected && !exchange.mediaJudged)
        ok = exchange.acceptedAsMedia(exchange.saving() ? exchange.firstBytes : exchange.response.body);
    if (!exchange.saving())
        return ok;
    if (!ok) {
        if (exchange.file)
            exchange.file->cancelWriting();
        return false;
    }
    if (!exchange.file && !exchange.openFile())
        return false;  // an empty body still makes an (empty) file
    // Every write, the flush and the sync are checked here: a file that did not reach
    // the disk whole is removed and never appears under its name. The flush goes first,
    // on its own: QSaveFile's commit does not notice when its own flush of the last
    // buffered bytes fails (the file size limit or a full disk cut a small picture),
    // and would rename the cut file into place.
    if (!exchange.file->flush()) {
        exchange.noteFileError();
        exchange.file->cancelWriting();
        return false;
    }
    if (!exchange.file->commit()) {
        exchange.noteFileError();
        return false;
    }
    return true;
}

}  // namespace

bool fetchOnce(PageRequest &request, PageResponse &response, int flags)
{
    initNetwork();
    response.body.clear();
    response.receivedLength = 0;
    response.startMarker = request.startMarker;
    response.endMarker = request.endMarker;
    response.gzip = false;
    response.noSpace = false;
    response.bodyRefusal = BodyRefusal::None;
    response.cancelled = false;
    response.overPageLimit = false;
    response.outsideSizeLimits = false;

    const QByteArray url = canonicalUrl(request.url);
    if (url.isEmpty()) {
        qCDebug(lcEngine, "网址解析出错：%s", qPrintable(request.url));
        return false;
    }
    if (request.stopRequested && request.stopRequested()) {
        response.cancelled = true;  // no new connection for a caller that stopped
        return false;
    }
    HandleLease lease;
    if (!lease.get())
        return false;

    Exchange exchange(request, response);
    Slist headers;
    Slist connectTo;
    configure(lease.get(), url, request, flags, exchange, headers, connectTo);
    const CURLcode code = curl_easy_perform(lease.get());
    // The trace names the address without its query and user part: a query may carry
    // a login ticket, which must not reach a log.
    const QByteArray traced = QUrl::fromEncoded(url)
                                  .adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
                                  .toEncoded();
    const bool ok = settle(exchange, code, traced);

    // Every hop's Set-Cookie has gone into the shared store already; only the saving
    // is ours to arrange.
    CookieStore &cookies = CookieStore::process();
    if (exchange.sawSetCookie)
        cookies.noteChanged();
    cookies.saveIfDue();
    return ok;
}

}  // namespace pictrove
