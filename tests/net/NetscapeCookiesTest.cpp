#include "net/NetscapeCookies.h"

#include <gtest/gtest.h>

namespace pictrove {

TEST(NetscapeCookies, ParsesLinesAndFormatsThemBack)
{
    const struct {
        QByteArray line;
        bool ok;
        QByteArray formatted;  // what a parsed line is written back as
    } cases[] = {
        {".weibo.com\tTRUE\t/\tFALSE\t0\tSUB\tabc", true, ".weibo.com\tTRUE\t/\tFALSE\t0\tSUB\tabc"},
        {"#HttpOnly_photo.weibo.com\tFALSE\t/p\tTRUE\t4102444800\tid\tv 1\r", true,
         "#HttpOnly_photo.weibo.com\tFALSE\t/p\tTRUE\t4102444800\tid\tv 1"},
        // Some exporters drop the tab before an empty value.
        {"weibo.com\tFALSE\t/\tFALSE\t0\tempty", true, "weibo.com\tFALSE\t/\tFALSE\t0\tempty\t"},
        // A no-break space after the dot: read back from its own line, the domain must
        // come out the same (found by fuzzing).
        {". \xC2\xA0weibo.com\tTRUE\t/\tFALSE\t0\tSUB\tabc", true, ".weibo.com\tTRUE\t/\tFALSE\t0\tSUB\tabc"},
        {"# Netscape HTTP Cookie File", false, ""},
        {"", false, ""},
        {"weibo.com\tFALSE\t/\tFALSE\tsoon\tn\tv", false, ""},
        {"weibo.com\tFALSE\t/\tFALSE\t0\t\tv", false, ""},
        {"weibo.com\tFALSE\t/\tFALSE\t0\tn\tv;evil=1", false, ""},
        {"too\tfew\tfields", false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        CookieFields cookie;
        ASSERT_EQ(parseNetscapeLine(c.line, cookie), c.ok);
        if (c.ok) {
            EXPECT_EQ(formatNetscapeLine(cookie), c.formatted);
        }
    }
}

TEST(NetscapeCookies, DecidesWhichCookiesGoToAnAddress)
{
    const qint64 now = 1'700'000'000;
    CookieFields domain{.domain = ".weibo.com", .name = "d"};
    CookieFields hostOnly{.domain = "weibo.com", .name = "h", .hostOnly = true};
    CookieFields secure{.domain = "weibo.com", .name = "s", .secure = true};
    CookieFields scoped{.domain = "weibo.com", .path = "/p", .name = "p"};
    CookieFields expired{.domain = "weibo.com", .name = "e", .expiry = now - 1};
    CookieFields later{.domain = "weibo.com", .name = "l", .expiry = now + 60};
    const struct {
        const char *what;
        const CookieFields &cookie;
        const char *scheme;
        const char *host;
        const char *path;
        bool sent;
    } cases[] = {
        {"domain cookie to the domain", domain, "http", "weibo.com", "/", true},
        {"domain cookie to a subdomain", domain, "http", "photo.weibo.com", "/", true},
        {"domain cookie to a look-alike", domain, "http", "notweibo.com", "/", false},
        {"host-only cookie to its host", hostOnly, "http", "WEIBO.com", "/", true},
        {"host-only cookie to a subdomain", hostOnly, "http", "photo.weibo.com", "/", false},
        {"secure cookie over https", secure, "https", "weibo.com", "/", true},
        {"secure cookie over http", secure, "http", "weibo.com", "/", false},
        {"path cookie on its path", scoped, "http", "weibo.com", "/p", true},
        {"path cookie below its path", scoped, "http", "weibo.com", "/p/q", true},
        {"path cookie on a longer name", scoped, "http", "weibo.com", "/pq", false},
        {"path cookie elsewhere", scoped, "http", "weibo.com", "/", false},
        {"expired cookie", expired, "http", "weibo.com", "/", false},
        {"unexpired cookie", later, "http", "weibo.com", "/", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cookieMatches(c.cookie, c.scheme, c.host, c.path, now), c.sent);
    }
}

}  // namespace pictrove
