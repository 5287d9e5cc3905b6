#pragma once
// Sina Weibo photo albums and their photos.

#include <QString>

namespace pictrove {

class PictureSink;
class Session;
struct AlbumWalk;

// List fetcher (list thread).
void weiboAlbums(Session &session, const QString &address);
// Picture fetcher (download thread).
void weiboAlbumPhotos(const AlbumWalk &walk, PictureSink &sink);

}  // namespace pictrove
