#include "net/PageFetcher.h"

#include "net/CookieStore.h"
#include "net/Gunzip.h"
#include "net/NetworkSetupPrivate.h"

#include <QFile>

namespace pictrove {

PageRequest::PageRequest(const QString &url, const QString &savePath, int32_t timeoutMs)
    : url(url)
    , savePath(savePath)
    , readTimeoutMs(timeoutMs)
    , timeoutMs(timeoutMs)
{
}

void PageRequest::reset()
{
    url.clear();
    verb = QStringLiteral("GET");
    headers.clear();
    startMarker.clear();
    endMarker.clear();
    savePath.clear();
    postData.clear();
    readTimeoutMs = 20000;
    timeoutMs = 20000;
    minKB = 0;
    maxKB = 0;
    mediaExpected = false;
}

namespace {

// The body the acceptance test judges. A saved body is read back from its file only when
// its content matters (a retry marker, or inflating): a length test needs no bytes.
QByteArray bodyToJudge(const PageRequest &request, const PageResponse &response, bool inflate)
{
    QByteArray body = response.body;
    if (!request.savePath.isEmpty()) {
        QFile file(request.savePath);
        if (file.open(QIODevice::ReadOnly))
            body = file.read(kGunzipLimit);
    }
    if (!inflate)
        return body;
    QByteArray inflated;
    gunzip(inflated, body.constData(), body.size());  // a truncated stream still counts
    return inflated;
}

bool accepted(const PageRequest &request, const PageResponse &response, int flags)
{
    const bool inflate = (flags & kFetchInflateForChecks) && response.gzip;
    if (!request.savePath.isEmpty() && request.retryMarker.isEmpty() && !inflate)
        return response.receivedLength > qint64(request.minLength);
    const QByteArray body = bodyToJudge(request, response, inflate);
    if (body.size() <= qsizetype(request.minLength))
        return false;  // with minLength 0 this rejects an empty body
    return request.retryMarker.isEmpty() || !body.contains(request.retryMarker);
}

}  // namespace

bool fetch(PageRequest &request, PageResponse &response, int flags)
{
    for (int attempt = 1; attempt <= int(request.attempts); ++attempt) {
        // Only between tries: after the last one the caller has its answer and decides
        // itself whether to wait (a silent endpoint must not cost a pause for nothing).
        if (attempt > 1)
            pauseBeforeRetry(request.retryDelaySec);
        const bool ok = fetchOnce(request, response, flags);
        if (ok && request.minLength == 0 && request.retryMarker.isEmpty())
            return true;
        if (ok && accepted(request, response, flags))
            return true;
        if (response.noSpace || response.overPageLimit || response.outsideSizeLimits)
            return false;  // another try would fail the same way
        if (response.cancelled)
            return false;  // the caller has stopped waiting for this answer
    }
    return false;
}

QString getCookies(const QString &url)
{
    return CookieStore::process().cookieHeaderFor(url);
}

}  // namespace pictrove
