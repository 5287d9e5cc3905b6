#pragma once
// Creating the download folders and setting file times. Used by the download driver
// for the base and album folders and by the picture-order repair.

#include <QString>

#include <cstdint>

namespace pictrove {

// Creates every missing level of `folder`. The path is trimmed and gains a trailing
// "/" in place. A level that can neither be found nor created ends the walk with
// false and is put into `failedLevel`.
bool ensureFolder(QString &folder, QString &failedLevel);

// Sets the access and modification times of a file or folder to `seconds` since the
// epoch; nothing happens for seconds <= 0 or a path that cannot be reached.
void stampTimes(const QString &path, int64_t seconds);

}  // namespace pictrove
