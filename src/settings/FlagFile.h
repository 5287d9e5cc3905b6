#pragma once
// A small ini file of on/off switches in one section, for options that have no
// place in the fixed layout of "soft.dat": "[section]" then "key=1" or "key=0"
// a line.

#include <QString>

#include <initializer_list>
#include <utility>

namespace pictrove {

struct FlagEntry {
  QString key;
  bool *value; // replaced by the file's value when it has the key
};

// Reads each flag of `section` from `path`; a flag whose key (or the whole
// file) is missing keeps the value it had.
void readFlagFile(const QString &path, const QString &section,
                  std::initializer_list<FlagEntry> flags);

// Replaces `path` whole (AtomicFile) with `section` and its flags, in the order
// given. False when it could not be written.
bool writeFlagFile(const QString &path, const QString &section,
                   std::initializer_list<std::pair<QString, bool>> flags);

} // namespace pictrove
