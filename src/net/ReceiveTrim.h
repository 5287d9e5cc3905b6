#pragma once
// Trimming a page while it arrives. The end marker stops the transfer as soon as the
// interesting part of a list page has arrived; the start marker keeps only what follows
// its last occurrence, so a large page never sits in memory in full.

#include <QByteArray>

namespace pictrove {

// `body` has just grown by its last `appended` bytes. As long as `startMarker` occurs,
// deletes the body through the end of its first occurrence; then, when `endMarker`
// occurs, deletes the body from its first occurrence on and returns true (stop reading).
// Only the new bytes (and a marker's length before them) are searched: the older part
// was searched when it arrived.
bool trimWhileReceiving(QByteArray &body, qsizetype appended, const QByteArray &startMarker,
                        const QByteArray &endMarker);

}  // namespace pictrove
