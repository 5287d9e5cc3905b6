#include "net/Gunzip.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <QByteArray>

namespace pictrove {

TEST(Gunzip, InflatesGzipAndZlibStreams)
{
    const QByteArray plain = QByteArray("<ul>album</ul>").repeated(2000);
    const QByteArray gz = gzipBytes(plain);
    QByteArray out;
    EXPECT_TRUE(gunzip(out, gz.constData(), gz.size()));
    EXPECT_EQ(out, plain);

    const QByteArray z = qCompress(plain).mid(4);  // qCompress prefixes a length
    out.clear();
    EXPECT_TRUE(gunzip(out, z.constData(), z.size()));
    EXPECT_EQ(out, plain);
}

TEST(Gunzip, TruncatedStreamKeepsWhatWasInflated)
{
    QByteArray plain;
    for (int i = 0; i < 20000; ++i)
        plain += QByteArray::number(i * 7919) + ',';
    const QByteArray gz = gzipBytes(plain);
    QByteArray out;
    EXPECT_FALSE(gunzip(out, gz.constData(), gz.size() / 2));
    EXPECT_GT(out.size(), 0);
    EXPECT_TRUE(plain.startsWith(out));
}

TEST(Gunzip, BombStopsAtTheLimit)
{
    const QByteArray gz = gzipBytes(QByteArray(kGunzipLimit + 1024 * 1024, 'a'));
    ASSERT_LT(gz.size(), 200 * 1024);
    QByteArray out;
    EXPECT_FALSE(gunzip(out, gz.constData(), gz.size()));
    EXPECT_EQ(out.size(), kGunzipLimit);
}

}  // namespace pictrove
