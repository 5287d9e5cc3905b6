#pragma once
// What one fetch brought back. Plain values, owned by the caller.

#include "net/MediaBodyCheck.h"

#include <QByteArray>
#include <QString>

namespace pictrove {

// The most a page held in memory may be, as received and after inflating. The pages
// the sources read are far smaller (an album list of a thousand albums is under 1 MiB);
// text conversion multiplies what a page costs, so a hostile page stops here.
inline constexpr qsizetype kMaxPageBytes = qsizetype(8) * 1024 * 1024;

struct PageResponse {
    // The final response's status line and header lines, each ended by CR LF, as
    // received. Kept from the last exchange that delivered one.
    QString headers;
    // The body as sent (no transparent decoding), after trimming while receiving.
    // Stays empty when the request has a savePath: the body goes to the file instead,
    // so large pictures never sit in memory.
    QByteArray body;
    // How many body bytes this exchange kept: body.size() for a page; for a fetch with
    // a savePath, the bytes streamed towards the file (0 when the final status was not
    // 2xx, whose body is never written). Check the result of Fetch as well: a transfer
    // cut off part-way counts what arrived, but leaves no file.
    qint64 receivedLength = 0;
    // Copies of the request's trim markers, so getText can apply them to a gzip body
    // after inflating it.
    QByteArray startMarker;
    QByteArray endMarker;
    // The head contains "gzip" anywhere.
    bool gzip = false;
    // The picture's file could not be written because the disk (or the user's quota)
    // is full: every further picture would fail the same way.
    bool noSpace = false;
    // The request expected media and the answer was not: the body was not kept.
    BodyRefusal bodyRefusal = BodyRefusal::None;
    // The request's stopRequested ended the exchange.
    bool cancelled = false;
    // The page passed kMaxPageBytes while it was received: the fetch failed and `body`
    // holds only its beginning. Asking again would bring the same page.
    bool overPageLimit = false;
    // A successful answer whose body was smaller than the request's minKB or larger
    // than its maxKB (and no page in place of the picture): left out on purpose, not
    // failed. Asking again would bring the same body.
    bool outsideSizeLimits = false;

    // The first line of `headers` ("HTTP/1.1 200 OK"); empty when no answer came.
    QString statusLine() const { return headers.section(QStringLiteral("\r\n"), 0, 0); }
    // Its status code; 0 when no answer came.
    int statusCode() const { return statusLine().section(QLatin1Char(' '), 1, 1).toInt(); }
};

}  // namespace pictrove
