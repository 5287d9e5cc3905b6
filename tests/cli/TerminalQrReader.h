#pragma once
// Reads a QR code off a terminal's text the way a phone reads it off the screen: the
// text (with its colour escapes) is painted as a terminal would paint it, on a dark or
// a light theme, and the picture handed to zbar's reader (zbarimg, Debian's
// zbar-tools). Half blocks ("▀", "▄", "█") and blanks are painted; other characters
// count as blank.

#include <QString>

namespace pictrove {

enum class TerminalTheme { Dark, Light };

// Whether zbarimg is installed.
bool haveQrReader();
// The text of the one code zbar finds in `terminalText`; empty when it finds none.
QString readTerminalQr(const QString &terminalText, TerminalTheme theme);

}  // namespace pictrove
