#include "download/DownloadArchive.h"

#include "text/EngineLog.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace pictrove {

namespace {

// How long a statement waits for another connection's write (another thread's or
// another process's) before it gives up. Writes are a few hundred rows at most, so a
// wait this long means the other side hangs, not that it is busy.
constexpr int kBusyTimeoutMs = 10000;
// Keys per look-up query; SQLite allows 999 parameters in its older builds.
constexpr int kKeysPerQuery = 400;

// SQLite's result codes that say the file is not a database SQLite can read.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADatabase = 26;

const char *const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS saved_files ("
    " service TEXT NOT NULL, owner_id TEXT NOT NULL, album_id TEXT NOT NULL, album_name TEXT NOT NULL,"
    " post_id TEXT NOT NULL, picture_id TEXT NOT NULL, media_kind TEXT NOT NULL, path TEXT NOT NULL,"
    " size INTEGER NOT NULL, saved_at INTEGER NOT NULL,"
    " UNIQUE (service, owner_id, picture_id))",
    "CREATE INDEX IF NOT EXISTS saved_files_by_album ON saved_files (service, owner_id, album_id)",
    // Added after the first archives were made: IF NOT EXISTS adds it to them.
    "CREATE TABLE IF NOT EXISTS failed_files ("
    " service TEXT NOT NULL, owner_id TEXT NOT NULL, album_id TEXT NOT NULL, picture_id TEXT NOT NULL,"
    " address TEXT NOT NULL, reason TEXT NOT NULL, failed_at INTEGER NOT NULL,"
    " UNIQUE (service, owner_id, picture_id))",
    "PRAGMA user_version = 1",
};

std::atomic<int> connectionNumber{0};

QString kindName(MediaKind kind)
{
    switch (kind) {
    case MediaKind::Still: return QStringLiteral("still");
    case MediaKind::Animated: return QStringLiteral("animated");
    case MediaKind::LiveMotion: return QStringLiteral("live");
    case MediaKind::Video: return QStringLiteral("video");
    }
    return QStringLiteral("still");
}

int errorCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : 0;  // the primary code of an extended one
}

bool meansBadFile(const QSqlError &error)
{
    const int code = errorCode(error);
    return code == kSqliteCorrupt || code == kSqliteNotADatabase || code == kSqliteCantOpen;
}

}  // namespace

QString downloadArchivePath(const QString &dataFolder)
{
    QString folder = dataFolder;
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder + QStringLiteral("archive.sqlite");
}

QString archiveKey(const Picture &picture)
{
    return picture.pictureId.isEmpty() ? picture.address : picture.pictureId;
}

DownloadArchive::DownloadArchive(const QString &path, Check check, Access access)
    : m_path(path)
    , m_connection(QStringLiteral("pictrove-archive-%1").arg(connectionNumber.fetch_add(1)))
{
    if (access == Access::ReadOnly) {
        m_open = QFileInfo(m_path).isFile() && openConnection(true);
        return;
    }
    const bool fullCheck = check == Check::Full;
    if (openConnection() && prepareSchema(fullCheck))
        return;
    if (m_problem.isEmpty())
        return;  // busy or locked by another process: not used this run, never moved
    closeConnection();
    moveAside();
    if (m_movedTo.isEmpty())
        return;
    if (!openConnection() || !prepareSchema(false))
        closeConnection();
}

DownloadArchive::~DownloadArchive()
{
    closeConnection();
}

bool DownloadArchive::openConnection(bool readOnly)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QSqlError error = db.lastError();
        qCDebug(lcEngine) << "archive" << m_path << "cannot be opened:" << error.text();
        if (QFileInfo::exists(m_path))
            m_problem = error.text();
        return false;
    }
    return true;
}

bool DownloadArchive::prepareSchema(bool fullCheck)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    const auto fail = [&](const QSqlError &error) {
        qCDebug(lcEngine) << "archive" << m_path << "is not usable:" << error.text();
        if (meansBadFile(error))
            m_problem = error.text();
        return false;
    };
    // WAL lets readers in other processes go on while one writes; NORMAL syncing
    // keeps the database whole after a crash, losing at most the last transactions.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")))
        return fail(query.lastError());
    if (!query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return fail(query.lastError());
    if (fullCheck) {
        if (!query.exec(QStringLiteral("PRAGMA quick_check(1)")))
            return fail(query.lastError());
        const QString verdict = query.next() ? query.value(0).toString() : QString();
        if (verdict != QLatin1String("ok")) {
            m_problem = QStringLiteral("数据库已损坏：%1").arg(verdict);
            return false;
        }
    }
    for (const char *statement : kSchema) {
        if (!query.exec(QString::fromLatin1(statement)))
            return fail(query.lastError());
    }
    m_open = true;
    return true;
}

