#include "sources/AlbumPictures.h"

#include "sources/SinaBlogSource.h"
#include "sources/WeiboSource.h"

namespace pictrove {

void listAlbumPictures(ListKind kind, const AlbumWalk &walk, PictureSink &sink)
{
    switch (kind) {
    case ListKind::BlogCategories:
        sinaBlogCategoryPictures(walk, sink);
        break;
    case ListKind::BlogArticles:
        sinaBlogArticlePicture(walk, sink);
        break;
    case ListKind::WeiboAlbums:
        weiboAlbumPhotos(walk, sink);
        break;
    case ListKind::WeiboWall:
        weiboWallPictures(walk, sink);
        break;
    case ListKind::None:
        break;
    }
}

}  // namespace pictrove
