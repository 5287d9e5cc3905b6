#pragma once
// Files that must not be lost (the cookie store, the settings) are replaced whole: the
// new content goes to a temporary file beside the target, "<target>.tmp-XXXXXX",
// reaches the disk, and is renamed over the target. A full disk, a crash or a kill
// mid-write leaves the previous file as it was; at worst the temporary file stays
// behind, and removeStaleTemporaries clears it at a later start.

#include <QString>
#include <QStringList>

namespace pictrove {

// Replaces `path` with `data`. The file is the user's own (mode 0600) from its first
// byte. False when anything failed; `path` then holds what it held before.
bool writeFileAtomically(const QString &path, const QByteArray &data);

// A temporary file of writeFileAtomically unchanged for this long belongs to a process
// that died: a save writes a few kilobytes and renames them within milliseconds.
inline constexpr int kStaleTemporarySeconds = 10 * 60;

// Removes the temporary files of writeFileAtomically for the files `targets` (names in
// `folder`, which ends in "/") that are older than kStaleTemporarySeconds. Returns how
// many were removed.
int removeStaleTemporaries(const QString &folder, const QStringList &targets);

}  // namespace pictrove
