#pragma once
// Sina Weibo albums and their pictures. The photo service (photo.weibo.com) is asked
// first, as it gives album names, counts and captions; where it wants a login, the
// web API's picture wall (weibo.com/ajax) lists the owner's albums instead.

#include <QString>

namespace pictrove {

class PictureSink;
class Session;
struct AlbumWalk;

// List fetcher (list thread). Sets the session's list kind to the path that answered,
// and its refusal when neither did.
void weiboAlbums(Session &session, const QString &address);
// Picture fetchers (download thread): an album of the photo service, and an album or
// the whole picture wall of the web API.
void weiboAlbumPhotos(const AlbumWalk &walk, PictureSink &sink);
void weiboWallPictures(const AlbumWalk &walk, PictureSink &sink);

}  // namespace pictrove
