#include "net/ReceiveTrim.h"

#include <algorithm>

namespace pictrove {

bool trimWhileReceiving(QByteArray &body, qsizetype appended, const QByteArray &startMarker,
                        const QByteArray &endMarker)
{
    // Index of the first byte not searched before. A marker occurrence entirely before
    // it would have been found then, so each search may begin a marker's length earlier.
    qsizetype fresh = std::max<qsizetype>(0, body.size() - appended);
    if (!startMarker.isEmpty()) {
        for (;;) {
            const qsizetype from = std::max<qsizetype>(0, fresh - (startMarker.size() - 1));
            const qsizetype at = body.indexOf(startMarker, from);
            if (at < 0)
                break;
            const qsizetype cut = at + startMarker.size();
            body.remove(0, cut);
            fresh = std::max<qsizetype>(0, fresh - cut);
        }
    }
    if (!endMarker.isEmpty()) {
        const qsizetype from = std::max<qsizetype>(0, fresh - (endMarker.size() - 1));
        const qsizetype at = body.indexOf(endMarker, from);
        if (at >= 0) {
            body.truncate(at);
            return true;
        }
    }
    return false;
}

}  // namespace pictrove
