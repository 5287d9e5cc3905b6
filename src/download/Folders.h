#pragma once
// Where a download puts an owner's albums, creating the download folders, and setting
// file times. Used by the download driver for the base and album folders, by the
// picture-order repair, and by the front ends to open an album's folder.

#include "settings/SettingsBlock.h"
#include "sources/AlbumRecord.h"

#include <QString>

#include <cstdint>

namespace pictrove {

// The folder a download under `saveRoot` puts the owner's albums in: the root, then
// the owner's name and sub-folder, each cut to one path component's size. Ends in "/";
// empty for an empty root.
QString ownerFolderFor(const QString &saveRoot, const OwnerInfo &owner);
// The folder it puts `album`'s pictures in, by the album-folder rule of `rules`.
QString albumFolderFor(const QString &saveRoot, const OwnerInfo &owner, const AlbumRecord &album,
                       const NameRules &rules);

// True when `path` is `folder` itself or lies below it once "." and ".." are resolved
// (both taken against the current folder when relative). The last wall before a file
// or folder is made: names from remote pages must never lead outside the save folder.
// Symbolic links are not followed: one the user made inside the save folder is theirs.
bool isInsideFolder(const QString &folder, const QString &path);

// Creates every missing level of `folder`. The path is trimmed and gains a trailing
// "/" in place. A level that can neither be found nor created ends the walk with
// false and is put into `failedLevel`.
bool ensureFolder(QString &folder, QString &failedLevel);

// Sets the access and modification times of a file or folder to `seconds` since the
// epoch; nothing happens for seconds <= 0 or a path that cannot be reached.
void stampTimes(const QString &path, int64_t seconds);

}  // namespace pictrove
