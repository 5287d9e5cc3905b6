#include "sources/AddAlbum.h"

#include "sources/AlbumList.h"
#include "sources/ListEvents.h"
#include "sources/Session.h"
#include "text/CleanName.h"

#include <new>

namespace pictrove {

int addAlbum(AlbumList &albums, ListEvents &events, const AlbumRecord &found)
{
    int size = 0;
    AlbumRecord record;
    try {
        record = found;
        // Cut before the uniqueness test: two long names that differ only after the
        // cut would otherwise end up as one folder.
        record.name = cleanName(record.name, 0xFFFF, true).left(kShownNameLength);
        size = albums.appendUnique(record);
    } catch (const std::bad_alloc &) {
        events.report(event::AlbumLost{});
        return albums.size();
    }

    events.report(event::AlbumAdded{size - 1, albums.at(size - 1)});
    return size;
}

int addAlbum(Session &session, const AlbumRecord &found)
{
    return addAlbum(session.albums, session.listEvents(), found);
}

}  // namespace pictrove
