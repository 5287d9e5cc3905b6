#pragma once
// One album as a source found it, and the owner values of the last acquisition.

#include <QString>

#include <cstdint>

struct ST_PERLISTRECORD {
    QString strName;      // shown, and the album's folder name; cleaned and unique
    QString strUrl;       // handed to the picture fetcher of the same list type
    QString strCoverUrl;  // cover picture for the thumbnail view; may be empty
    QString strExtra1;
    QString strExtra2;
    int32_t nPicCount = -1;  // -1: unknown
    // Access remark. Zero or positive: bit 0 encrypted, bit 1 private, bit 2 friends
    // only. Negative: the low 31 bits are a number shown as the remark.
    int32_t nFlags = 0;
    int32_t nExtra1 = 0;  // file-name escape ?4
    int32_t nExtra2 = 0;  // file-name escape ?5
    int32_t nIndex = 0;   // position in the album list when added
    int32_t nImage = -1;  // thumbnail index, -1 when none
};

struct OwnerInfo {
    QString strOwnerName;       // after a list: empty or a folder name ending in "/"
    QString strOwnerSubFolder;  // likewise; the Sina sources leave it empty
    QString strOwnerUid;
    QString strAlbumId;         // scratch: the album id last read by the Weibo list
};
