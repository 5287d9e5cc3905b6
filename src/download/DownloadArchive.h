#pragma once
// The download archive: one SQLite database in the data folder with a row per saved
// file, keyed by the service, the owner and the picture's id. Both front ends, and
// several processes at once, read and write it: the database runs in WAL mode, waits
// for another writer instead of failing, and keeps every transaction short.
//
// A connection belongs to the thread that opened it (Qt's rule for its SQL module):
// make one DownloadArchive per thread and use it only there.

#include "sources/Picture.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class QSqlDatabase;
class QSqlError;

namespace pictrove {

// One saved file.
struct ArchivedFile {
    QString service;
    QString ownerId;
    QString albumId;
    QString albumName;
    QString postId;
    QString pictureId;  // archiveKey(picture)
    MediaKind kind = MediaKind::Still;
    QString path;  // relative to the save root, with "/" between components
    qint64 size = 0;
    qint64 savedAt = 0;  // seconds since the epoch, UTC
};

// A picture whose last transfer failed, and why: kept apart from the saved files, so a
// failure never counts as archived and the next run tries the picture again; `missing`
// says why it is still missing. Saving the picture later forgets it.
struct FailedFile {
    QString service;
    QString ownerId;
    QString albumId;
    QString pictureId;  // archiveKey(picture)
    QString address;
    QString reason;
    qint64 failedAt = 0;  // seconds since the epoch, UTC
};

// The archive of a data folder ("archive.sqlite" in it).
QString downloadArchivePath(const QString &dataFolder);

// What identifies a picture in the archive: the id its service gives, or its address
// where the service gives none.
QString archiveKey(const Picture &picture);

class DownloadArchive {
public:
    enum class Check {
        Quick,  // trust the file once SQLite reads its schema
        // Also read every page (PRAGMA quick_check). Costs about 90 ms for 200,000
        // rows, more than the look-ups of a whole album: a download leaves it out and
        // finds damage when a statement meets it (damaged()).
        Full,
    };

    enum class Access {
        ReadWrite,
        // Only reads: a missing file is not made and a bad one is not moved aside (the
        // front ends' counts; the next download deals with the file).
        ReadOnly,
    };

    // Opens the archive at `path`, creating it when missing. A file that is no usable
    // database (or fails the check) is moved aside, with its -wal and -shm beside it,
    // and an empty archive is started; movedAsideTo() then says where it went.
    explicit DownloadArchive(const QString &path, Check check = Check::Quick, Access access = Access::ReadWrite);
    ~DownloadArchive();

    DownloadArchive(const DownloadArchive &) = delete;
    DownloadArchive &operator=(const DownloadArchive &) = delete;

    // False when not even a new archive could be made: nothing is read or recorded.
    bool isOpen() const { return m_open; }
    // Where a bad archive was moved; empty when none was.
    QString movedAsideTo() const { return m_movedTo; }
    // Why the archive was moved aside or could not be opened.
    QString problem() const { return m_problem; }

    // Of `keys`, those archived for the owner, in any album and under any path. The
    // look-ups of one album are a few queries, not one per picture.
    QSet<QString> archivedAmong(const QString &service, const QString &ownerId, const QStringList &keys) const;
    // Something of the album is archived for the owner.
    bool hasAlbum(const QString &service, const QString &ownerId, const QString &albumId) const;
    // Rows per album id of the owner: what each album has archived, in one query.
    QHash<QString, int> albumCounts(const QString &service, const QString &ownerId) const;
    // The saved files' paths (relative to the save root they were saved under) of each
    // album of the owner, by album id.
    QHash<QString, QStringList> albumPaths(const QString &service, const QString &ownerId) const;
    // How many pictures of each album of the owner failed their last transfer, by album id.
    QHash<QString, int> albumFailures(const QString &service, const QString &ownerId) const;
    // Records `files` in one transaction (a file archived before gets its new path and
    // size, a failure of the picture's is forgotten); false when nothing could be
    // recorded.
    bool record(const QList<ArchivedFile> &files);
    // Records why each of `failures` did not arrive, in one transaction (the newest
    // reason replaces an older one).
    bool recordFailures(const QList<FailedFile> &failures);
    // The last failure's reason of each of `keys` that failed and was not saved since.
    QHash<QString, QString> failureReasons(const QString &service, const QString &ownerId,
                                           const QStringList &keys) const;
    // A statement met a damaged page since the archive was opened: the caller should
    // start anew (startAnew) once nothing else reads it.
    bool damaged() const { return m_damaged; }
    // Closes the connection, moves the file aside and opens a new, empty archive;
    // returns where the old file went (empty when it could not be moved).
    QString startAnew();

    // Rows of the owner (every owner when `ownerId` is empty); -1 when it cannot say.
    int count(const QString &service = QString(), const QString &ownerId = QString()) const;

private:
    // Runs `writes` in one write transaction, committed when it returns true and rolled
    // back otherwise; a failure is logged with `what` and its error, and marks a bad file.
    bool writeInTransaction(const char *what, const std::function<bool(QSqlDatabase &, QSqlError &)> &writes);
    bool openConnection(bool readOnly = false);
    bool prepareSchema(bool fullCheck);
    void closeConnection();
    void moveAside();

    QString m_path;
    QString m_connection;
    bool m_open = false;
    QString m_movedTo;
    QString m_problem;
    mutable bool m_damaged = false;
};

}  // namespace pictrove
