#pragma once
// Small helpers the download driver and addPicture share: which rules are in force,
// the state byte's guarded transitions and the paths of an album's list files.

#include "settings/SettingsBlock.h"

#include <QString>

#include <cstdint>

class MainWindowState;

// The name rules and options of the current source type; defaults for an index
// outside the table.
NameRules currentNameRules(const MainWindowState &state);

// Sets state.downState to `value` unless an abort is pending, which the GUI thread
// may request at any moment and which must not be overwritten. False when aborted.
bool SetDownStateUnlessAborted(MainWindowState &state, uint8_t value);

// folder + album name + suffix (".lst", ".txt"). The album name is cleaned again and
// cut to fit one path component, since it comes from a remote page.
QString albumFilePath(const QString &folder, const QString &albumName, const QString &suffix);
