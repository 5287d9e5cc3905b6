#include "sources/AlbumPictures.h"

#include "sources/Source.h"

namespace pictrove {

void listAlbumPictures(const AlbumWalk &walk, PictureSink &sink)
{
    if (walk.album.source && walk.album.source->listPictures)
        walk.album.source->listPictures(walk, sink);
}

}  // namespace pictrove
