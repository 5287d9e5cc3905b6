#include "net/PageText.h"

#include "net/Gunzip.h"
#include "net/PageResponse.h"
#include "text/Charsets.h"
#include "text/TextScan.h"

namespace pictrove {

namespace {

// The fetch could not match the markers inside a compressed body while receiving
// it; they are applied here, to whatever bytes are about to be decoded.
void trimByMarkers(QByteArray &bytes, const QByteArray &startMarker, const QByteArray &endMarker)
{
    if (!startMarker.isEmpty()) {
        const qsizetype p = bytes.indexOf(startMarker);
        if (p >= 0)
            bytes.remove(0, p + startMarker.size());
    }
    if (!endMarker.isEmpty()) {
        const qsizetype p = bytes.indexOf(endMarker);
        if (p >= 0)
            bytes.truncate(p);
    }
}

// The gzip flag comes from the whole response head, which can mention "gzip" without
// the body being compressed (or after something upstream already inflated it). A
// body without a gzip or zlib header is taken as it came instead of inflating to
// nothing.
bool looksCompressed(const QByteArray &body)
{
    if (body.size() < 2)
        return false;
    const auto b0 = quint8(body.at(0));
    const auto b1 = quint8(body.at(1));
    if (b0 == 0x1F && b1 == 0x8B)
        return true;
    return (b0 & 0x0F) == 8 && (b0 >> 4) <= 7 && (b0 * 256 + b1) % 31 == 0;
}

}  // namespace

QString getText(const PageResponse &response, int flags, bool *overPageLimit)
{
    QByteArray bytes;
    bool cut = false;
    if ((flags & kTextInflate) && response.gzip && looksCompressed(response.body)) {
        // A truncated stream still gives what was inflated before the cut. A stream
        // that did not end and filled the limit was stopped by it.
        const bool ended = gunzip(bytes, response.body.constData(), response.body.size(), kMaxPageBytes);
        cut = !ended && bytes.size() >= kMaxPageBytes;
    } else {
        bytes = response.body;
    }
    if (response.gzip)
        trimByMarkers(bytes, response.startMarker, response.endMarker);
    // A stray NUL byte in a page (a broken caption, a title pasted from somewhere) must
    // not end the text and cost every album or picture after it. In all code pages
    // read here a 0 byte is only ever NUL itself, never part of another character.
    bytes.removeIf([](char c) { return c == '\0'; });

    QString text;
    if (response.headers.contains(QLatin1String("charset=GBK"), Qt::CaseSensitive)) {
        text = fromAnsi(bytes);
    } else if (flags & kTextUtf8) {
        text = fromCodePage(bytes, kCodePageUtf8);
    } else if (flags & kTextEucKr) {
        text = fromCodePage(bytes, kCodePageEucKr);
    } else if (flags & kTextBig5) {
        text = fromCodePage(bytes, kCodePageBig5);
    } else if ((flags & kTextAuto) && isUtf8(bytes.constData(), bytes.size())) {
        text = fromCodePage(bytes, kCodePageUtf8);
    } else {
        text = fromAnsi(bytes);
    }
    decodeEntities(text);
    if (overPageLimit)
        *overPageLimit = cut;
    return text;
}

}  // namespace pictrove
