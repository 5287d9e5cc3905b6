#include "net/Gunzip.h"

#include <zlib.h>

namespace pictrove {

bool gunzip(QByteArray &output, const char *data, qsizetype length, qsizetype limit)
{
    z_stream stream{};
    // 15 window bits + 32: accept a zlib or a gzip header, whichever the body has.
    if (inflateInit2(&stream, 47) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    stream.avail_in = uInt(length);

    char area[8192];
    bool ended = false;
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef *>(area);
        stream.avail_out = sizeof area;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = qsizetype(sizeof area - stream.avail_out);
        if (produced > 0) {
            const qsizetype room = limit - output.size();
            output.append(area, qMin(produced, room));
            if (produced > room)
                break;  // the cap: what fits stays, the rest is never inflated
        }
        if (status == Z_STREAM_END) {
            ended = true;
            break;
        }
        // Z_BUF_ERROR with input left over cannot happen with a fresh output area;
        // with no input left it means the stream was cut short.
        if (status != Z_OK)
            break;
    }
    inflateEnd(&stream);
    return ended;
}

}  // namespace pictrove
