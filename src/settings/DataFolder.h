#pragma once
// Where the program keeps its files, and where pictures go before the user has chosen
// a save folder. Both front ends decide with these functions, so the desktop program
// and pictrove-cli read the same "soft.dat" and the same cookie store: a login made in
// the desktop program's browser is used by the CLI.
//
// The data folder holds "soft.dat", the extension settings "下载器扩展设置.ini", the
// media options "media.ini", the cookie store "cookies.txt", the login browser's profile "browser/", the page dump and
// the thumbnail cache "tmp/". Paths returned here end in "/".

#include <QString>

namespace pictrove {

// <XDG data home>/Pictrove/, normally ~/.local/share/Pictrove/: the desktop program's
// QStandardPaths::AppDataLocation.
QString perUserDataFolder();

// `currentDir` when it holds a "soft.dat" file (a portable set-up: the program unpacked
// into a folder of its own, as it was always run), else perUserDataFolder().
QString defaultDataFolder(const QString &currentDir);

// Makes `folder` when it is missing and checks that a file can be created in it.
// False when not: "soft.dat" and the cookie store would then silently not be saved,
// and the front ends say so once at start.
bool prepareDataFolder(const QString &folder);

// Removes what saves into the data folder left behind when their process was killed
// mid-save: temporary files beside "soft.dat", the cookie store, the configuration
// answer and the folder's write probe, once they are clearly stale (AtomicFile.h).
// The front ends call it at start. Returns how many were removed.
int removeStaleDataFolderTemporaries(const QString &dataFolder);

// True when `folder` lies under `tempPath` or has a "tmp" folder in its path in any
// letter case: an unpacked download, whose folder may be cleaned away.
bool isTemporaryFolder(const QString &folder, const QString &tempPath);

// The user's pictures folder, or the documents folder when the desktop names none.
QString userPicturesFolder();

// The save folder before the user has chosen one. A portable data folder keeps the
// pictures beside "soft.dat", as it always did, unless it is a temporary folder;
// otherwise they go to `picturesFolder` + "/Pictrove/".
QString defaultSaveFolder(const QString &dataFolder, const QString &tempPath, const QString &picturesFolder);

// A save path as typed into the desktop program's box, made absolute the way a user
// means it: "~" and "~/x" are in the home folder, and so is a relative path (the
// program's current folder is nothing the user chose). Empty stays empty; the result
// of anything else ends in "/".
QString absoluteSavePath(const QString &typed, const QString &home);

}  // namespace pictrove
