#pragma once
// One service the program lists albums and pictures of, as one entry of the table in
// Sources.cpp: which owner addresses it claims, how it lists an owner's albums and an
// album's pictures, and what its requests need. Each album remembers the source that
// lists its pictures; nothing else in the engine or the front ends asks which service
// an album came from. Entries are constants: any thread may read them.

#include <QString>

namespace pictrove {

struct AlbumWalk;
class PictureSink;
struct ListContext;
struct ListOutcome;

struct Source {
    // For logs and tests.
    const char *name = "";
    // True for an owner address this source lists. Null for a source whose albums
    // another source's lister finds (the Weibo picture wall beside the photo service).
    bool (*claims)(const QString &address) = nullptr;
    // Lists the owner's albums into context.albums, each naming the source that lists
    // its pictures; runs on the list thread.
    ListOutcome (*listAlbums)(const QString &address, ListContext &context) = nullptr;
    // Hands the pictures of walk.album to the sink; runs on a thread of the download.
    void (*listPictures)(const AlbumWalk &walk, PictureSink &sink) = nullptr;
    // Extra request header lines the service wants for its pictures and album covers.
    const char16_t *pictureHeaders = u"";
    // Albums a download lists side by side. A service that paces the requests for one
    // owner gains nothing from a second lister: it would only wait for its turn.
    int listersAtOnce = 1;
    // The service whose pictures it lists, as the download archive names it: sources
    // that list the same service's pictures another way share it. Empty: `name`.
    const char *service = "";
};

}  // namespace pictrove
