#pragma once
// How a picture fetcher hands each picture of the album being downloaded to the
// download engine. Called on the download driver's thread, in album order; afterwards
// the fetcher reads state.downState and stops listing when it is 2 (album closed) or
// 3 (abort requested).

#include <QString>

class MainWindowState;

// `address` may carry a fallback address after "\r\n"; `title` is the picture's
// description as the service gives it; `headers` are extra request header lines for
// the transfer (a Referer, say); `albumIndex` is the album's position in the list.
void addPicture(MainWindowState &state, const QString &address, const QString &title,
                const QString &headers, int albumIndex);
