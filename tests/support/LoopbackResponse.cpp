// The plain-value half of the loopback server: canned answers and recorded requests.
#include "support/LoopbackServer.h"

#include <zlib.h>

namespace pictrove {

namespace {

bool sameName(const QByteArray &a, const QByteArray &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (sameName(key, name))
            return value;
    }
    return QByteArray();
}

QList<QByteArray> RecordedRequest::headerValues(const QByteArray &name) const
{
    QList<QByteArray> values;
    for (const auto &[key, value] : headers) {
        if (sameName(key, name))
            values.append(value);
    }
    return values;
}

QByteArray RecordedRequest::host() const
{
    QByteArray h = header("Host").toLower();
    // "[::1]:80" keeps its brackets; "name:80" loses the port.
    const qsizetype colon = h.lastIndexOf(':');
    if (colon >= 0 && !h.mid(colon).contains(']'))
        h.truncate(colon);
    return h;
}

QByteArray RecordedRequest::path() const
{
    const qsizetype q = target.indexOf('?');
    return q < 0 ? target : target.left(q);
}

QByteArray RecordedRequest::query() const
{
    const qsizetype q = target.indexOf('?');
    return q < 0 ? QByteArray() : target.mid(q + 1);
}

CannedResponse CannedResponse::ok(const QByteArray &body, const QByteArray &contentType)
{
    CannedResponse r;
    r.body = body;
    if (!contentType.isEmpty())
        r.headers.append({"Content-Type", contentType});
    return r;
}

CannedResponse CannedResponse::redirect(const QByteArray &location, int status)
{
    CannedResponse r;
    r.status = status;
    r.headers.append({"Location", location});
    return r;
}

CannedResponse CannedResponse::error(int status, const QByteArray &body)
{
    CannedResponse r;
    r.status = status;
    r.body = body;
    return r;
}

CannedResponse &CannedResponse::withHeader(const QByteArray &name, const QByteArray &value)
{
    headers.append({name, value});
    return *this;
}

CannedResponse &CannedResponse::withCookie(const QByteArray &cookie)
{
    return withHeader("Set-Cookie", cookie);
}

CannedResponse &CannedResponse::withFraming(Framing f, qsizetype chunk)
{
    framing = f;
    chunkSize = chunk;
    return *this;
}

CannedResponse &CannedResponse::withGzip()
{
    gzipBody = true;
    return *this;
}

CannedResponse &CannedResponse::withLatency(int ms)
{
    latencyMs = ms;
    return *this;
}

CannedResponse &CannedResponse::withStall(qsizetype afterBytes, int ms)
{
    stallAfter = afterBytes;
    stallMs = ms;
    return *this;
}

CannedResponse &CannedResponse::withCut(qsizetype afterBytes)
{
    cutAfter = afterBytes;
    return *this;
}

QByteArray gzipBytes(const QByteArray &data)
{
    z_stream stream{};
    // 31 = 15 window bits + 16: a gzip header and trailer rather than zlib's.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(status == Z_STREAM_END ? qsizetype(stream.total_out) : 0);
    deflateEnd(&stream);
    return out;
}

}  // namespace pictrove
