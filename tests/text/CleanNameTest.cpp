#include "text/CleanName.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QString>

namespace pictrove {

namespace {

QString u(const char16_t *s)
{
    return QString::fromUtf16(s);
}

}  // namespace

TEST(cleanName, StepsRunInOrder)
{
    const struct {
        const char16_t *text, *expected;
    } cases[] = {
        // Only dots (after trimming) survive as full-width dots; dots at the ends go.
        {u"...", u"\u3002\u3002\u3002"},
        {u"  ..  ", u"\u3002\u3002"},
        {u"..album..", u"album"},
        {u". a .", u"a"},
        {u"x .", u"x"},
        // Dots left alone by illegal characters are not "only dots" any more.
        {u"?.?", u""},
        // Dots and blanks at the ends go in turns until neither is left: never "." or "..".
        {u". .. /", u""},
        {u". . /", u""},
        {u". .x. .", u"x"},
        {u"a. . .", u"a"},
        // Entities first: an encoded quote or bracket is removed like a plain one.
        {u"Tom &amp; Jerry", u"Tom & Jerry"},
        {u"say &quot;hi&quot;", u"say hi"},
        {u"&lt;b&gt;bold", u"bbold"},
        {u"a&nbsp;&nbsp;b", u"a b"},
        {u"wait&hellip;", u"wait\u2026"},
        // Spaces shrink before illegal characters go, so removing one can leave two.
        {u"a      b", u"a b"},
        {u"a   b", u"a b"},
        {u"a : b", u"a  b"},
        {u"a\tb", u"a_b"},
        {u" \tx\t ", u"x"},
        {u"a:b/c\\d*e?f<g>h|i\"j", u"abcdefghij"},
        {u"line\r\nbreak\a", u"linebreak"},
        {u"\u6625\u6e38 2015", u"\u6625\u6e38 2015"},
        {u"", u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(u(c.text).toStdString());
        EXPECT_EQ(cleanName(u(c.text), kCleanNameTimeFallback, false), u(c.expected));
    }
    // A NUL (a "\u0000" escape in a caption) would cut the path short; it goes too.
    EXPECT_EQ(cleanName(QString::fromUtf16(u"a\0b", 3), kCleanNameTimeFallback, false), "ab");
}

TEST(cleanName, FallbackReplacesEmptyAndOverlongNames)
{
    const struct {
        QString text;
        int code;
        bool withFallback;
        QString expected;
    } cases[] = {
        {QString(999, QLatin1Char('x')), 7, true, QString(999, QLatin1Char('x'))},
        {QString(1000, QLatin1Char('x')), 7, true, "pic7"},
        {QString(1000, QLatin1Char('x')), 7, false, QString(1000, QLatin1Char('x'))},
        // The limit counts the cleaned text.
        {QString(999, QLatin1Char('x')) + "...", 7, true, QString(999, QLatin1Char('x'))},
        {"", 7, true, "pic7"},
        {"::", 0, true, "pic0"},
        {"", 7, false, ""},
        {"name", 7, true, "name"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.text.left(20) + " size " + QString::number(c.text.size())).toStdString());
        EXPECT_EQ(cleanName(c.text, c.code, c.withFallback), c.expected);
    }
}

TEST(cleanName, TimeFallbackIsTheLocalTimeInFourteenDigits)
{
    const QString format = "yyyyMMddHHmmss";
    const QString before = QDateTime::currentDateTime().toString(format);
    const QString name = cleanName("///", kCleanNameTimeFallback, true);
    const QString after = QDateTime::currentDateTime().toString(format);
    ASSERT_EQ(name.size(), 14);
    for (const QChar c : name)
        EXPECT_TRUE(c.isDigit()) << name.toStdString();
    EXPECT_LE(before, name);
    EXPECT_LE(name, after);
}

}  // namespace pictrove
