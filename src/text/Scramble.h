#pragma once
// The reversible scrambling of the program's stored constants (service endpoints,
// the maker's pages, the banner and About texts). Stateless; any thread.

#include <QByteArray>
#include <QString>

namespace pictrove {

// Each byte b <-> two upper-case hex digits of 255 - b.
void complementHex(QByteArray &bytes, bool encode);
// XOR with escapes that keep NUL, CR and LF out, then complementHex (and back).
QString obscureString(const QString &text, bool encode, const QString &key);
// Adds start + i * step (mod 256) to GBK byte i; undo with the negated values.
QString shiftBytes(const QString &text, int start, int step);

}  // namespace pictrove
