#pragma once
// Where a picture fetcher puts the pictures of the album it walks. The download layer
// implements it (naming, queueing, the marker rule); sources only know this interface.

#include "sources/ListEvents.h"
#include "sources/Picture.h"

#include <QString>

namespace pictrove {

class PictureSink {
public:
    virtual ~PictureSink() = default;

    // One picture, in album order.
    virtual void addPicture(const Picture &picture) = 0;

    // True once the album takes no more pictures: the walk stops listing. Checked
    // after every picture and before every page.
    virtual bool albumClosed() const = 0;

    // The page at `address` failed after its retries (`reason`: its status line, "no
    // answer", "页面过大"), or the listing stopped there far short of the album's count
    // or at the page limit (ListingBounds.h): the album's listing ends here, and the
    // pictures handed over so far are not the whole album.
    virtual void listingFailed(const QString &address, const QString &reason) = 0;

    // The page failed because the service answered with its login: `refusal` is
    // LoginExpired when a saved login went with the request, LoginNeeded otherwise.
    // Comes right before that page's listingFailed.
    virtual void loginRefused(ListResult /*refusal*/) {}

    // Post `postId` of the album is one the viewer may not see (deleted, or shown to
    // the owner's friends only): its pictures are not listed, and the listing goes on.
    // Counted, so the run can say how many posts it could not see.
    virtual void postNotVisible(const QString &postId) = 0;
};

}  // namespace pictrove
