#pragma once
// The system clipboard's text, as the address boxes take it. GUI thread only.

#include <QString>

namespace pictrove {

// The clipboard's text up to its first NUL, empty when there is none.
QString clipboardText();

}  // namespace pictrove
