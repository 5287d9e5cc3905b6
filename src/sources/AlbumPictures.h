#pragma once
// Listing the pictures of one album: what its source's picture lister is given. Runs
// on a thread of the download; walks of different albums may run side by side.

#include "sources/AlbumRecord.h"

#include <QString>

#include <functional>
#include <memory>

namespace pictrove {

class PictureSink;
class RequestSpacing;

// What a picture fetcher needs besides the sink: the album, the owner values of the
// list it came from, the data folder (for the page dump) and the pauses.
struct AlbumWalk {
    AlbumRecord album;
    OwnerInfo owner;
    QString dataFolder;
    std::function<void(int milliseconds)> sleep;
    // Milliseconds at least between two list pages of a service that refuses owners
    // asked too fast (Weibo).
    int pageIntervalMs = 0;
    // The session's, so that the album list and the listings of a download (side by
    // side or not) do not ask the service faster than one listing would. May be empty.
    std::shared_ptr<RequestSpacing> spacing;
    // The service refused to be asked this fast: the listing waits `seconds`, then asks
    // again. May be empty.
    std::function<void(int seconds)> waitingForRateLimit;
};

// Hands every picture of `walk.album` to `sink`, as the album's source finds them;
// nothing for an album without a source.
void listAlbumPictures(const AlbumWalk &walk, PictureSink &sink);

}  // namespace pictrove
