#include "sources/AlbumColumns.h"

#include <gtest/gtest.h>

namespace pictrove {

TEST(AlbumColumns, CountAndRemarkAsTheListShowsThem)
{
    EXPECT_EQ(albumCountText(-1), QStringLiteral("未知"));
    EXPECT_EQ(albumCountText(7), QStringLiteral("   7"));
    EXPECT_EQ(albumCountText(12345), QStringLiteral("12345"));

    const struct {
        int32_t flags;
        const char *remark;
    } cases[] = {
        {0, ""},
        {1, "加密相册"},
        {2, "私密相册"},
        {3, "加密相册"},
        {4, "好友可见"},
        {6, "私密相册"},
        {8, ""},
        {int32_t(0x80000000u | 42u), "00000042"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(albumRemarkText(c.flags), QString::fromUtf8(c.remark));
    }
}

// The archive's counts: 已存档 N/M (or N, the count unknown), then only the parts that
// are not zero, in a fixed order.
TEST(AlbumColumns, ArchivedCountsNameOnlyWhatIsNotZero)
{
    const struct {
        ArchivedCounts counts;
        int32_t picCount;
        const char *text;
    } cases[] = {
        {{0, 0, 0}, 3, "已存档 0/3"},
        {{118, 0, 0}, 120, "已存档 118/120"},
        {{118, 2, 0}, 120, "已存档 118/120 · 缺文件 2"},
        {{118, 0, 1}, 120, "已存档 118/120 · 失败 1"},
        {{118, 2, 1}, 120, "已存档 118/120 · 缺文件 2 · 失败 1"},
        {{0, 0, 4}, 4, "已存档 0/4 · 失败 4"},
        {{5, 5, 0}, -1, "已存档 5 · 缺文件 5"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(archivedCountText(c.counts, c.picCount), QString::fromUtf8(c.text));
    }
}

}  // namespace pictrove
