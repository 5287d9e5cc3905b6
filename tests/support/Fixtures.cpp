#include "support/Fixtures.h"

#include <QFile>

namespace pictrove {

QString fixturePath(const QString &name)
{
    return QStringLiteral(PICTROVE_FIXTURES_DIR "/") + name;
}

QByteArray readFixture(const QString &name)
{
    QFile file(fixturePath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

}  // namespace pictrove
