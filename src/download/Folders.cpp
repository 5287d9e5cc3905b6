#include "download/Folders.h"

#include "download/FileNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace pictrove {

namespace {

// A folder part of the owner values ("Name/" or empty), cut to one component's size.
QString fittedFolderPart(const QString &part)
{
    if (part.isEmpty())
        return part;
    const QString name = part.endsWith(QLatin1Char('/')) ? part.chopped(1) : part;
    return fitUtf8(name, QString()) + QLatin1Char('/');
}

}  // namespace

QString ownerFolderFor(const QString &saveRoot, const OwnerInfo &owner)
{
    QString base = saveRoot.trimmed();
    if (base.isEmpty())
        return base;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base + fittedFolderPart(owner.name) + fittedFolderPart(owner.subFolder);
}

QString albumFolderFor(const QString &saveRoot, const OwnerInfo &owner, const AlbumRecord &album,
                       const NameRules &rules)
{
    QString folder = ownerFolderFor(saveRoot, owner);
    const QString name = albumFolderName(album, rules);
    if (!folder.isEmpty() && !name.isEmpty())
        folder += name + QLatin1Char('/');
    return folder;
}

bool isInsideFolder(const QString &folder, const QString &path)
{
    const QString root = QDir::cleanPath(QFileInfo(folder.trimmed()).absoluteFilePath());
    const QString target = QDir::cleanPath(QFileInfo(path.trimmed()).absoluteFilePath());
    if (target == root)
        return true;
    return target.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

bool ensureFolder(QString &folder, QString &failedLevel)
{
    folder = folder.trimmed();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');

    // A leading "/" is the root, which always exists: the walk starts at the first
    // separator after position 0, so "/home/x/" creates "/home" and "/home/x".
    qsizetype at = 0;
    while (true) {
        const qsizetype slash = folder.indexOf(QLatin1Char('/'), at);
        if (slash < 0)
            return true;
        if (slash >= 1) {
            const QString level = folder.left(slash);
            if (!QFileInfo(level).isDir() && !QDir().mkdir(level)
                && !QFileInfo(level).isDir()) {  // made meanwhile by someone else
                failedLevel = level;
                return false;
            }
        }
        at = slash + 1;
    }
}

void stampTimes(const QString &path, int64_t seconds)
{
    if (seconds <= 0)
        return;
    struct timespec times[2];
    times[0].tv_sec = time_t(seconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    // The result is ignored on purpose: a missing picture (failed transfer) is simply
    // skipped.
    (void)::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

}  // namespace pictrove
