#pragma once
// Makes any text a legal single path component: album and owner names, picture
// titles, album folders and finished file names all pass through here before they
// touch the file system.

#include <QString>

namespace pictrove {

// code 0xFFFF picks the time-stamp fallback ("%Y%m%d%H%M%S"), any other code the
// fallback "pic<code>". The fallback replaces an empty or overlong (1000 or more
// units) result, and only when withFallback is set.
inline constexpr int kCleanNameTimeFallback = 0xFFFF;
QString cleanName(const QString &text, int code, bool withFallback);

}  // namespace pictrove
