#pragma once
// How every list fetcher publishes an album.

#include "sources/AlbumRecord.h"

namespace pictrove {

class Session;

// Names the grid shows (and album folders use) are cut to this many characters.
inline constexpr int kShownNameLength = 80;

// Copies `found` into the session's album list: the name cleaned (a 14-digit time
// stamp when nothing usable is left), cut to the shown length and made unique
// ("Trip", "Trip (1)", ...), then tells the list events. Returns the list's new size.
int addAlbum(Session &session, const AlbumRecord &found);

}  // namespace pictrove
