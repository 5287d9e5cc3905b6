#include "ui/StartupPaths.h"

#include <QDir>

namespace pictrove {

namespace {

QString withSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

}  // namespace

QString dataFolderFor(const QString &currentDir)
{
    return withSlash(currentDir);
}

bool isTemporaryFolder(const QString &dataFolder, const QString &tempPath)
{
    const QString folder = withSlash(QDir::cleanPath(dataFolder));
    if (!tempPath.isEmpty() && folder.startsWith(withSlash(QDir::cleanPath(tempPath))))
        return true;
    return folder.toLower().contains(QStringLiteral("/tmp/"));
}

QString perUserSaveFolder(const QString &documents)
{
    return withSlash(documents) + QStringLiteral("Pictrove/");
}

}  // namespace pictrove
