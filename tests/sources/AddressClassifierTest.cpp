#include "sources/AddressClassifier.h"
#include "sources/MainWindowState.h"
#include "support/RecordingWindowPort.h"

#include <gtest/gtest.h>

namespace {

struct ClassifyCase {
    const char *address;
    int selectedBefore;
    int expectedIndex;
    int expectedSubType;  // -1: the sub-type selector is not touched
};

class ClassifyAddressTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyAddressTest, SelectsServiceAndSubType)
{
    const ClassifyCase &c = GetParam();
    RecordingWindowPort port;
    MainWindowState state(port);
    port.setText(IDC_OWNER_ADDRESS, QString::fromUtf8(c.address));
    port.setCurrentIndex(IDC_SOURCE_TYPE, c.selectedBefore);
    state.sourceTypeIndex = 9;

    classifyAddress(state);

    EXPECT_EQ(port.currentIndex(IDC_SOURCE_TYPE), c.expectedIndex);
    EXPECT_EQ(port.currentIndex(IDC_SUB_TYPE), c.expectedSubType);
    // Whenever the address was classified, the list runs as the Sina type.
    const QString address = QString::fromUtf8(c.address);
    const bool web = address.contains(u"http://") || address.contains(u"https://");
    EXPECT_EQ(state.sourceTypeIndex.load(), web ? SOURCE_SINA : 9);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClassifyAddressTest,
    ::testing::Values(
        ClassifyCase{"https://weibo.com/u/1234567890", 7, 4, -1},
        ClassifyCase{"http://blog.sina.com.cn/u/1234567890", 0, 4, -1},
        ClassifyCase{"https://item.taobao.com/item.htm?id=1", 4, 11, -1},
        ClassifyCase{"https://detail.tmall.com/item.htm?id=1", 4, 11, -1},
        ClassifyCase{"https://detail.1688.com/offer/1.html", 4, 11, -1},
        ClassifyCase{"https://user.qzone.qq.com/10001", 4, 0, 0},
        ClassifyCase{"http://t.qq.com/someone", 4, 0, 2},
        ClassifyCase{"http://qun.qq.com/air/#1234", 4, 0, 1},
        ClassifyCase{"https://www.topit.me/user/1", 4, 20, -1},
        ClassifyCase{"https://www.instagram.com/someone/", 4, 17, -1},
        // The first service in selector order wins.
        ClassifyCase{"https://weibo.com/?from=qq.com", 4, 0, 0},
        // An unknown host keeps the selection.
        ClassifyCase{"https://example.org/album", 7, 7, -1},
        // Fragments count only after the first character: here none is a host.
        ClassifyCase{"weibo.com/u/1 http://example.org", 7, 7, -1},
        // Not a web address: nothing moves.
        ClassifyCase{"weibo.com/u/1", 7, 7, -1}));

TEST(OnSourceTypeChangedTest, ShowsSubTypesOnlyForQqZone)
{
    RecordingWindowPort port;
    MainWindowState state(port);

    port.setCurrentIndex(IDC_SOURCE_TYPE, 0);
    onSourceTypeChanged(state);
    EXPECT_TRUE(port.visible(IDC_SUB_TYPE));
    EXPECT_EQ(port.itemsOf(IDC_SUB_TYPE),
              (QStringList{QStringLiteral("QQ空间相册"), QStringLiteral("QQ群相册"), QStringLiteral("腾讯微博相册")}));
    EXPECT_EQ(port.currentIndex(IDC_SUB_TYPE), 0);
    EXPECT_EQ(state.sourceTypeIndex.load(), SOURCE_SINA);

    port.setCurrentIndex(IDC_SOURCE_TYPE, 7);
    state.sourceTypeIndex = 7;
    onSourceTypeChanged(state);
    EXPECT_FALSE(port.visible(IDC_SUB_TYPE));
    EXPECT_EQ(state.sourceTypeIndex.load(), SOURCE_SINA);
}

}  // namespace
