#pragma once
// How an album's count and access remark read in the album list, shared by the grid
// and the CLI's list output so both show the same thing.

#include <QString>

#include <cstdint>

namespace pictrove {

// "%4u" of the count (right-aligned in four places), or "未知" when it is unknown (-1).
QString albumCountText(int32_t picCount);
// Negative flags: their low 31 bits as "%08u". Otherwise the first set bit of
// 0x1 "加密相册", 0x2 "私密相册", 0x4 "好友可见", else empty.
QString albumRemarkText(int32_t flags);
// "已存档 N/M": N of the album's M pictures are in the download archive; "已存档 N" when
// the count is unknown (-1).
QString archivedCountText(int archived, int32_t picCount);

// What the download archive holds of one album.
struct ArchivedCounts {
    int archived = 0;      // pictures archived
    int missingFiles = 0;  // of those, whose file is no longer where it was saved
    int failed = 0;        // pictures whose last transfer failed
};
// archivedCountText, then " · 缺文件 N" and " · 失败 N" for the parts that are not zero:
// "已存档 118/120 · 缺文件 2 · 失败 1".
QString archivedCountText(const ArchivedCounts &counts, int32_t picCount);

}  // namespace pictrove
