#include "net/Gunzip.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QByteArray>

namespace {

QByteArray gzipOf(const QByteArray &plain)
{
    z_stream s{};
    deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&s, uLong(plain.size()))) + 32, '\0');
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.data()));
    s.avail_in = uInt(plain.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
    out.resize(qsizetype(s.total_out));
    deflateEnd(&s);
    return out;
}

}  // namespace

TEST(Gunzip, InflatesGzipAndZlibStreams)
{
    const QByteArray plain = QByteArray("<ul>album</ul>").repeated(2000);
    const QByteArray gz = gzipOf(plain);
    QByteArray out;
    EXPECT_TRUE(Gunzip(out, gz.constData(), gz.size()));
    EXPECT_EQ(out, plain);

    const QByteArray z = qCompress(plain).mid(4);  // qCompress prefixes a length
    out.clear();
    EXPECT_TRUE(Gunzip(out, z.constData(), z.size()));
    EXPECT_EQ(out, plain);
}

TEST(Gunzip, TruncatedStreamKeepsWhatWasInflated)
{
    QByteArray plain;
    for (int i = 0; i < 20000; ++i)
        plain += QByteArray::number(i * 7919) + ',';
    const QByteArray gz = gzipOf(plain);
    QByteArray out;
    EXPECT_FALSE(Gunzip(out, gz.constData(), gz.size() / 2));
    EXPECT_GT(out.size(), 0);
    EXPECT_TRUE(plain.startsWith(out));
}

TEST(Gunzip, BombStopsAtTheLimit)
{
    const QByteArray gz = gzipOf(QByteArray(kGunzipLimit + 1024 * 1024, 'a'));
    ASSERT_LT(gz.size(), 200 * 1024);
    QByteArray out;
    EXPECT_FALSE(Gunzip(out, gz.constData(), gz.size()));
    EXPECT_EQ(out.size(), kGunzipLimit);
}
