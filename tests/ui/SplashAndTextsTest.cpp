// The start-up splash and the program's stored texts.

#include "UiTestSupport.h"

#include "ui/startup/SplashScreen.h"
#include "ui/startup/StoredTexts.h"

#include <gtest/gtest.h>

#include <QBitmap>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace pictrove {

namespace {

TEST(SplashTest, ShapedByItsPictureAndEndedByEsc)
{
    QPointer<SplashScreen> splash =
        new SplashScreen(nullptr, SplashScreen::FadeIn | SplashScreen::FadeOut | SplashScreen::CenterOnScreen, 0);
    splash->setText(splashText());
    EXPECT_EQ(splash->size(), splash->picture().size());
    // The colour key is cut away: the rounded corner is outside the window's shape.
    const QImage picture = splash->picture().toImage();
    EXPECT_EQ(picture.pixel(0, 0), SplashScreen::kColourKey);
    EXPECT_FALSE(splash->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(splash->mask().contains(QPoint(160, 100)));

    splash->showSplash();
    EXPECT_TRUE(splash->isVisible());
    saveScreenshot(splash, QStringLiteral("splash"));

    QSignalSpy escape(splash.data(), &SplashScreen::escapePressed);
    QTest::keyClick(splash.data(), Qt::Key_A);
    EXPECT_EQ(escape.count(), 0);
    QTest::keyClick(splash.data(), Qt::Key_Escape);
    EXPECT_EQ(escape.count(), 1);

    splash->hideSplash();
    EXPECT_TRUE(waitUntil([&splash] { return splash.isNull(); }));  // faded out, then gone
}

TEST(StoredTextsTest, DecodeToOurWording)
{
    EXPECT_EQ(bannerText(),
              QStringLiteral("欢迎使用 Pictrove：粘贴相册主人的网址，点击“获取相册”，选中要保存的相册后点击“下载”。"));
    EXPECT_EQ(splashText(), QStringLiteral("Pictrove 正在启动，正在读取来源配置……"));
    EXPECT_EQ(aboutText(), QStringLiteral("Pictrove 新浪博客与微博相册批量下载工具"));
    EXPECT_EQ(homePageAddress(), QStringLiteral("https://pictrove.example/"));
}

}  // namespace

}  // namespace pictrove
