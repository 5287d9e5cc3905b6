#pragma once
// Where the program keeps its files and where it saves by default, decided once at
// start from the current directory.

#include <QString>

namespace pictrove {

// The current directory with a trailing "/": "soft.dat", the extension settings,
// the cookies and the thumbnail cache live there.
QString dataFolderFor(const QString &currentDir);

// A program started from a temporary folder (an unpacked download) should not save
// pictures there: true when `dataFolder` lies under `tempPath` or contains "/tmp/"
// in any letter case.
bool isTemporaryFolder(const QString &dataFolder, const QString &tempPath);

// `documents` + "/Pictrove/", without doubling a trailing "/".
QString perUserSaveFolder(const QString &documents);

}  // namespace pictrove
