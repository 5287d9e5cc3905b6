// The clipboard text the address boxes take: up to its first NUL, empty when the
// clipboard holds no text.

#include "UiTestSupport.h"

#include "support/PrintQt.h"
#include "ui/platform/Clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pictrove {

namespace {

TEST(ClipboardTest, TextUpToItsFirstNul)
{
    const struct {
        const char *what;
        QString copied;
        QString taken;
    } cases[] = {
        {"plain address", QStringLiteral("http://blog.sina.com.cn/u/1"), QStringLiteral("http://blog.sina.com.cn/u/1")},
        {"junk after a NUL", QString::fromUtf16(u"http://blog.sina.com.cn/u/1\0junk", 32),
         QStringLiteral("http://blog.sina.com.cn/u/1")},
        {"NUL first", QString::fromUtf16(u"\0http://weibo.com/u/2", 21), QString()},
        {"two NULs", QString::fromUtf16(u"相册\0a\0b", 6), QStringLiteral("相册")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QGuiApplication::clipboard()->setText(c.copied);
        ASSERT_EQ(QGuiApplication::clipboard()->text(), c.copied);  // the platform keeps what follows a NUL
        EXPECT_EQ(clipboardText(), c.taken);
    }
}

TEST(ClipboardTest, EmptyWithoutText)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("http://blog.sina.com.cn/u/1"));
    QGuiApplication::clipboard()->clear();
    EXPECT_TRUE(clipboardText().isEmpty());

    auto *picture = new QMimeData;
    picture->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    QGuiApplication::clipboard()->setMimeData(picture);
    EXPECT_TRUE(clipboardText().isEmpty());
}

}  // namespace

}  // namespace pictrove
