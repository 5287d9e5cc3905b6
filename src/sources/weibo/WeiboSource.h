#pragma once
// Sina Weibo albums and their pictures. The photo service (photo.weibo.com) is asked
// first, as it gives album names, counts and captions; where it wants a login, the
// web API's picture wall (weibo.com/ajax) lists the owner's albums instead. Two entries
// of the source table: the Weibo owner, whose albums are either the photo service's or
// the picture wall's.

#include "sources/Source.h"

#include <QString>

namespace pictrove {

extern const Source kWeiboSource;
extern const Source kWeiboWallSource;

// Album lister (list thread): each album names the source of the path that answered;
// the outcome says why neither did.
ListOutcome weiboAlbums(const QString &address, ListContext &context);
// Picture listers (download thread): an album of the photo service, and an album or
// the whole picture wall of the web API.
void weiboAlbumPhotos(const AlbumWalk &walk, PictureSink &sink);
void weiboWallPictures(const AlbumWalk &walk, PictureSink &sink);

}  // namespace pictrove