void DownloadArchive::closeConnection()
{
    m_open = false;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

void DownloadArchive::moveAside()
{
    // Never deleted or emptied: the rows may still be read by hand, and the files on
    // disk are adopted again by the next download with skip-previous.
    const QString target =
        m_path + QStringLiteral(".bad-") + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString movedTo = target;
    for (int n = 2; QFileInfo::exists(movedTo); ++n)
        movedTo = target + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(m_path, movedTo)) {
        qCDebug(lcEngine) << "archive" << m_path << "could not be moved aside";
        return;
    }
    for (const char *suffix : {"-wal", "-shm"}) {
        if (QFileInfo::exists(m_path + suffix))
            QFile::rename(m_path + suffix, movedTo + suffix);
    }
    m_movedTo = movedTo;
}

QSet<QString> DownloadArchive::archivedAmong(const QString &service, const QString &ownerId,
                                             const QStringList &keys) const
{
    QSet<QString> found;
    if (!m_open || keys.isEmpty())
        return found;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    for (qsizetype from = 0; from < keys.size(); from += kKeysPerQuery) {
        const qsizetype n = std::min<qsizetype>(kKeysPerQuery, keys.size() - from);
        QString sql = QStringLiteral("SELECT picture_id FROM saved_files WHERE service = ? AND owner_id = ?"
                                     " AND picture_id IN (?");
        sql += QStringLiteral(",?").repeated(n - 1) + u')';
        if (!query.prepare(sql))
            return found;
        query.addBindValue(service);
        query.addBindValue(ownerId);
        for (qsizetype i = 0; i < n; ++i)
            query.addBindValue(keys.at(from + i));
        if (!query.exec()) {
            qCDebug(lcEngine) << "archive look-up failed:" << query.lastError().text();
            m_damaged = m_damaged || meansBadFile(query.lastError());
            return found;
        }
        while (query.next())
            found.insert(query.value(0).toString());
    }
    return found;
}

bool DownloadArchive::hasAlbum(const QString &service, const QString &ownerId, const QString &albumId) const
{
    if (!m_open)
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral(
        "SELECT 1 FROM saved_files WHERE service = ? AND owner_id = ? AND album_id = ? LIMIT 1"));
    query.addBindValue(service);
    query.addBindValue(ownerId);
    query.addBindValue(albumId);
    if (!query.exec()) {
        m_damaged = m_damaged || meansBadFile(query.lastError());
        return false;
    }
    return query.next();
}

QHash<QString, int> DownloadArchive::albumCounts(const QString &service, const QString &ownerId) const
{
    QHash<QString, int> counts;
    if (!m_open)
        return counts;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT album_id, count(*) FROM saved_files WHERE service = ? AND owner_id = ?"
                                 " GROUP BY album_id"));
    query.addBindValue(service);
    query.addBindValue(ownerId);
    if (!query.exec()) {
        m_damaged = m_damaged || meansBadFile(query.lastError());
        return counts;
    }
    while (query.next())
        counts.insert(query.value(0).toString(), query.value(1).toInt());
    return counts;
}

QHash<QString, QStringList> DownloadArchive::albumPaths(const QString &service, const QString &ownerId) const
{
    QHash<QString, QStringList> paths;
    if (!m_open)
        return paths;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT album_id, path FROM saved_files WHERE service = ? AND owner_id = ?"));
    query.addBindValue(service);
    query.addBindValue(ownerId);
    if (!query.exec()) {
        m_damaged = m_damaged || meansBadFile(query.lastError());
        return paths;
    }
    while (query.next())
        paths[query.value(0).toString()].append(query.value(1).toString());
    return paths;
}

QHash<QString, int> DownloadArchive::albumFailures(const QString &service, const QString &ownerId) const
{
    QHash<QString, int> counts;
    if (!m_open)
        return counts;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT album_id, count(*) FROM failed_files WHERE service = ? AND owner_id = ?"
                                 " GROUP BY album_id"));
    query.addBindValue(service);
    query.addBindValue(ownerId);
    if (!query.exec()) {
        m_damaged = m_damaged || meansBadFile(query.lastError());
        return counts;
    }
    while (query.next())
        counts.insert(query.value(0).toString(), query.value(1).toInt());
    return counts;
}

bool DownloadArchive::writeInTransaction(const char *what, const std::function<bool(QSqlDatabase &, QSqlError &)> &writes)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery begin(db);
    // IMMEDIATE takes the write lock at once: a transaction that starts reading and
    // then wants to write could meet another writer and fail instead of waiting.
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        qCDebug(lcEngine) << "archive busy:" << begin.lastError().text();
        return false;
    }
    QSqlError error;
    bool ok = writes(db, error);
    if (!ok) {
        qCDebug(lcEngine) << what << error.text();
        m_damaged = m_damaged || meansBadFile(error);
    }
    QSqlQuery end(db);
    if (ok && !end.exec(QStringLiteral("COMMIT"))) {
        qCDebug(lcEngine) << "archive commit failed:" << end.lastError().text();
        ok = false;
    }
    if (!ok)
        end.exec(QStringLiteral("ROLLBACK"));
    return ok;
}

