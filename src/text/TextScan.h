#pragma once
// The text chores every page parser repeats: marker cuts, splitting, pairwise
// replacement, entity and \u decoding, tag stripping. Stateless free functions,
// callable from any thread. Every search is exact, case-sensitive and finds the
// leftmost match; positions and lengths count UTF-16 code units.

#include <QString>
#include <QStringList>

namespace pictrove {

enum BetweenFlags : int {
    kBetweenAdvance = 1,   // shorten the text to just after the start marker
    kBetweenTakeRest = 2,  // no end marker: take everything after the start marker
};

// Text strictly between the first `start` and the next `end` after it; empty when a
// marker is missing. With kBetweenAdvance the text keeps only what follows `start`
// (the value and the end marker stay at its head), so repeated calls walk records.
QString getBetween(QString &text, const QString &start, const QString &end, int flags = 0);

// Keeps only what precedes `marker`; returns its position, or -1 leaving the text alone.
int keepBefore(QString &text, const QString &marker);

// Non-overlapping occurrences, left to right: "aa" occurs once in "aaa".
int countOf(const QString &text, const QString &separator);

// Replaces `list` by the n + 1 pieces around n separators (empty pieces kept) and
// returns n. A text without the separator gives 0 and an empty list.
int split(const QString &text, const QString &separator, QStringList &list);

// Pairwise replacement from two "|"-separated lists; when their counts differ the
// whole `olds` text is replaced by the whole `news` text.
void replaceEach(QString &text, const QString &olds, const QString &news);

// &quot; &amp; &lt; &gt; &nbsp; &hellip; &#39; in that order, nothing else.
void decodeEntities(QString &text);

// \uXXXX escapes, one code unit each (two escapes make a surrogate pair). Before fewer
// than four units the "\u" alone is dropped; before no hex digit at all it is not an
// escape and stays as written.
QString unescapeUnicode(const QString &text);

// Removes <...> tags until the first "<" without ">" or the first "<>".
QString stripTags(const QString &text);

// r / 32767 as "%0.16f\n" with r drawn from a generator seeded by the current second.
QString randomFraction();

}  // namespace pictrove
