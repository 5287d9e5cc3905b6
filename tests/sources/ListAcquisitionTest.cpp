// Get List without the network: the command's state handling and the address checks
// that end a list before any page is fetched.

#include "sources/ListAcquisition.h"
#include "sources/MainWindowState.h"
#include "support/RecordingWindowPort.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

class ListAcquisitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        state.dataFolder = m_dir.path() + u'/';
        state.readyFlag = 1;
    }

    QTemporaryDir m_dir;
    RecordingWindowPort port;
    MainWindowState state{port};
};

TEST_F(ListAcquisitionTest, IgnoredUntilReady)
{
    state.readyFlag = 0;
    port.setText(IDC_OWNER_ADDRESS, QStringLiteral("  "));
    GetListCommand(state);
    state.waitForThreads();
    EXPECT_EQ(state.listState.load(), LIST_IDLE);
    EXPECT_TRUE(port.messages().isEmpty());
}

TEST_F(ListAcquisitionTest, PressingWhileRunningRequestsStop)
{
    for (const uint8_t running : {LIST_RUNNING, LIST_STOP}) {
        state.listState = running;
        GetListCommand(state);
        EXPECT_EQ(state.listState.load(), LIST_STOP);
    }
    state.waitForThreads();
    EXPECT_TRUE(port.messages().isEmpty());
}

TEST_F(ListAcquisitionTest, EmptyAddressOnlyComplains)
{
    port.setText(IDC_OWNER_ADDRESS, QStringLiteral(" \t "));
    state.sourceTypeIndex = 7;
    GetListCommand(state);
    state.waitForThreads();

    EXPECT_EQ(port.messages(), QStringList{QString::fromUtf16(kNoAddressMessage)});
    EXPECT_EQ(state.listState.load(), LIST_IDLE);
    EXPECT_EQ(state.listType.load(), LIST_TYPE_STARTING);
    EXPECT_EQ(state.sourceTypeIndex.load(), 4);
    // The window never entered the running state.
    EXPECT_TRUE(port.textsOf(IDC_GET_LIST).isEmpty());
    EXPECT_TRUE(port.enabled(IDC_OWNER_ADDRESS));
}

TEST_F(ListAcquisitionTest, NonWebAddressShowsNoAlbums)
{
    port.setText(IDC_OWNER_ADDRESS, QStringLiteral("weibo.com/u/1234"));
    port.setChecked(IDC_SELECT_ALL, true);
    GetListCommand(state);
    state.waitForThreads();

    EXPECT_EQ(port.messages(), QStringList{QString::fromUtf16(kNotWebAddressMessage)});
    EXPECT_EQ(port.textsOf(IDC_GET_LIST), (QStringList{QStringLiteral("终止获取"), QStringLiteral("获取相册")}));
    EXPECT_EQ(port.text(IDC_LIST_FRAME), QStringLiteral("相册列表(共0个)"));
    EXPECT_EQ(port.text(IDC_STATUS), QStringLiteral("获取相册列表完成，共0个"));
    EXPECT_EQ(port.text(IDC_STATUS_DETAIL), QString());
    EXPECT_FALSE(port.isChecked(IDC_SELECT_ALL));
    EXPECT_FALSE(port.visible(IDC_BANNER));
    EXPECT_FALSE(port.enabled(IDC_DOWNLOAD));
    for (const int id : {IDC_SOURCE_TYPE, IDC_OWNER_ADDRESS, IDC_THUMBNAILS, IDC_PRAISE_LINK1, IDC_FIND,
                         IDC_FILTER, IDC_EXPORT}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(port.enabled(id));
    }
    EXPECT_EQ(state.listState.load(), LIST_IDLE);
    EXPECT_TRUE(port.historyOf(IDC_OWNER_ADDRESS).isEmpty());
}

}  // namespace
