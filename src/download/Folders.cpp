#include "download/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace pictrove {

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
