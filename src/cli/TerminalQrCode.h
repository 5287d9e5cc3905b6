#pragma once
// A QR code drawn in a terminal with Unicode half blocks: each character cell holds two
// modules, one above the other ("▀" in the colour of the upper module on the colour of
// the lower), and the quiet zone is drawn too. The colours are set explicitly (black on
// bright white), never left to the terminal's own, so a phone reads the code from a
// dark terminal and from a light one alike.

#include "sources/QrMatrix.h"

#include <QString>

namespace pictrove {

// The lines of the drawing, each ended by "\n", each resetting the colours at its end.
QString terminalQrCode(const QrMatrix &matrix);

}  // namespace pictrove
