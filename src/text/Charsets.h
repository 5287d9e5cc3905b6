#pragma once
// Turning bytes into text and text into the 8-bit encodings the program exchanges.
// The "local ANSI" code page is always GBK: the pages and files this program trades
// are Chinese Windows ones, whatever the locale of this machine.

#include <QByteArray>
#include <QString>

namespace pictrove {

enum CodePage : int {
    kCodePageGbk = 936,
    kCodePageUtf8 = 65001,
    kCodePageBig5 = 950,
    kCodePageEucKr = 51949,
};

// Exactly `length` bytes in the code page; the result ends at its first U+0000.
// Bytes the code page cannot read are dropped and conversion goes on after them; an
// unknown code page gives empty text.
QString fromCodePage(const char *bytes, qsizetype length, int codePage);
QString fromCodePage(const QByteArray &bytes, int codePage);

// GBK bytes up to the first NUL.
QString fromAnsi(const QByteArray &bytes);

// GBK bytes; unrepresentable characters become '?'. Ends at the first NUL.
QByteArray toGbk(const QString &text);

// Complete (loose, up to six-byte) UTF-8 sequences with at least one byte >= 0x80.
bool isUtf8(const char *bytes, qsizetype length);

}  // namespace pictrove
