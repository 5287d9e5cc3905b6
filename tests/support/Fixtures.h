#pragma once
// Paths and contents of the pages under tests/fixtures, and data-folder files tests need.
#include <QByteArray>
#include <QString>

namespace pictrove {

QString fixturePath(const QString &name);
QByteArray readFixture(const QString &name);

// Writes the extension settings of `dataFolder` (ending in "/") so Weibo listings do not
// pause between their pages: a test's loopback services do not refuse fast callers.
void writeNoWeiboPauses(const QString &dataFolder);

}  // namespace pictrove
