#pragma once
// One album as a source found it, and the owner values of the last acquisition.

#include <QString>

#include <cstdint>

namespace pictrove {

struct Source;

struct AlbumRecord {
    QString name;      // shown, and the album's folder name; cleaned and unique
    QString url;       // handed to the picture fetcher of the same list type
    QString coverUrl;  // cover picture for the thumbnail view; may be empty
    int32_t pictureCount = -1;  // -1: unknown
    // Access remark. Zero or positive: bit 0 encrypted, bit 1 private, bit 2 friends
    // only. Negative: the low 31 bits are a number shown as the remark.
    int32_t accessFlags = 0;
    int32_t extraNumber1 = 0;  // file-name escape ?4
    int32_t extraNumber2 = 0;  // file-name escape ?5
    int32_t position = 0;   // position in the album list when added
    int32_t thumbnail = -1;  // thumbnail index, -1 when none
    // The source that lists its pictures (and knows what its covers need); null for an
    // album no source listed (a file written by hand).
    const Source *source = nullptr;
};

struct OwnerInfo {
    QString name;       // after a list: empty or a folder name ending in "/"
    QString subFolder;  // likewise; the Sina sources leave it empty
    QString uid;
};

}  // namespace pictrove
