#pragma once
#include <QByteArray>

namespace pictrove {

// Inflates a gzip or zlib stream (detected from its header) and appends the result to
// `output`, which must be empty. Returns true when the stream ended properly; what was
// inflated before an error (a truncated stream, say) stays in `output` either way.
// Output is capped at `limit`: a small "gzip bomb" cannot exhaust memory.
inline constexpr qsizetype kGunzipLimit = qsizetype(64) * 1024 * 1024;
bool gunzip(QByteArray &output, const char *data, qsizetype length, qsizetype limit = kGunzipLimit);

}  // namespace pictrove
