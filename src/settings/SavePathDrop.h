#pragma once
// Dropping a file or folder on the main window makes its folder the save path. This
// turns the dropped path into that folder; the window then puts it into the save-path
// box and, through addHistory, into the save-path history.

#include <QString>

namespace pictrove {

// The longest dropped path taken; a longer one is ignored rather than cut into a
// path that names some other folder.
constexpr int kMaxDroppedPathLength = 511;

// The folder for a dropped path, ending in "/": an existing folder is taken as it is,
// an existing file gives the folder holding it. A path that does not exist (a drop
// from a source the file system cannot see) is judged by its name: a last dot after
// the last "/" marks a file. Empty for an empty or over-long path and for a bare
// file name without a folder.
QString droppedSavePath(const QString &dropped);

}  // namespace pictrove
