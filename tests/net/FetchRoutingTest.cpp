// How fetches reach servers: real host names routed to loopback, TLS with certificate
// checks, connections kept between fetches, many threads at once.
#include "net/CookieStore.h"
#include "net/NetworkSetup.h"
#include "net/PageFetcher.h"
#include "support/LoopbackServer.h"
#include "support/ScopedRouting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace pictrove {

TEST(FetchRouting, RealHostNameReachesTheLoopbackServer)
{
    LoopbackServer server;
    server.route("blog.sina.com.cn", "/s/articlelist_1_0_1.html", CannedResponse::ok("articles"));
    ScopedRouting routing(server, {"blog.sina.com.cn"});

    PageRequest request("http://blog.sina.com.cn/s/articlelist_1_0_1.html?r=0.25\n", QString());
    request.headers = "Accept-Encoding: gzip, deflate\r\nReferer: http://blog.sina.com.cn/\r\n";
    PageResponse response;
    ASSERT_TRUE(fetch(request, response, kFetchMsieAgent));
    EXPECT_EQ(response.body, "articles");

    const RecordedRequest received = server.requests().value(0);
    EXPECT_EQ(received.header("Host"), "blog.sina.com.cn");
    EXPECT_EQ(received.target, "/s/articlelist_1_0_1.html?r=0.25%0A");
    EXPECT_EQ(received.header("User-Agent"), kMsieUserAgent);
    EXPECT_EQ(received.header("Referer"), "http://blog.sina.com.cn/");
    // Asked for by the caller and sent, but never decoded by the fetcher.
    EXPECT_EQ(received.header("Accept-Encoding"), "gzip, deflate");
}

TEST(FetchRouting, HttpsChecksTheCertificate)
{
    LoopbackServer server(LoopbackServer::Https);
    server.route("photo.weibo.com", "/albums", CannedResponse::ok("secret albums"));
    ScopedRouting routing(server, {"photo.weibo.com", "evil.example.org"});

    const struct {
        const char *what;
        const char *url;
        bool trustTestCa;
        bool ok;
    } cases[] = {
        {"trusted certificate, name matches", "https://photo.weibo.com/albums", true, true},
        {"name not in the certificate", "https://evil.example.org/albums", true, false},
        {"certificate authority not trusted", "https://photo.weibo.com/albums", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        setCaFile(c.trustTestCa ? LoopbackServer::caFile() : QString());
        PageRequest request(c.url, QString());
        PageResponse response;
        EXPECT_EQ(fetchOnce(request, response), c.ok);
        EXPECT_EQ(response.body, c.ok ? "secret albums" : "");
        setCaFile(LoopbackServer::caFile());
    }
}

TEST(FetchRouting, ConnectionIsReusedForTheNextPicture)
{
    LoopbackServer server;
    server.route("wx1.sinaimg.cn", "/large/a.jpg", CannedResponse::ok(QByteArray(4096, 'a'), "image/jpeg"));
    ScopedRouting routing(server, {"wx1.sinaimg.cn"});
    for (int i = 0; i < 3; ++i) {
        PageRequest request("http://wx1.sinaimg.cn/large/a.jpg", QString());
        PageResponse response;
        ASSERT_TRUE(fetch(request, response, kFetchInflateForChecks));
    }
    EXPECT_EQ(server.requestCount(), 3);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST(FetchRouting, ManyThreadsFetchAndShareCookiesAtOnce)
{
    LoopbackServer server(LoopbackServer::Https);
    std::atomic<int> served{0};
    server.route("", "/pic", [&served](const RecordedRequest &request) {
        const int n = ++served;
        return CannedResponse::ok(request.query().repeated(100), "image/jpeg")
            .withCookie("seen" + QByteArray::number(n % 5) + "=1; Path=/");
    });
    ScopedRouting routing(server, {"wx2.sinaimg.cn"});
    CookieStore::process().clear();

    constexpr int kThreads = 8;
    constexpr int kEach = 5;
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &good] {
            for (int i = 0; i < kEach; ++i) {
                const QByteArray query = QByteArray::number(t * 100 + i);
                PageRequest request(QString("https://wx2.sinaimg.cn/pic?") + query, QString());
                PageResponse response;
                if (fetch(request, response) && response.body == query.repeated(100))
                    ++good;
                getCookies("https://wx2.sinaimg.cn/");
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(good.load(), kThreads * kEach);
    EXPECT_EQ(getCookies("https://wx2.sinaimg.cn/").split("; ").size(), 5);
    CookieStore::process().clear();
}

}  // namespace pictrove
