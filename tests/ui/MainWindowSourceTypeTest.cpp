// The source-type selector and the QQ sub-type selector, moved by the owner address
// the user types or picks, and the session's source type that lists run as.

#include "UiTestSupport.h"

#include "sources/AddressClassifier.h"
#include "sources/Session.h"
#include "sources/SourceConfigService.h"
#include "support/PrintQt.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/mainwindow/MainWindow.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace pictrove {

namespace {

class MainWindowSourceTypeTest : public ::testing::Test {
protected:
    void SetUp() override { freshWindow(); }

    void freshWindow()
    {
        window = std::make_unique<MainWindow>(shell);
        setControlItems(sourceType(), builtInSourceTypeNames());
        // Whatever the last list left; classifying sets it back to Sina.
        window->session().sourceType = SourceType::Zol;
    }

    QComboBox *sourceType() const { return qobject_cast<QComboBox *>(window->control(kControlSourceType)); }
    QComboBox *subType() const { return qobject_cast<QComboBox *>(window->control(kControlSubType)); }
    HistoryComboBox *owner() const { return qobject_cast<HistoryComboBox *>(window->control(kControlOwnerAddress)); }

    RecordingShell shell;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowSourceTypeTest, TheAddressSelectsServiceAndSubType)
{
    const struct {
        const char *address;
        SourceType selectedBefore;
        SourceType expected;
        int expectedSubType;  // -1: the sub-type selector was never filled
    } cases[] = {
        {"https://weibo.com/u/1234567890", SourceType::Yupoo, SourceType::Sina, -1},
        {"http://blog.sina.com.cn/u/1234567890", SourceType::QqZone, SourceType::Sina, -1},
        {"https://item.taobao.com/item.htm?id=1", SourceType::Sina, SourceType::Shops, -1},
        {"https://detail.tmall.com/item.htm?id=1", SourceType::Sina, SourceType::Shops, -1},
        {"https://detail.1688.com/offer/1.html", SourceType::Sina, SourceType::Shops, -1},
        {"https://user.qzone.qq.com/10001", SourceType::Sina, SourceType::QqZone, 0},
        {"http://t.qq.com/someone", SourceType::Sina, SourceType::QqZone, 2},
        {"http://qun.qq.com/air/#1234", SourceType::Sina, SourceType::QqZone, 1},
        {"https://www.topit.me/user/1", SourceType::Sina, SourceType::Topit, -1},
        {"https://www.instagram.com/someone/", SourceType::Sina, SourceType::Instagram, -1},
        // The first service in selector order wins.
        {"https://weibo.com/?from=qq.com", SourceType::Sina, SourceType::QqZone, 0},
        // An unknown host keeps the selection.
        {"https://example.org/album", SourceType::Yupoo, SourceType::Yupoo, -1},
        // Fragments count only after the first character: here none is a host.
        {"weibo.com/u/1 http://example.org", SourceType::Yupoo, SourceType::Yupoo, -1},
        // Not a web address: nothing moves.
        {"weibo.com/u/1", SourceType::Yupoo, SourceType::Yupoo, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        freshWindow();
        const QString address = QString::fromUtf8(c.address);
        owner()->setEditText(address);
        sourceType()->setCurrentIndex(int(c.selectedBefore));

        window->classifyOwnerAddress();

        EXPECT_EQ(sourceType()->currentIndex(), int(c.expected));
        EXPECT_EQ(subType()->currentIndex(), c.expectedSubType);
        EXPECT_EQ(!subType()->isHidden(), c.expectedSubType >= 0);
        // Whenever the address was classified, the list runs as the Sina type.
        const bool web = address.contains(u"http://") || address.contains(u"https://");
        EXPECT_EQ(window->session().sourceType.load(), web ? SourceType::Sina : SourceType::Zol);
    }
}

TEST_F(MainWindowSourceTypeTest, OnlyQqZoneShowsTheSubTypes)
{
    sourceType()->setCurrentIndex(int(SourceType::QqZone));
    Q_EMIT sourceType()->activated(int(SourceType::QqZone));  // as when the user picks it
    EXPECT_FALSE(subType()->isHidden());
    QStringList items;
    for (int i = 0; i < subType()->count(); ++i)
        items.append(subType()->itemText(i));
    EXPECT_EQ(items, (QStringList{QStringLiteral("QQ空间相册"), QStringLiteral("QQ群相册"), QStringLiteral("腾讯微博相册")}));
    EXPECT_EQ(subType()->currentIndex(), 0);
    EXPECT_EQ(window->session().sourceType.load(), SourceType::Sina);

    sourceType()->setCurrentIndex(int(SourceType::Yupoo));
    window->session().sourceType = SourceType::Yupoo;
    Q_EMIT sourceType()->activated(int(SourceType::Yupoo));
    EXPECT_TRUE(subType()->isHidden());
    EXPECT_EQ(window->session().sourceType.load(), SourceType::Sina);
    // A service the program cannot read says so when picked.
    EXPECT_EQ(controlText(window->control(kControlStatus)), QStringLiteral("该来源暂不支持：只能获取新浪博客和新浪微博的相册"));
}

TEST_F(MainWindowSourceTypeTest, TypingOrPickingAnAddressClassifiesIt)
{
    QTest::keyClicks(owner()->lineEdit(), QStringLiteral("http://t.qq.com/a"));
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::QqZone));
    EXPECT_EQ(subType()->currentIndex(), int(QqSubType::WeiboAlbums));

    // Filled by the program: no classification.
    owner()->setEditText(QStringLiteral("https://weibo.com/u/1"));
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::QqZone));

    Q_EMIT owner()->entryChosen();
    EXPECT_EQ(sourceType()->currentIndex(), int(SourceType::Sina));
    EXPECT_TRUE(subType()->isHidden());
}

}  // namespace

}  // namespace pictrove
