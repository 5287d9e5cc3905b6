#pragma once
// What the exchange reads from the process-wide set-up. Only src/net includes this.

#include <QByteArray>
#include <QList>

#include <functional>

namespace pictrove {

struct RoutingHooks {
    QList<QByteArray> connectTo;  // libcurl CONNECT_TO entries
    QByteArray caFile;            // empty: the system's trust store
    bool active() const { return !connectTo.isEmpty() || !caFile.isEmpty(); }
};

// A copy, so a hook changed by a test mid-run cannot tear an exchange's settings.
RoutingHooks currentRoutingHooks();
void reportUploadChunk(qsizetype size);
void pauseBeforeRetry(int seconds);

}  // namespace pictrove
