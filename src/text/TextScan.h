#pragma once
// The text chores every page parser repeats: marker cuts, splitting, pairwise
// replacement, entity and \u decoding, tag stripping, and the reversible scrambling
// used for the program's stored constants. Stateless free functions, callable from
// any thread. Every search is exact, case-sensitive and finds the leftmost match;
// positions and lengths count UTF-16 code units.

#include <QByteArray>
#include <QString>
#include <QStringList>

enum BetweenFlags : int {
    BETWEEN_ADVANCE = 1,    // shorten the text to just after the start marker
    BETWEEN_TAKE_REST = 2,  // no end marker: take everything after the start marker
};

// Text strictly between the first `start` and the next `end` after it; empty when a
// marker is missing. With BETWEEN_ADVANCE the text keeps only what follows `start`
// (the value and the end marker stay at its head), so repeated calls walk records.
QString getBetween(QString &text, const QString &start, const QString &end, int flags = 0);

// Drops everything before `marker` (and the marker too when includeMarker); returns
// the marker's position in the original text, or -1 leaving the text alone.
int cutTo(QString &text, const QString &marker, bool includeMarker);

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

// The system clipboard's text up to its first NUL, empty when there is none. The
// engine has no GUI, so a front end installs the source; without one the answer is
// empty.
class ClipboardSource {
public:
    virtual ~ClipboardSource() = default;
    virtual QString text() = 0;
};
void setClipboardSource(ClipboardSource *source);
QString getClipboardText();

// Each byte b <-> two upper-case hex digits of 255 - b.
void complementHex(QByteArray &bytes, bool encode);
// GBK bytes of `text` XOR the cycling key bytes, as "%02X" pairs (and back). An empty
// key, or an odd number of digits to decode, gives empty text.
QString xorHexCipher(const QString &text, bool encode, const QString &key);
// XOR with escapes that keep NUL, CR and LF out, then complementHex (and back).
QString obscureString(const QString &text, bool encode, const QString &key);
// Adds start + i * step (mod 256) to GBK byte i; undo with the negated values.
QString shiftBytes(const QString &text, int start, int step);
