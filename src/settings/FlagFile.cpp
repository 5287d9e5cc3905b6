#include "settings/FlagFile.h"

#include "net/AtomicFile.h"
#include "settings/IniReader.h"

#include <QFileInfo>

namespace pictrove {

void readFlagFile(const QString &path, const QString &section,
                  std::initializer_list<FlagEntry> flags) {
  if (!QFileInfo::exists(path))
    return;
  const IniReader ini(path);
  for (const FlagEntry &flag : flags)
    *flag.value = ini.GetInt(section, flag.key, *flag.value ? 1 : 0) != 0;
}

bool writeFlagFile(const QString &path, const QString &section,
                   std::initializer_list<std::pair<QString, bool>> flags) {
  QString text = QStringLiteral("[%1]\n").arg(section);
  for (const auto &[key, on] : flags)
    text += QStringLiteral("%1=%2\n").arg(key, on ? QStringLiteral("1")
                                                  : QStringLiteral("0"));
  return writeFileAtomically(path, text.toUtf8());
}

} // namespace pictrove
