#include "net/UrlCanonical.h"

#include <gtest/gtest.h>

namespace pictrove {

TEST(UrlCanonical, EncodesUnsafeCharactersAndRejectsWhatCannotBeFetched)
{
    const struct {
        QString url;
        QByteArray wire;  // empty: unparsable
    } cases[] = {
        {"http://blog.sina.com.cn/s/articlelist_1.html", "http://blog.sina.com.cn/s/articlelist_1.html"},
        // The random fraction's line feed goes as %0A; the rest of a query stays as given.
        {"http://photo.weibo.com/p?r=0.123\n", "http://photo.weibo.com/p?r=0.123%0A"},
        {"http://h.cn/a b/图?q=图 x#frag ment", "http://h.cn/a%20b/%E5%9B%BE?q=%E5%9B%BE%20x#frag%20ment"},
        {"http://h.cn/already%20encoded/?a=%41&b=c", "http://h.cn/already%20encoded/?a=%41&b=c"},
        {"https://h.cn:8443/p|{x}", "https://h.cn:8443/p%7C%7Bx%7D"},
        {"  http://h.cn/lead", "http://h.cn/lead"},
        {"HTTP://h.cn", "HTTP://h.cn"},
        {"ftp://h.cn/file", ""},
        {"file:///etc/passwd", ""},
        {"not a url", ""},
        {"http://", ""},
        // A NUL or a blank in the host would make libcurl fetch another host; in the
        // path it is only a character to encode.
        {QStringLiteral("http://weibo.com") + QChar(0) + QStringLiteral(".evil.example/u/1"), ""},
        {"http://wei bo.com/u/1", ""},
        {QStringLiteral("http://h.cn/a") + QChar(0) + QStringLiteral("b"), "http://h.cn/a%00b"},
        {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        EXPECT_EQ(canonicalUrl(c.url), c.wire);
    }
}

}  // namespace pictrove
