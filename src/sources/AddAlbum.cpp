#include "sources/AddAlbum.h"

#include "sources/ListEvents.h"
#include "sources/Session.h"
#include "text/CleanName.h"

#include <new>

namespace pictrove {

int addAlbum(Session &session, const AlbumRecord &found)
{
    int size = 0;
    AlbumRecord record;
    try {
        record = found;
        // Cut before the uniqueness test: two long names that differ only after the
        // cut would otherwise end up as one folder.
        record.name = cleanName(record.name, 0xFFFF, true).left(kShownNameLength);
        size = session.albums.appendUnique(record);
    } catch (const std::bad_alloc &) {
        session.listEvents().albumLost();
        return session.albums.size();
    }

    session.listEvents().albumAdded(size - 1, session.albums.at(size - 1));
    return size;
}

}  // namespace pictrove
