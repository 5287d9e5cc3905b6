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

void writeNoWeiboPauses(const QString &dataFolder)
{
    QFile ini(dataFolder + QStringLiteral("下载器扩展设置.ini"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[新浪微博]\n翻页间隔=0\n") < 0)
        qFatal("cannot write %s", qPrintable(ini.fileName()));
}

}  // namespace pictrove
