#pragma once
// How every list fetcher publishes an album.

#include "sources/AlbumRecord.h"

class MainWindowState;

// Names the grid shows (and album folders use) are cut to this many characters.
inline constexpr int kShownNameLength = 80;

// Copies `found` into the album list: the name cleaned (a 14-digit time stamp when
// nothing usable is left), cut to the shown length and made unique ("Trip",
// "Trip (1)", ...), then the window shows the row. Albums found before start-up has finished
// are dropped. Returns the list's new size.
int addAlbum(MainWindowState &state, const AlbumRecord &found);
