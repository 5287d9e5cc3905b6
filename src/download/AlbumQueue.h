#pragma once
// The pictures queued for the album being downloaded and the folder they go to,
// reused album after album. Written only by the download's thread, and only while no
// transfer runs (the transfers take a copy first); the folder is also read by the
// front end's Open Path, so it sits behind a lock.

#include "sources/Picture.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <mutex>

namespace pictrove {

// File names several albums of one run queue into the same folder: albums whose folder
// rule gives them no folder of their own share the owner's (or one named) folder, and a
// picture of one album must not replace another's. Compared ignoring letter case.
class SharedFolderNames {
public:
    bool contains(const QString &name) const;
    void add(const QString &name);

private:
    mutable std::mutex m_mutex;
    QSet<QString> m_names;  // case-folded
};

// A picture of the album and the name the rules gave it.
struct QueuedPicture {
    Picture picture;
    QString fileName;  // relative to the album's folder; one path component
};

class AlbumQueue {
public:
    QList<QueuedPicture> pictures;  // in album order

    // The address the album's marker file held; empty when there was none.
    QString previousFirstAddress;

    // The album's folder, always ending in "/".
    QString folder() const;
    void setFolder(const QString &folder);

    // Empties the queue for the next album.
    void clear();
    void queuePicture(const Picture &picture, const QString &fileName);
    int count() const { return int(pictures.size()); }
    bool isEmpty() const { return pictures.isEmpty(); }
    // Position of the queued file name equal to `name` ignoring letter case, or -1.
    int findName(const QString &name) const;
    // `name` is queued here, or by another album into the same shared folder.
    bool nameTaken(const QString &name) const;
    // The album's folder is shared with other albums of the run: names are checked
    // against theirs too, and queued names are added to theirs. Until clear().
    void shareFolderNames(std::shared_ptr<SharedFolderNames> names);
    // The collision counter's memory for one name base (compared ignoring letter
    // case): the lowest counter that may still be free. Names are only added until
    // clear(), so every counter below it stays taken, and a thousand pictures of one
    // title cost one probe each instead of one per earlier picture.
    uint nextCounter(const QString &base) const;
    void setNextCounter(const QString &base, uint next);

private:
    mutable std::mutex m_folderMutex;
    QString m_folder;
    // Case-folded queued names -> first position: an album of thousands of pictures
    // that all fall back to the album name would otherwise rescan the whole queue for
    // every probe of the collision counter.
    QHash<QString, int> m_nameIndex;
    QHash<QString, uint> m_nextCounter;  // case-folded base -> counter
    std::shared_ptr<SharedFolderNames> m_sharedNames;
};

}  // namespace pictrove
