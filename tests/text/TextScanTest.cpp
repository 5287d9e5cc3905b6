#include "text/TextScan.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

namespace pictrove {

namespace {

QString u(const char16_t *s)
{
    return QString::fromUtf16(s);
}

}  // namespace

TEST(getBetween, MarkersFlagsAndWhatHappensToTheText)
{
    const struct {
        const char16_t *text, *start, *end;
        int flags;
        const char16_t *result, *textAfter;
    } cases[] = {
        {u"<a>1</a><a>2</a>", u"<a>", u"</a>", 0, u"1", u"<a>1</a><a>2</a>"},
        {u"<a>1</a><a>2</a>", u"<a>", u"</a>", kBetweenAdvance, u"1", u"1</a><a>2</a>"},
        {u"1</a><a>2</a>", u"<a>", u"</a>", kBetweenAdvance, u"2", u"2</a>"},
        // A missing start marker leaves the text alone whatever the flags.
        {u"abc", u"<a>", u"</a>", kBetweenAdvance | kBetweenTakeRest, u"", u"abc"},
        {u"x=1;y", u"x=", u"#", kBetweenTakeRest, u"1;y", u"x=1;y"},
        {u"x=1;y", u"x=", u"#", 0, u"", u"x=1;y"},
        {u"x=1;y", u"x=", u";", kBetweenTakeRest, u"1", u"x=1;y"},
        // A missing end marker still advances past the start marker.
        {u"x=1;y", u"x=", u"#", kBetweenAdvance, u"", u"1;y"},
        {u"x=1;y", u"x=", u"#", kBetweenAdvance | kBetweenTakeRest, u"1;y", u"1;y"},
        // The end marker is searched only after the start marker.
        {u"b]a[c]", u"[", u"]", 0, u"c", u"b]a[c]"},
        {u"<A>1</A>", u"<a>", u"</A>", 0, u"", u"<A>1</A>"},
        {u"abc", u"", u"b", kBetweenAdvance, u"a", u"abc"},
        {u"abc", u"a", u"", kBetweenTakeRest, u"", u"abc"},
        {u"", u"", u"", 0, u"", u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(u(c.text) + " / " + u(c.start) + " / " + u(c.end) + " / " + QString::number(c.flags)).toStdString());
        QString text = u(c.text);
        EXPECT_EQ(getBetween(text, u(c.start), u(c.end), c.flags), u(c.result));
        EXPECT_EQ(text, u(c.textAfter));
    }
}

TEST(getBetween, AdvanceWalksRepeatedRecords)
{
    QString page = "<li id=\"7\">x</li><li id=\"8\">y</li><li id=\"9\">";
    QStringList ids;
    for (QString id = getBetween(page, "id=\"", "\"", kBetweenAdvance); !id.isEmpty();
         id = getBetween(page, "id=\"", "\"", kBetweenAdvance))
        ids << id;
    EXPECT_EQ(ids, QStringList({"7", "8", "9"}));
}

TEST(KeepBefore, PositionsAndTexts)
{
    const struct {
        const char16_t *text, *marker;
        int position;
        const char16_t *keptText;
    } cases[] = {
        {u"head<body>tail", u"<body>", 4, u"head"},
        {u"abcabc", u"c", 2, u"ab"},
        {u"abc", u"x", -1, u"abc"},
        {u"abc", u"B", -1, u"abc"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(u(c.text) + " / " + u(c.marker)).toStdString());
        QString kept = u(c.text);
        EXPECT_EQ(keepBefore(kept, u(c.marker)), c.position);
        EXPECT_EQ(kept, u(c.keptText));
    }
}

TEST(CountOfSplit, PiecesAndCounts)
{
    const struct {
        const char16_t *text, *separator;
        int count;
        QStringList pieces;
    } cases[] = {
        {u"a|b||c", u"|", 3, {"a", "b", "", "c"}},
        {u"abc", u"|", 0, {}},
        {u"|", u"|", 1, {"", ""}},
        {u"|a|", u"|", 2, {"", "a", ""}},
        {u"abab", u"ab", 2, {"", "", ""}},
        {u"aaa", u"aa", 1, {"", "a"}},
        {u"x<>y<>z", u"<>", 2, {"x", "y", "z"}},
        {u"", u"|", 0, {}},
        // Never passed by callers; must end and count nothing.
        {u"abc", u"", 0, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(u(c.text) + " / " + u(c.separator)).toStdString());
        EXPECT_EQ(countOf(u(c.text), u(c.separator)), c.count);
        QStringList list{"stale"};
        EXPECT_EQ(split(u(c.text), u(c.separator), list), c.count);
        EXPECT_EQ(list, c.pieces);
    }
}

TEST(replaceEach, PairsMismatchesAndEmptyPieces)
{
    const struct {
        const char16_t *text, *olds, *news, *expected;
    } cases[] = {
        // Different separator counts: the whole lists are one literal pair.
        {u"a|b or a, b", u"a|b", u"1", u"1 or a, b"},
        {u"a|b or a, b", u"a|b", u"1|2", u"1|2 or 1, 2"},
        // Later pairs see the output of earlier ones; inserted text is not searched again.
        {u"ab", u"a|b", u"b|c", u"cc"},
        {u"aa", u"a", u"aa", u"aaaa"},
        {u"aaa", u"aa", u"b", u"ba"},
        // An empty old piece replaces nothing (instead of inserting everywhere).
        {u"abc", u"|b", u"X|Y", u"aYc"},
        {u"abc", u"", u"X", u"abc"},
        {u"abc", u"", u"X|Y", u"abc"},
        {u"a.jpg", u"a|.jpg", u"", u"a.jpg"},  // counts differ (1 vs 0): literal "a|.jpg"
        {u"a.jpg", u"a|.jpg", u"|", u""},
        {u"a.jpg", u"a|.jpg", u"b|", u"b"},
        {u"Abc", u"a", u"x", u"Abc"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(u(c.text) + " / " + u(c.olds) + " / " + u(c.news)).toStdString());
        QString text = u(c.text);
        replaceEach(text, u(c.olds), u(c.news));
        EXPECT_EQ(text, u(c.expected));
    }
}

TEST(decodeEntities, SevenEntitiesInOrder)
{
    const struct {
        const char16_t *text, *expected;
    } cases[] = {
        {u"&quot;&amp;&lt;&gt;&nbsp;&hellip;&#39;", u"\"&<> \u2026'"},
        {u"&amp;lt;", u"<"},
        {u"&amp;quot;", u"&quot;"},
        {u"&amp;#39;", u"'"},
        {u"&amp;amp;", u"&amp;"},
        {u"&NBSP;&Amp;&#34;&copy;", u"&NBSP;&Amp;&#34;&copy;"},
        {u"a&nbsp;b", u"a b"},
        {u"no entities", u"no entities"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(u(c.text)).toStdString());
        QString text = u(c.text);
        decodeEntities(text);
        EXPECT_EQ(text, u(c.expected));
    }
}

TEST(unescapeUnicode, EscapesPairsAndShortPieces)
{
    const struct {
        const char16_t *text, *expected;
    } cases[] = {
        {u"\\u4e2d\\u6587abc", u"\u4e2d\u6587abc"},
        {u"x\\u00e9", u"x\u00e9"},
        {u"\\u00C9T\\u00e9", u"\u00c9T\u00e9"},
        {u"a\\u12", u"a12"},
        {u"ab\\u", u"ab"},
        // Two escapes, one surrogate each, make one character.
        {u"\\ud83d\\ude00!", u"\U0001F600!"},
        // Reading stops at the first non-hex unit, but all four units are used up.
        {u"\\u41zzq", u"Aq"},
        {u"\\\\u0041", u"\\A"},
        {u"plain text", u"plain text"},
        {u"\\U0041", u"\\U0041"},
        // No hex digit at all: not an escape, kept as written.
        {u"C:\\users\\x", u"C:\\users\\x"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(u(c.text)).toStdString());
        EXPECT_EQ(unescapeUnicode(u(c.text)), u(c.expected));
    }
}

TEST(stripTags, RemovesTagsUntilTheFirstUnclosedOrEmptyOne)
{
    const struct {
        const char16_t *text, *expected;
    } cases[] = {
        {u"a<b>c</b>d", u"acd"},
        {u"<p class=\"t\">x</p><p class=\"t\">y</p>", u"xy"},
        {u"1 < 2 and 3 > 2", u"1  2"},
        {u"a<b>c<d", u"ac<d"},
        {u"<>x<i>y", u"<>x<i>y"},
        {u"a<<>b<i>c", u"ab<i>c"},
        {u"no tags", u"no tags"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(u(c.text)).toStdString());
        EXPECT_EQ(stripTags(u(c.text)), u(c.expected));
    }
}

TEST(randomFraction, OneDigitSixteenDecimalsAndALineFeed)
{
    const QString r = randomFraction();
    ASSERT_EQ(r.size(), 19);
    EXPECT_TRUE(r.endsWith(QLatin1Char('\n')));
    EXPECT_EQ(r.at(1), QLatin1Char('.'));
    bool ok = false;
    const double value = r.trimmed().toDouble(&ok);
    EXPECT_TRUE(ok);
    EXPECT_GE(value, 0.0);
    EXPECT_LE(value, 1.0);
}

}  // namespace pictrove
