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

}  // namespace pictrove
