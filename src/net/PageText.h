#pragma once
// A fetched page as text: inflated, trimmed, decoded and with its entities resolved.
// Every parser of the sources reads pages through getText.

#include <QString>

namespace pictrove {

struct PageResponse;

enum TextFlags : int {
    kTextInflate = 0x01,  // inflate a gzip-flagged body first
    kTextUtf8 = 0x02,
    kTextEucKr = 0x04,
    kTextBig5 = 0x08,
    kTextAuto = 0x10,     // UTF-8 when isUtf8 holds, else GBK
};

// The page text of a response: inflated, trimmed by the markers the fetch could not
// apply, NUL bytes dropped, decoded ("charset=GBK" in the head overrides the flags),
// entities decoded. Inflating stops at kMaxPageBytes; `overPageLimit`, when given, says
// whether it did, i.e. whether the text is only the beginning of the page.
QString getText(const PageResponse &response, int flags, bool *overPageLimit = nullptr);

}  // namespace pictrove
