#pragma once
// Paths and contents of the pages under tests/fixtures.
#include <QByteArray>
#include <QString>

namespace pictrove {

QString fixturePath(const QString &name);
QByteArray readFixture(const QString &name);

}  // namespace pictrove
