#pragma once
// What an album lister is given and what it gives back. The list run builds the
// context from the session and writes what the lister found into the session; a
// lister never sees the session itself, so a source's tests need none.

#include "settings/ExtensionSettings.h"
#include "sources/AlbumRecord.h"
#include "sources/ListEvents.h"
#include "sources/RequestSpacing.h"

#include <QString>

#include <functional>
#include <memory>

namespace pictrove {

// Where a lister puts each album it finds, in list order.
class AlbumCollector {
public:
    virtual ~AlbumCollector() = default;
    // The album is cleaned, made unique and shown at once.
    virtual void addAlbum(const AlbumRecord &album) = 0;
    // The user asked the list to stop: the lister returns after the album it is reading.
    virtual bool stopRequested() const = 0;
    // The service refused to be asked this fast: the lister asks again in `seconds`.
    virtual void waitingForRateLimit(int seconds) = 0;
};

struct ListContext {
    QString dataFolder;           // ends in "/"
    ExtensionSettings extension;  // read afresh for this list
    std::function<void(int milliseconds)> sleep;
    // The pace of the requests to the owner's service, shared with the download's
    // listings. May be empty.
    std::shared_ptr<RequestSpacing> spacing;
    AlbumCollector &albums;
};

// What a lister found besides its albums.
struct ListOutcome {
    OwnerInfo owner;  // the owner's name as the service gives it; the list run cleans it
    // Why no album was found, when the lister knows (a login needed, a refusal, the
    // service unreachable); only read when the list is empty.
    ListResult refusal = ListResult::NothingFound;
    QString refusalDetail;  // what the service answered, when known
};

}  // namespace pictrove
