#include "net/PageText.h"

#include "net/PageResponse.h"
#include "support/LoopbackServer.h"
#include "text/Charsets.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

namespace pictrove {

namespace {

QString u(const char16_t *s)
{
    return QString::fromUtf16(s);
}

QByteArray bytes(const char *data, qsizetype size)
{
    return QByteArray(data, size);
}

const char kHeadPlain[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
const char kHeadGbk[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=GBK\r\n\r\n";
const char kHeadGzip[] = "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Type: text/html\r\n\r\n";

PageResponse response(const char *head, const QByteArray &body, bool gzip = false)
{
    PageResponse r;
    r.headers = QString::fromLatin1(head);
    r.body = body;
    r.gzip = gzip;
    return r;
}

// "中文" in each encoding.
const QByteArray kGbk("\xD6\xD0\xCE\xC4");
const QByteArray kUtf8("\xE4\xB8\xAD\xE6\x96\x87");
const QByteArray kBig5("\xA4\xA4\xA4\xE5");
const QString kZhongwen = QString::fromUtf16(u"\u4e2d\u6587");

}  // namespace

TEST(getText, CharsetChoice)
{
    const struct {
        const char *name;
        const char *head;
        QByteArray body;
        int flags;
        QString expected;
    } cases[] = {
        {"charset=GBK beats the flags", kHeadGbk, kGbk, kTextInflate | kTextUtf8, kZhongwen},
        {"charset=gbk does not", "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gbk\r\n\r\n", kUtf8,
         kTextUtf8, kZhongwen},
        {"charset=GB2312 does not", "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=GB2312\r\n\r\n", kUtf8,
         kTextUtf8, kZhongwen},
        {"no flag is GBK", kHeadPlain, kGbk, 0, kZhongwen},
        {"UTF-8 before BIG5", kHeadPlain, kUtf8, kTextUtf8 | kTextBig5, kZhongwen},
        {"EUC-KR before BIG5", kHeadPlain, "\xC7\xD1", kTextEucKr | kTextBig5, u(u"\ud55c")},
        {"BIG5", kHeadPlain, kBig5, kTextBig5, kZhongwen},
        {"auto, UTF-8 body", kHeadPlain, kUtf8, kTextAuto, kZhongwen},
        {"auto, GBK body", kHeadPlain, kGbk, kTextAuto, kZhongwen},
        {"entities always decoded", kHeadPlain, "Tom &amp; Jerry&nbsp;&#39;", kTextUtf8, "Tom & Jerry '"},
        // A stray NUL never ends the page: what follows it is still read.
        {"NUL dropped from a UTF-8 page", kHeadPlain, bytes("ab\0cd", 5), kTextUtf8, "abcd"},
        {"NUL dropped from a GBK page", kHeadGbk, bytes("\xD6\xD0\0\xCE\xC4\0", 6), 0, kZhongwen},
        {"NUL dropped from a BIG5 page", kHeadPlain, kBig5.left(2) + QByteArray(1, '\0') + kBig5.mid(2), kTextBig5,
         kZhongwen},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(getText(response(c.head, c.body), c.flags), c.expected);
    }
}

TEST(getText, GzipBodiesAreInflatedThenTrimmed)
{
    const QByteArray page = "<html><head><title>x</title></head><body><div class=\"list\">"
                            "<a href=\"/s/1.html\">\xE6\x98\xA5\xE6\xB8\xB8 &amp; more</a>"
                            "</div><!-- list end --><div class=\"foot\">" +
        QByteArray("footer ").repeated(200) + "</div></body></html>";
    PageResponse r = response(kHeadGzip, gzipBytes(page), true);
    r.startMarker = "<div class=\"list\">";
    r.endMarker = "</div><!-- list end -->";
    EXPECT_EQ(getText(r, kTextInflate | kTextUtf8), u(u"<a href=\"/s/1.html\">\u6625\u6e38 & more</a>"));

    // Without markers the whole page comes back.
    r.startMarker.clear();
    r.endMarker.clear();
    EXPECT_EQ(getText(r, kTextInflate | kTextUtf8), fromCodePage(page, kCodePageUtf8).replace("&amp;", "&"));
}

// A small gzip body that inflates to far more than a page: only the first
// kMaxPageBytes are inflated and decoded, and the text is said to be cut. A page that
// fills the limit exactly, or a stream cut short before it, is not.
TEST(getText, GzipBombStopsAtThePageLimit)
{
    const QByteArray bomb = gzipBytes(QByteArray(4 * kMaxPageBytes, ' '));
    ASSERT_LT(bomb.size(), kMaxPageBytes / 64);
    bool cut = false;
    EXPECT_EQ(getText(response(kHeadGzip, bomb, true), kTextInflate | kTextUtf8, &cut).size(), kMaxPageBytes);
    EXPECT_TRUE(cut);

    const QByteArray full = gzipBytes(QByteArray(kMaxPageBytes, ' '));
    const struct {
        const char *what;
        QByteArray body;
    } whole[] = {
        {"exactly the limit", full},
        {"a truncated stream", full.left(full.size() / 2)},
    };
    for (const auto &c : whole) {
        SCOPED_TRACE(c.what);
        cut = true;
        (void)getText(response(kHeadGzip, c.body, true), kTextInflate | kTextUtf8, &cut);
        EXPECT_FALSE(cut);
    }
}

TEST(getText, TruncatedGzipGivesWhatWasInflated)
{
    QByteArray page;
    for (int i = 0; i < 20000; ++i)
        page += "<li>" + QByteArray::number(i * 7919) + "</li>";
    const QByteArray gz = gzipBytes(page);
    const QString text = getText(response(kHeadGzip, gz.left(gz.size() / 2), true), kTextInflate | kTextUtf8);
    EXPECT_GT(text.size(), 1000);
    EXPECT_LT(text.size(), page.size());
    EXPECT_TRUE(QString::fromLatin1(page).startsWith(text));
}

TEST(getText, MarkersOnlyTrimGzipFlaggedBodies)
{
    // A plain body was trimmed while it was received; trimming again would cut
    // a second occurrence of the markers out of the page.
    PageResponse plain = response(kHeadPlain, "<b>a</b><b>c</b>");
    plain.startMarker = "<b>";
    plain.endMarker = "</b>";
    EXPECT_EQ(getText(plain, kTextInflate | kTextUtf8), "<b>a</b><b>c</b>");

    // A head that mentions gzip over a body that is not compressed: the body is
    // read as it came rather than inflated to nothing. The markers still apply.
    PageResponse mislabelled = response(kHeadGzip, "head|\xE4\xB8\xAD|tail", true);
    EXPECT_EQ(getText(mislabelled, kTextInflate | kTextUtf8), u(u"head|\u4e2d|tail"));
    mislabelled.startMarker = "head|";
    mislabelled.endMarker = "|tail";
    EXPECT_EQ(getText(mislabelled, kTextInflate | kTextUtf8), u(u"\u4e2d"));
}

}  // namespace pictrove
