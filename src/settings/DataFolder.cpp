#include "settings/DataFolder.h"

#include "net/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace pictrove {

namespace {

const QString kWriteProbe = QStringLiteral("write-test");

QString withSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

}  // namespace

QString perUserDataFolder()
{
    // Spelled out rather than asked for as AppDataLocation, which follows the
    // process's application name: pictrove-cli must land in the desktop program's
    // folder, not in one named after itself.
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
           + QStringLiteral("Pictrove/");
}

QString defaultDataFolder(const QString &currentDir)
{
    const QString folder = withSlash(QDir(currentDir).absolutePath());
    if (QFileInfo(folder + QStringLiteral("soft.dat")).isFile())
        return folder;
    return perUserDataFolder();
}

bool prepareDataFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    // Named like the saves' temporary files, so that one left by a kill is cleared too.
    QTemporaryFile probe(withSlash(folder) + kWriteProbe + QStringLiteral(".tmp-XXXXXX"));
    return probe.open();
}

int removeStaleDataFolderTemporaries(const QString &dataFolder)
{
    return removeStaleTemporaries(withSlash(dataFolder), {QStringLiteral("soft.dat"), QStringLiteral("cookies.txt"),
                                                          QStringLiteral("source-config.txt"), QStringLiteral("media.ini"),
                                                          kWriteProbe});
}

bool isTemporaryFolder(const QString &folder, const QString &tempPath)
{
    const QString cleaned = withSlash(QDir::cleanPath(folder));
    if (!tempPath.isEmpty() && cleaned.startsWith(withSlash(QDir::cleanPath(tempPath))))
        return true;
    return cleaned.toLower().contains(QStringLiteral("/tmp/"));
}

QString userPicturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : pictures;
}

QString defaultSaveFolder(const QString &dataFolder, const QString &tempPath, const QString &picturesFolder)
{
    const bool portable = withSlash(dataFolder) != perUserDataFolder();
    if (portable && !isTemporaryFolder(dataFolder, tempPath))
        return withSlash(dataFolder);
    return withSlash(picturesFolder) + QStringLiteral("Pictrove/");
}

QString absoluteSavePath(const QString &typed, const QString &home)
{
    QString path = typed.trimmed();
    if (path.isEmpty())
        return path;
    if (path == u"~" || path.startsWith(u"~/"))
        path = home + path.mid(1);
    else if (!path.startsWith(u'/'))
        path = home + u'/' + path;
    path = QDir::cleanPath(path);
    return path.endsWith(u'/') ? path : path + u'/';
}

}  // namespace pictrove
