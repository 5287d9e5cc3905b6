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

// "中文" in each encoding.
const QByteArray kGbk("\xD6\xD0\xCE\xC4");
const QByteArray kUtf8("\xE4\xB8\xAD\xE6\x96\x87");
const QByteArray kBig5("\xA4\xA4\xA4\xE5");
const QString kZhongwen = QString::fromUtf16(u"\u4e2d\u6587");

}  // namespace

TEST(isUtf8, LooseRuleTable)
{
    const struct {
        QByteArray input;
        bool expected;
    } cases[] = {
        {QByteArray(), false},
        {"plain ascii", false},
        {"\x80", false},
        {"\xE4\xB8", false},
        {"\xE4\xB8\xAD", true},
        {"a\xC3\xA9z", true},
        {"\xC3\x41", false},
        {"\xC0\x80", true},  // overlong forms pass
        {"\xED\xA0\x80", true},  // so do surrogates
        {"\xFC\x80\x80\x80\x80\x80", true},
        {"\xFE\x80\x80\x80\x80", true},
        {"\xF8\x80\x80\x80", false},
        {kGbk, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input.toHex().toStdString());
        EXPECT_EQ(isUtf8(c.input.constData(), c.input.size()), c.expected);
    }
}

TEST(fromCodePage, EncodingsNulAndBadBytes)
{
    const struct {
        QByteArray input;
        int codePage;
        QString expected;
    } cases[] = {
        {kGbk, kCodePageGbk, kZhongwen},
        {kUtf8, kCodePageUtf8, kZhongwen},
        {kBig5, kCodePageBig5, kZhongwen},
        {"\xC7\xD1\xB1\xB9", kCodePageEucKr, u(u"\ud55c\uad6d")},
        {bytes("ab\0cd", 5), kCodePageUtf8, "ab"},
        // A bad byte costs only itself; conversion goes on after it.
        {"a\xFF" "b\xE4\xB8\xAD", kCodePageUtf8, u(u"ab\u4e2d")},
        {"\xD6\xD0\xFF\xCE\xC4", kCodePageGbk, kZhongwen},
        {"\xFF\xFF", kCodePageUtf8, QString()},
        {"ok\xE4\xB8", kCodePageUtf8, "ok"},
        {QByteArray(), kCodePageGbk, QString()},
        {"abc", 12345, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.input.toHex() + " cp " + QByteArray::number(c.codePage)).toStdString());
        EXPECT_EQ(fromCodePage(c.input, c.codePage), c.expected);
    }
    EXPECT_EQ(fromCodePage(kUtf8.constData(), 3, kCodePageUtf8), u(u"\u4e2d"));
}

TEST(FromAnsiToGbk, GbkBothWays)
{
    EXPECT_EQ(fromAnsi(bytes("\xD6\xD0\0\xCE\xC4", 5)), u(u"\u4e2d"));
    EXPECT_TRUE(fromAnsi(QByteArray()).isEmpty());

    const struct {
        QString input;
        QByteArray expected;
    } cases[] = {
        {kZhongwen, kGbk},
        {"abc", "abc"},
        {QString(), QByteArray()},
        {u(u"\u20ac"), "\x80"},
        // Characters GBK lacks become one '?' each, a surrogate pair included.
        {u(u"a\ud55cb"), "a?b"},
        {u(u"a\U0001F600b"), "a?b"},
        {QString(QChar(0xD800)) + "x", "?x"},
        {"x" + QString(QChar(0xD800)), "x?"},
        {QString::fromUtf16(u"ab\0cd", 5), "ab"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        EXPECT_EQ(toGbk(c.input), c.expected);
    }
}

}  // namespace pictrove
