#pragma once
// How every album a list finds is published.

#include "sources/AlbumRecord.h"

namespace pictrove {

class AlbumList;
class ListEvents;
class Session;

// Names the grid shows (and album folders use) are cut to this many characters.
inline constexpr int kShownNameLength = 80;

// Copies `found` into `albums`: the name cleaned (a 14-digit time stamp when nothing
// usable is left), cut to the shown length and made unique ("Trip", "Trip (1)", ...),
// then tells `events`. Returns the list's new size.
int addAlbum(AlbumList &albums, ListEvents &events, const AlbumRecord &found);
// The same into the session's album list and list events.
int addAlbum(Session &session, const AlbumRecord &found);

}  // namespace pictrove
