#include "download/AlbumSideFiles.h"

#include "download/FileNaming.h"
#include "text/Charsets.h"
#include "text/CleanName.h"

#include <QFile>

namespace pictrove {

namespace {

QByteArray utf16le(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QString markerPath(const QString &folder)
{
    return folder + QString::fromUtf16(kMarkerFileName);
}

}  // namespace

bool writeThunderList(const QString &path, const QList<QueuedPicture> &pictures)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bytes;
    for (const QueuedPicture &queued : pictures) {
        bytes += toGbk(queued.picture.address) + "\r\n";
        if (!queued.picture.fallbackAddress.isEmpty())
            bytes += toGbk(queued.picture.fallbackAddress) + "\r\n";
    }
    file.write(bytes);
    return true;
}

void appendTitleLine(const QString &path, const QString &title, int count)
{
    QFile file(path);
    if (count < 2) {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        file.write("\xFF\xFE", 2);
    } else {
        // Never create it here: a missing file means the album's first line failed,
        // and a headless file would read as 8-bit text.
        if (!file.exists() || !file.open(QIODevice::ReadWrite))
            return;
        file.seek(file.size());
    }
    file.write(utf16le(title + QStringLiteral("\r\n")));
}

void writeMarkerFile(const QString &folder, const Picture &first)
{
    QString text = first.address;
    if (!first.fallbackAddress.isEmpty())
        text += QStringLiteral("\r\n") + first.fallbackAddress;
    QFile file(markerPath(folder));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(utf16le(text));
}

QString readMarkerFile(const QString &folder)
{
    QFile file(markerPath(folder));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.readAll();
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8));
        if (unit == u'\n')
            break;
        text.append(QChar(unit));
    }
    // A picture with a fallback address is written as two lines: the first is its
    // address alone.
    if (text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

QString albumFilePath(const QString &folder, const QString &albumName, const QString &suffix)
{
    return folder + fitUtf8(cleanName(albumName, 0, false), suffix) + suffix;
}

}  // namespace pictrove
