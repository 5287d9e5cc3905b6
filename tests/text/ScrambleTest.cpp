#include "text/Charsets.h"
#include "text/Scramble.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

namespace pictrove {

namespace {

QString u(const char16_t *s)
{
    return QString::fromUtf16(s);
}

}  // namespace

TEST(complementHex, EncodesComplementsAsUpperHexAndBack)
{
    QByteArray bytes("\x00\x5A\xFF\x10", 4);
    complementHex(bytes, true);
    EXPECT_EQ(bytes, QByteArray("FFA500EF"));
    complementHex(bytes, false);
    EXPECT_EQ(bytes, QByteArray("\x00\x5A\xFF\x10", 4));

    QByteArray empty;
    complementHex(empty, true);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(obscureString, EscapesKeepNulCrLfOutAndRoundTrip)
{
    // With key "a" (0x61): 'a' equals the key byte (escape 0x31), 'l' XOR it is 13
    // (escape 0x32), 'k' XOR it is 10 (escape 0x33). Complemented: 61 -> 9E,
    // 31 -> CE, 32 -> CD, 33 -> CC.
    EXPECT_EQ(obscureString("alk", true, "a"), QString("9ECE9ECD9ECC"));
    EXPECT_EQ(obscureString("9ECE9ECD9ECC", false, "a"), QString("alk"));

    const struct {
        const char16_t *text, *key;
    } cases[] = {
        {u"alk", u"a"},
        {u"line1\r\nline2\r\n", u"key"},
        {u"keykey", u"key"},
        {u"\u4e0b\u8f7d\u5668 http://x.invalid/a?b=1", u"\u5bc6\u94a5"},
        {u"\r\n\r\n", u"\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(u(c.text).toStdString());
        const QString scrambled = obscureString(u(c.text), true, u(c.key));
        QByteArray raw = scrambled.toLatin1();
        complementHex(raw, false);
        EXPECT_FALSE(raw.contains('\0'));
        // Key bytes may themselves be CR or LF; only key-free bytes are checked.
        if (!u(c.key).contains(QLatin1Char('\r')) && !u(c.key).contains(QLatin1Char('\n'))) {
            EXPECT_FALSE(raw.contains('\r'));
            EXPECT_FALSE(raw.contains('\n'));
        }
        EXPECT_EQ(obscureString(scrambled, false, u(c.key)), u(c.text));
    }

    // A dangling escape at the end and an empty key both end quietly.
    EXPECT_EQ(obscureString("9ECE9E", false, "a"), QString("a"));
    EXPECT_TRUE(obscureString("abc", true, "").isEmpty());
}

TEST(shiftBytes, NegatedStartAndStepUndo)
{
    EXPECT_EQ(shiftBytes("Hello", 3, 1), QString("Kiqrv"));
    EXPECT_EQ(shiftBytes("Kiqrv", -3, -1), QString("Hello"));

    const struct {
        const char16_t *text;
        int start, step;
    } cases[] = {
        {u"http://x.invalid/v", -30, 1},
        {u"ABCDEFGHIJ", -20, 3},
        // Multiples of 256 leave every byte, and so GBK text, unchanged.
        {u"\u65b0\u6d6a\u5fae\u535a", 256, 512},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(u(c.text).toStdString());
        const QString shifted = shiftBytes(u(c.text), c.start, c.step);
        EXPECT_EQ(shiftBytes(shifted, -c.start, -c.step), u(c.text));
    }
    EXPECT_EQ(shiftBytes(u(u"\u65b0\u6d6a"), 256, 512), u(u"\u65b0\u6d6a"));
}

}  // namespace pictrove
