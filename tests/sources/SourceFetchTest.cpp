#include "sources/ListAcquisition.h"
#include "sources/ServiceAddresses.h"
#include "sources/SourceFetch.h"
#include "net/PageResponse.h"
#include "net/PageText.h"
#include "support/LoopbackServer.h"
#include "support/PrintQt.h"

#include <gtest/gtest.h>

namespace pictrove {

namespace {

TEST(SourceFetchTest, FillAddressFillsHolesInOrder)
{
    EXPECT_EQ(fillAddress(kWeiboPhotosEndpoint, {QStringLiteral("42"), QStringLiteral("7"), QStringLiteral("3")}),
              QStringLiteral("https://photo.weibo.com/photos/get_all?uid=42&album_id=7&count=32&type=3&page="));
    // A value that looks like a hole is not filled again.
    EXPECT_EQ(fillAddress(u"a=%s&b=%s", {QStringLiteral("%s"), QStringLiteral("x")}), QStringLiteral("a=%s&b=x"));
    // Missing values leave the hole empty.
    EXPECT_EQ(fillAddress(kSinaCategoryEndpoint, {}),
              QStringLiteral("https://photo.blog.sina.com.cn/services/ctg_list_ctg.php?format=gsonv&uid="));
}

TEST(SourceFetchTest, DecimalValueReadsLeadingNumber)
{
    const struct {
        const char *text;
        int value;
    } cases[] = {
        {"12", 12},          {" 33,", 33},  {"-1", -1},   {"+5x", 5}, {"", 0},
        {"abc", 0},          {"7\"}", 7},   {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(decimalValue(QString::fromUtf8(c.text)), c.value);
    }
}

TEST(SourceFetchTest, UnescapeSlashes)
{
    EXPECT_EQ(unescapeSlashes(QStringLiteral("http:\\/\\/ww1.sinaimg.cn\\/large\\/a.jpg")),
              QStringLiteral("http://ww1.sinaimg.cn/large/a.jpg"));
}

TEST(OwnerFolderNameTest, CleansAndEndsInSlash)
{
    const struct {
        QString name;
        QString folder;
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("  a/b: c  "), QStringLiteral("ab c/")},
        {QStringLiteral("小明的博客"), QStringLiteral("小明的博客/")},
        {QStringLiteral("..."), QStringLiteral("。。。/")},
        {QStringLiteral("/"), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(ownerFolderName(c.name), c.folder);
    }
}

TEST(OwnerFolderNameTest, LongNameFitsOneComponent)
{
    // 100 characters of 3 UTF-8 bytes and a final character outside the BMP (4 bytes).
    const QString name = QString(100, QChar(u'博')) + QString::fromUcs4(U"\U0001F600");
    const QString folder = ownerFolderName(name);
    ASSERT_TRUE(folder.endsWith(u'/'));
    const QString component = folder.chopped(1);
    EXPECT_LE(component.toUtf8().size(), 255);
    EXPECT_EQ(component, QString(85, QChar(u'博')));
}

// List pages get a second and third chance while the service may recover; a page
// refused for good fails at once, and the reason says why.
TEST(SourceFetchTest, ListPagesAreRetriedWhileTheServiceMayRecover)
{
    const CannedResponse page = CannedResponse::ok("<p>the pictures</p>");
    const struct {
        const char *what;
        QList<CannedResponse> answers;
        bool ok;
        int requests;
        QList<int> pauses;
        const char *reason;  // start of it
    } cases[] = {
        {"answers at once", {page}, true, 1, {}, ""},
        {"busy twice, then answers", {CannedResponse::error(502), CannedResponse::error(503), page}, true, 3,
         {1000, 3000}, ""},
        {"busy every time", {CannedResponse::error(504)}, false, 3, {1000, 3000}, "HTTP/1.1 504"},
        {"rate limited, then answers", {CannedResponse::error(429), page}, true, 2, {1000}, ""},
        {"refused for good", {CannedResponse::error(404)}, false, 1, {}, "HTTP/1.1 404"},
        {"cut off every time", {CannedResponse::ok("<p>the pictures</p>").withCut(5)}, false, 3, {1000, 3000},
         "cut off (HTTP/1.1 200"},
        // The same page would come again.
        {"larger than any page as it arrives", {CannedResponse::ok(QByteArray(kMaxPageBytes + 1, 'x'))}, false, 1,
         {}, "页面过大"},
        {"larger than any page once inflated",
         {CannedResponse::ok(gzipBytes(QByteArray(kMaxPageBytes + 1, 'x'))).withHeader("Content-Encoding", "gzip")},
         false, 1, {}, "页面过大"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackServer server;
        server.route("", "/list", LoopbackServer::sequence(c.answers));
        PageRequest request(server.baseUrl() + QStringLiteral("/list"), QString());
        QList<int> pauses;
        QString text;
        QString reason;
        EXPECT_EQ(fetchListPage(request, kTextInflate | kTextUtf8, text, [&](int ms) { pauses.append(ms); }, reason), c.ok);
        EXPECT_EQ(server.requestCount(), c.requests);
        EXPECT_EQ(pauses, c.pauses);
        EXPECT_EQ(text, c.ok ? QStringLiteral("<p>the pictures</p>") : QString());
        if (*c.reason)
            EXPECT_TRUE(reason.startsWith(QString::fromUtf8(c.reason))) << reason.toStdString();
        else
            EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
    }
}

}  // namespace

}  // namespace pictrove
