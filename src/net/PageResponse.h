#pragma once
// What one fetch brought back. Plain values, owned by the caller.

#include <QByteArray>
#include <QString>

struct PageResponse {
    // The final response's status line and header lines, each ended by CR LF, as
    // received. Kept from the last exchange that delivered one.
    QString headers;
    // The body as sent (no transparent decoding), after trimming while receiving.
    QByteArray body;
    // Copies of the request's trim markers, so GetText can apply them to a gzip body
    // after inflating it.
    QByteArray startMarker;
    QByteArray endMarker;
    // The head contains "gzip" anywhere.
    bool gzip = false;
};
