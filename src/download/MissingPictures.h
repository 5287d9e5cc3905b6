#pragma once
// What the service lists of an owner that the download archive does not hold: each
// album's pictures listed again (nothing is fetched) and looked up in the archive.
// Runs on the calling thread, after a list.

#include "sources/AlbumRecord.h"
#include "sources/Picture.h"

#include <QList>
#include <QString>

#include <functional>

namespace pictrove {

class Session;

// A picture listed and not archived.
struct MissingPicture {
    Picture picture;
    QString reason;  // why its last transfer failed; empty when none failed
};

// One album's pictures against the archive.
struct AlbumShortfall {
    int index = 0;  // album-list position
    QString name;
    int listed = 0;    // pictures the service lists now
    int archived = 0;  // of those, archived for the owner
    QList<MissingPicture> missing;  // listed and not archived, in album order
    // The listing broke off here (a page failed, or it ended far short of the album's
    // count): the album may hold more than was listed. Empty when it was listed whole.
    QString listingFailure;
};

struct MissingCheck {
    std::function<bool()> stopRequested;  // ends the check between two pictures or pages
    std::function<void(const AlbumShortfall &)> albumChecked;  // after each album, in list order
    std::function<void(int seconds)> waitingForRateLimit;      // may be empty
};

// Every album of the session's last list, against the archive of its data folder. An
// archive that is not there holds nothing; it is not made. Returns the albums checked
// (fewer when a stop came).
QList<AlbumShortfall> findMissingPictures(Session &session, const MissingCheck &check);

}  // namespace pictrove
