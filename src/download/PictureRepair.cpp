#include "download/PictureRepair.h"

#include "download/AlbumQueue.h"
#include "download/Folders.h"

#include <QDateTime>
#include <QFile>

namespace pictrove {

QString pictureTypeOf(const QByteArray &head)
{
    // Bytes missing from a short file count as zero, so an empty file matches nothing.
    uchar b[5] = {0, 0, 0, 0, 0};
    for (qsizetype i = 0; i < 5 && i < head.size(); ++i)
        b[i] = uchar(head[i]);

    if (b[0] == 0xFF && b[1] == 0xD8)
        return QStringLiteral(".jpg");
    if (b[0] == 0x89 && b[1] == 0x50)
        return QStringLiteral(".png");
    if (b[0] == 0x47 && b[1] == 0x49 && b[2] == 0x46)
        return QStringLiteral(".gif");
    if (b[0] == 0x42 && b[1] == 0x4D)
        return QStringLiteral(".bmp");
    if (b[0] == 0 && b[1] == 0 && b[3] == 0 && b[4] == 0 && (b[2] == 2 || b[2] == 16))
        return QStringLiteral(".tga");
    if (b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0 && b[4] == 1)
        return QStringLiteral(".ico");
    if (b[0] == 0 && b[1] == 0 && b[2] == 2 && b[3] == 0 && b[4] == 1)
        return QStringLiteral(".cur");
    if ((b[0] == 0x4D && b[1] == 0x4D) || (b[0] == 0x49 && b[1] == 0x49))
        return QStringLiteral(".tiff");
    return QString();
}

bool fixPictureType(QString &path)
{
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString type = pictureTypeOf(file.read(7));
    file.close();

    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= 0 ? path.left(dot) : path;
    const QString extension = type.isEmpty() ? (dot >= 0 ? path.mid(dot) : QString()) : type;
    const QString renamed = stem + extension;
    if (renamed == path)
        return false;
    // QFile::rename refuses an existing target. The queued name follows only a real
    // rename: pointing it at another picture of that name would have the order step
    // stamp the wrong file and leave this one under a name nobody tracks.
    if (!QFile::rename(path, renamed))
        return false;
    path = renamed;
    return true;
}

void fixPictureFormats(AlbumQueue &queue)
{
    const QString folder = queue.folder();
    for (QueuedPicture &queued : queue.pictures) {
        QString path = folder + queued.fileName;
        fixPictureType(path);
        queued.fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    }
}

void fixPictureOrder(AlbumQueue &queue)
{
    const QString folder = queue.folder();
    int64_t t = QDateTime::currentSecsSinceEpoch();
    for (const QueuedPicture &queued : std::as_const(queue.pictures)) {
        stampTimes(folder + queued.fileName, t);
        t -= 60;
    }
}

bool stampPostTimes(AlbumQueue &queue, bool onlyWhenEveryPictureHasOne)
{
    if (onlyWhenEveryPictureHasOne) {
        for (const QueuedPicture &queued : std::as_const(queue.pictures)) {
            if (queued.picture.postTime <= 0)
                return false;
        }
    }
    const QString folder = queue.folder();
    for (const QueuedPicture &queued : std::as_const(queue.pictures)) {
        if (queued.picture.postTime > 0)
            stampTimes(folder + queued.fileName, queued.picture.postTime);
    }
    return true;
}

}  // namespace pictrove