bool DownloadArchive::record(const QList<ArchivedFile> &files)
{
    if (!m_open || files.isEmpty())
        return m_open;
    return writeInTransaction("archive record failed:", [&files](QSqlDatabase &db, QSqlError &error) {
        QSqlQuery query(db);
        bool ok = query.prepare(QStringLiteral(
            "INSERT INTO saved_files (service, owner_id, album_id, album_name, post_id, picture_id, media_kind, path,"
            " size, saved_at)"
            // Qt binds a null string as NULL; a field the service left out is an empty one.
            " VALUES (coalesce(?, ''), coalesce(?, ''), coalesce(?, ''), coalesce(?, ''), coalesce(?, ''), ?, ?, ?, ?, ?)"
            " ON CONFLICT (service, owner_id, picture_id) DO UPDATE SET album_id = excluded.album_id,"
            " album_name = excluded.album_name, post_id = excluded.post_id, media_kind = excluded.media_kind,"
            " path = excluded.path, size = excluded.size, saved_at = excluded.saved_at"));
        QSqlQuery forget(db);
        ok = ok
             && forget.prepare(QStringLiteral("DELETE FROM failed_files WHERE service = coalesce(?, '') AND owner_id = "
                                              "coalesce(?, '') AND picture_id = ?"));
        for (const ArchivedFile &file : files) {
            if (!ok)
                break;
            forget.addBindValue(file.service);
            forget.addBindValue(file.ownerId);
            forget.addBindValue(file.pictureId);
            if (!forget.exec()) {
                ok = false;
                break;
            }
            query.addBindValue(file.service);
            query.addBindValue(file.ownerId);
            query.addBindValue(file.albumId);
            query.addBindValue(file.albumName);
            query.addBindValue(file.postId);
            query.addBindValue(file.pictureId);
            query.addBindValue(kindName(file.kind));
            query.addBindValue(file.path);
            query.addBindValue(file.size);
            query.addBindValue(file.savedAt);
            ok = query.exec();
        }
        if (!ok)
            error = query.lastError().isValid() ? query.lastError() : forget.lastError();
        return ok;
    });
}

bool DownloadArchive::recordFailures(const QList<FailedFile> &failures)
{
    if (!m_open || failures.isEmpty())
        return m_open;
    return writeInTransaction("archive failure record failed:", [&failures](QSqlDatabase &db, QSqlError &error) {
        QSqlQuery query(db);
        bool ok = query.prepare(QStringLiteral(
            "INSERT INTO failed_files (service, owner_id, album_id, picture_id, address, reason, failed_at)"
            " VALUES (coalesce(?, ''), coalesce(?, ''), coalesce(?, ''), ?, coalesce(?, ''), coalesce(?, ''), ?)"
            " ON CONFLICT (service, owner_id, picture_id) DO UPDATE SET album_id = excluded.album_id,"
            " address = excluded.address, reason = excluded.reason, failed_at = excluded.failed_at"));
        for (const FailedFile &failure : failures) {
            if (!ok)
                break;
            query.addBindValue(failure.service);
            query.addBindValue(failure.ownerId);
            query.addBindValue(failure.albumId);
            query.addBindValue(failure.pictureId);
            query.addBindValue(failure.address);
            query.addBindValue(failure.reason);
            query.addBindValue(failure.failedAt);
            ok = query.exec();
        }
        if (!ok)
            error = query.lastError();
        return ok;
    });
}

QHash<QString, QString> DownloadArchive::failureReasons(const QString &service, const QString &ownerId,
                                                        const QStringList &keys) const
{
    QHash<QString, QString> reasons;
    if (!m_open || keys.isEmpty())
        return reasons;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    for (qsizetype from = 0; from < keys.size(); from += kKeysPerQuery) {
        const qsizetype n = std::min<qsizetype>(kKeysPerQuery, keys.size() - from);
        QString sql = QStringLiteral("SELECT picture_id, reason FROM failed_files WHERE service = ? AND owner_id = ?"
                                     " AND picture_id IN (?");
        sql += QStringLiteral(",?").repeated(n - 1) + u')';
        // An archive made by an older program, opened only to read, has no such table.
        if (!query.prepare(sql))
            return reasons;
        query.addBindValue(service);
        query.addBindValue(ownerId);
        for (qsizetype i = 0; i < n; ++i)
            query.addBindValue(keys.at(from + i));
        if (!query.exec()) {
            m_damaged = m_damaged || meansBadFile(query.lastError());
            return reasons;
        }
        while (query.next())
            reasons.insert(query.value(0).toString(), query.value(1).toString());
    }
    return reasons;
}

QString DownloadArchive::startAnew()
{
    closeConnection();
    m_movedTo.clear();
    moveAside();
    m_damaged = false;
    if (!openConnection() || !prepareSchema(false))
        closeConnection();
    return m_movedTo;
}

int DownloadArchive::count(const QString &service, const QString &ownerId) const
{
    if (!m_open)
        return -1;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (ownerId.isEmpty()) {
        if (!query.exec(QStringLiteral("SELECT count(*) FROM saved_files")))
            return -1;
    } else {
        query.prepare(QStringLiteral("SELECT count(*) FROM saved_files WHERE service = ? AND owner_id = ?"));
        query.addBindValue(service);
        query.addBindValue(ownerId);
        if (!query.exec())
            return -1;
    }
    return query.next() ? query.value(0).toInt() : -1;
}

}  // namespace pictrove
