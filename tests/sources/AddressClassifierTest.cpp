#include "sources/AddressClassifier.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <optional>

namespace pictrove {

namespace {

TEST(sourceTypeForAddress, NamesTheServiceOfTheHost)
{
    const struct {
        const char *address;
        std::optional<SourceType> expected;
    } cases[] = {
        {"https://weibo.com/u/1234567890", SourceType::Sina},
        {"http://blog.sina.com.cn/u/1234567890", SourceType::Sina},
        {"https://item.taobao.com/item.htm?id=1", SourceType::Shops},
        {"https://detail.tmall.com/item.htm?id=1", SourceType::Shops},
        {"https://detail.1688.com/offer/1.html", SourceType::Shops},
        {"https://user.qzone.qq.com/10001", SourceType::QqZone},
        {"http://t.qq.com/someone", SourceType::QqZone},
        {"http://qun.qq.com/air/#1234", SourceType::QqZone},
        {"https://www.topit.me/user/1", SourceType::Topit},
        {"https://www.instagram.com/someone/", SourceType::Instagram},
        // The first service in selector order wins.
        {"https://weibo.com/?from=qq.com", SourceType::QqZone},
        // An unknown host keeps the selection.
        {"https://example.org/album", std::nullopt},
        // Fragments count only after the first character: here none is a host.
        {"weibo.com/u/1 http://example.org", std::nullopt},
        // Not a web address: nothing moves.
        {"weibo.com/u/1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(sourceTypeForAddress(QString::fromUtf8(c.address)), c.expected);
    }
}

TEST(qqSubTypeForAddress, TellsTheQqHostsApart)
{
    const struct {
        const char *address;
        std::optional<QqSubType> expected;
    } cases[] = {
        {"http://t.qq.com/someone", QqSubType::WeiboAlbums},
        {"http://qun.qq.com/air/#1234", QqSubType::GroupAlbums},
        // A zone address keeps the sub-type the selector shows.
        {"https://user.qzone.qq.com/10001", std::nullopt},
        {"https://weibo.com/?from=qq.com", std::nullopt},
        // At the very start a fragment is no host.
        {"t.qq.com/someone", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(qqSubTypeForAddress(QString::fromUtf8(c.address)), c.expected);
    }
}

TEST(qqSubTypeNames, OneEntryPerSubTypeInSelectorOrder)
{
    const QStringList names = qqSubTypeNames();
    ASSERT_EQ(names.size(), 3);
    EXPECT_EQ(names.at(int(QqSubType::ZoneAlbums)), QStringLiteral("QQ空间相册"));
    EXPECT_EQ(names.at(int(QqSubType::GroupAlbums)), QStringLiteral("QQ群相册"));
    EXPECT_EQ(names.at(int(QqSubType::WeiboAlbums)), QStringLiteral("腾讯微博相册"));
}

}  // namespace

}  // namespace pictrove
