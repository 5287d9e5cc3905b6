#include "download/AlbumSidecar.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <fcntl.h>
#include <unistd.h>

namespace pictrove {

namespace {

// The services' own clock, as the file-name escapes read it.
constexpr int kServiceUtcOffsetSeconds = 8 * 3600;

QString kindName(MediaKind kind)
{
    switch (kind) {
    case MediaKind::Still: break;
    case MediaKind::Animated: return QStringLiteral("animated");
    case MediaKind::LiveMotion: return QStringLiteral("live-motion");
    case MediaKind::Video: return QStringLiteral("video");
    }
    return QStringLiteral("still");
}

}  // namespace

QByteArray sidecarLine(const SidecarEntry &entry)
{
    const Picture &picture = entry.picture;
    QJsonObject line;
    line.insert(QStringLiteral("file"), entry.fileName);
    line.insert(QStringLiteral("kind"), kindName(picture.kind));
    line.insert(QStringLiteral("picture_id"), picture.pictureId);
    line.insert(QStringLiteral("post_id"), picture.postId);
    if (picture.postTime > 0) {
        const QDateTime time =
            QDateTime::fromSecsSinceEpoch(picture.postTime, QTimeZone(kServiceUtcOffsetSeconds));
        line.insert(QStringLiteral("post_time"), time.toString(Qt::ISODate));
    } else {
        line.insert(QStringLiteral("post_time"), QJsonValue::Null);
    }
    line.insert(QStringLiteral("post_text"), picture.postText);
    line.insert(QStringLiteral("address"), picture.address);
    line.insert(QStringLiteral("album"), entry.album);
    line.insert(QStringLiteral("owner"), entry.owner);
    return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}

bool appendSidecarLine(const QString &path, const QByteArray &line)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
    ::close(fd);
    return written == line.size();
}

}  // namespace pictrove
