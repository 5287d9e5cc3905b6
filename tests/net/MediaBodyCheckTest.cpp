// What may be saved as a picture: the answer's head and the body's first bytes decide
// whether a body is clearly not media (empty, a page, a JSON answer), and whether a
// page sends the user to log in.
#include "net/MediaBodyCheck.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

namespace pictrove {

namespace {

QByteArray headWith(const QByteArray &contentType, const QByteArray &more = QByteArray())
{
    QByteArray head = "HTTP/1.1 200 OK\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    return head + more + "Content-Length: 1\r\n";
}

const QByteArray kJpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10);
const QByteArray kLoginPage = "<!DOCTYPE html>\n<html><head><title>Sina Visitor System</title></head><body>"
                              "<script>location.replace('https://passport.weibo.com/visitor/visitor');</script>"
                              "</body></html>";
const QByteArray kErrorPage = "<html><body><h1>502 Bad Gateway</h1></body></html>";

TEST(MediaBodyCheck, RefusesOnlyWhatIsClearlyNotAPictureOrVideo)
{
    const struct {
        const char *what;
        QByteArray head;
        QByteArray body;
        BodyRefusal refusal;
    } cases[] = {
        {"empty", headWith("image/jpeg"), "", BodyRefusal::Empty},
        {"a JPEG", headWith("image/jpeg"), kJpeg, BodyRefusal::None},
        {"a JPEG sent as text/html", headWith("text/html; charset=utf-8"), kJpeg, BodyRefusal::None},
        {"a GIF sent as JSON", headWith("application/json"), "GIF89a\x01\x00", BodyRefusal::None},
        {"an MP4 video", headWith("video/mp4"), QByteArray("\0\0\0\x18" "ftypmp42", 12), BodyRefusal::None},
        {"an MP4 sent as text/html", headWith("text/html"), QByteArray("\0\0\0\x18" "ftypisom", 12),
         BodyRefusal::None},
        {"a QuickTime movie of the older kind sent as text/html", headWith("text/html"),
         QByteArray("\0\0\0\x08" "wide\0\0\x10\0mdat", 16), BodyRefusal::None},
        // No picture format is required: a format never seen passes unless it is a page.
        {"unknown bytes as a picture", headWith("image/x-new"), "\x01\x02\x03 whatever", BodyRefusal::None},
        {"unknown bytes without a type", headWith(""), "some bytes", BodyRefusal::None},
        {"an SVG picture", headWith("image/svg+xml"), "<?xml version=\"1.0\"?>\n<svg xmlns=\"x\"></svg>",
         BodyRefusal::None},
        {"an SVG without a declaration", headWith(""), "<svg width=\"1\"></svg>", BodyRefusal::None},
        {"an error page", headWith("text/html"), kErrorPage, BodyRefusal::WebPage},
        {"a page sent as a picture", headWith("image/jpeg"), kErrorPage, BodyRefusal::WebPage},
        {"a page after a byte order mark and blanks", headWith("application/octet-stream"),
         "\xEF\xBB\xBF \r\n\t<!doctype HTML><p>gone", BodyRefusal::WebPage},
        {"XHTML", headWith(""), "<?xml version=\"1.0\"?>\n<html xmlns=\"x\"><body/></html>", BodyRefusal::WebPage},
        {"anything declared text/html", headWith("TEXT/HTML"), "not found", BodyRefusal::WebPage},
        {"the visitor page", headWith("text/html"), kLoginPage, BodyRefusal::LoginPage},
        {"a login page sent as a picture", headWith("image/jpeg"), kLoginPage, BodyRefusal::LoginPage},
        {"a login host after a long head", headWith("text/html"),
         "<html><head><style>" + QByteArray(20000, ' ') + "</style></head><a href=\"//passport.weibo.cn/\">",
         BodyRefusal::LoginPage},
        {"a login page in GBK", headWith("text/html; charset=gbk"),
         "<html><body>\xC7\xEB\xCF\xC8\xB5\xC7\xC2\xBC</body></html>", BodyRefusal::LoginPage},
        {"a login host in capitals", headWith("text/html"), "<html><a href=\"https://LOGIN.SINA.COM.CN/\">",
         BodyRefusal::LoginPage},
        {"a JSON error", headWith("application/json"), "{\"ok\":0,\"msg\":\"not found\"}", BodyRefusal::Json},
        {"a JSON error sent as text/html", headWith("text/html"), " {\"error\": 1}", BodyRefusal::Json},
        {"a JSON array sent as a picture", headWith("image/jpeg"), "[{\"a\":1}]", BodyRefusal::Json},
        {"anything declared JSON", headWith("application/problem+json"), "nothing", BodyRefusal::Json},
        {"JSON that asks for a login", headWith("application/json"),
         "{\"ok\":-100,\"url\":\"https://passport.weibo.com/sso/signin\"}", BodyRefusal::LoginPage},
        {"a gzip page", headWith("text/plain", "Content-Encoding: gzip\r\n"), gzipBytes(kLoginPage),
         BodyRefusal::LoginPage},
        {"a gzip picture", headWith("text/html", "Content-Encoding: gzip\r\n"), gzipBytes(kJpeg), BodyRefusal::None},
        {"a gzip empty body", headWith("image/jpeg", "Content-Encoding: gzip\r\n"), gzipBytes(""),
         BodyRefusal::Empty},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(checkMediaBody(c.head, c.body), c.refusal);
    }
}

}  // namespace

}  // namespace pictrove
