#pragma once
// Small helpers for the download suites: a picture as a fetcher hands it over, and the
// fields of an album's queued pictures as lists, to compare at a glance.

#include "download/AlbumQueue.h"

#include <QStringList>

namespace pictrove {

inline Picture pictureAt(const QString &address, const QString &title = QString(), const QString &headers = QString())
{
    Picture picture;
    picture.address = address;
    picture.title = title;
    picture.headers = headers;
    return picture;
}

inline QStringList addressesOf(const QList<QueuedPicture> &pictures)
{
    QStringList list;
    for (const QueuedPicture &queued : pictures)
        list.append(queued.picture.address);
    return list;
}

inline QStringList fileNamesOf(const QList<QueuedPicture> &pictures)
{
    QStringList list;
    for (const QueuedPicture &queued : pictures)
        list.append(queued.fileName);
    return list;
}

inline QStringList headersOf(const QList<QueuedPicture> &pictures)
{
    QStringList list;
    for (const QueuedPicture &queued : pictures)
        list.append(queued.picture.headers);
    return list;
}

// Pictures queued under `fileNames`, with made-up addresses.
inline QList<QueuedPicture> queuedUnder(const QStringList &fileNames)
{
    QList<QueuedPicture> pictures;
    for (const QString &name : fileNames)
        pictures.append({pictureAt(QStringLiteral("http://h/") + name), name});
    return pictures;
}

}  // namespace pictrove
