#pragma once
// The Sina blog: photo categories or an article list as albums, and their pictures.

#include <QString>

namespace pictrove {

class PictureSink;
class Session;
struct AlbumWalk;

// List fetchers (list thread): publish albums with addAlbum, stop when the session's
// list is asked to stop.
void sinaBlogCategories(Session &session, const QString &address);
void sinaBlogArticles(Session &session, const QString &address);

// Picture fetchers (download thread): hand pictures to the sink until it closes.
void sinaBlogCategoryPictures(const AlbumWalk &walk, PictureSink &sink);
void sinaBlogArticlePicture(const AlbumWalk &walk, PictureSink &sink);

}  // namespace pictrove
