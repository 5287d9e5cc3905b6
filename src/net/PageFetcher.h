#pragma once
// The page fetcher: every byte the program takes from the network passes through
// Fetch. Plain values in (PageRequest), plain values out (PageResponse), a boolean.
// Blocking, on the calling thread; any number of threads may fetch at once. Cookies
// live in the process-wide cookie store (CookieStore.h) and travel automatically.

#include "net/PageResponse.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace pictrove {

enum FetchFlags : int {
    kFetchInflateForChecks = 0x01,  // acceptance test inflates a gzip body first
    kFetchMsieAgent = 0x40,         // identify as the MSIE agent
};

// A current desktop browser: the services refuse the browsers of ten years ago more
// and more. Update it with each browser generation.
inline constexpr const char *kDefaultUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/131.0.0.0 Safari/537.36";
inline constexpr const char *kMsieUserAgent =
    "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Trident/4.0; SLCC2; "
    ".NET CLR 2.0.50727; .NET CLR 3.5.30729; .NET CLR 3.0.30729; .NET4.0C; .NET4.0E)";

struct PageRequest {
    PageRequest(const QString &url, const QString &savePath, int32_t timeoutMs = 20000);

    // Back to a fresh request for another address; retryMarker, minLength, attempts,
    // retryDelaySec and stopRequested stay as they are.
    void reset();

    QString url;
    QString verb = QStringLiteral("GET");
    // Extra request header lines, CR LF between them ("Accept-Encoding: ...\r\nReferer: ...").
    QString headers;
    // Trim while receiving: the body starts after the last startMarker received and
    // ends before the first endMarker, where the transfer stops.
    QByteArray startMarker;
    QByteArray endMarker;
    // Acceptance test of Fetch: a body containing it is fetched again.
    QByteArray retryMarker;
    // When not empty the body goes to this file instead of into response.body. The file
    // appears (replacing an older one) only when the fetch succeeds within all limits
    // with a 2xx answer; it is streamed into a temporary file beside it and renamed, so
    // a failed or cut-off transfer never leaves a partial file under this name.
    QString savePath;
    QByteArray postData;
    // Each limit bounds one wait, not the whole exchange; 0 or less: no limit. Checked
    // about once a second, so a limit may be overshot by up to a second.
    int32_t readTimeoutMs = 20000;  // longest wait for body bytes
    int32_t timeoutMs = 20000;      // connecting, sending, waiting for the answer's head
    uint32_t minKB = 0;             // 0 disables
    uint32_t maxKB = 0;             // 0 disables
    uint32_t minLength = 0;         // acceptance: body must be longer; 0 disables
    uint8_t attempts = 1;
    uint8_t retryDelaySec = 1;
    // The body must be a picture or a video: a complete answer whose body is empty or
    // clearly a page (MediaBodyCheck.h) fails, with response.bodyRefusal saying why, and
    // is never saved under savePath.
    bool mediaExpected = false;
    // The caller's stop. Asked on the fetching thread while the exchange connects, waits
    // and receives: about once a second while nothing arrives, more often while bytes
    // do. True ends the exchange at once as a failure with response.cancelled, leaves no
    // file, and fetch tries no more. Empty: the exchange is never stopped.
    std::function<bool()> stopRequested;
};

// Up to request.attempts tries of fetchOnce with the acceptance test (minLength,
// retryMarker); pauses retryDelaySec between tries, never after the last one. A full
// disk or the caller's stop ends the tries at once.
bool fetch(PageRequest &request, PageResponse &response, int flags = 0);
// One exchange; true when it completed within all limits. A page answered with an error
// status still succeeds (its body is the page); a fetch with a savePath needs a 2xx.
// Redirects are followed; https is verified against the system's certificates.
bool fetchOnce(PageRequest &request, PageResponse &response, int flags = 0);

// "name=value; name2=value2" of the cookies the store would send to `url`.
QString getCookies(const QString &url);

}  // namespace pictrove
