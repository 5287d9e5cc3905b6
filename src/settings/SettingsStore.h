#pragma once
// Loading and saving the settings record "soft.dat" in the data folder. Called on
// the caller's thread: loadSettings once while the main window initialises,
// saveSettings after every change (dialog OK, toggled option, history insertion).
// Nothing here shows anything: the window fills its history combo boxes from
// historyEntries after loading and may turn a status into a message.

#include "settings/SettingsBlock.h"

#include <QString>

namespace pictrove {

enum SettingsLoadStatus : int {
    kSettingsRead,        // the whole record was read
    kSettingsReadShort,   // the file was shorter than the record: the rest read as zero
    kSettingsMissing,     // no file: first-start values
    kSettingsEmpty,       // a zero-length file carries no settings: first-start values
    kSettingsUnreadable,  // the file could not be opened or read: first-start values
    kSettingsTooLarge,    // larger than the record, so not a settings record: set aside,
                          // first-start values
};

struct SettingsLoadResult {
    SettingsLoadStatus status = kSettingsMissing;
    bool saved = false;  // the normalised record was written back
    // kSettingsTooLarge: where the file was moved, `dataFolder` + "soft.dat.bad"
    // (replacing an older one); empty when it could not be moved.
    QString setAside;
};

// Fills `block` from `dataFolder` + "soft.dat" (dataFolder ends in "/"), puts thread
// counts outside 1..15 back to 5 and time-outs below 10 back to 30, gives every source
// type its first-start options when nothing was read, and saves the result so the
// file exists, normalised, after every start. A file larger than the record is no
// record of ours (a 50 MB file read as one made every picture too small): it is not
// read but moved aside, so whoever put it there finds it again.
SettingsLoadResult loadSettings(const QString &dataFolder, SettingsBlock &block);

// Writes the whole record to `dataFolder` + "soft.dat". The new record goes to a
// temporary file beside it that replaces the old one only when completely written:
// a full disk or a crash mid-write leaves the previous settings intact. False when
// the file could not be written; the in-memory settings stay in force either way.
bool saveSettings(const QString &dataFolder, const SettingsBlock &block);

}  // namespace pictrove
