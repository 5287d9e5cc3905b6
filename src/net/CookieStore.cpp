#include "net/CookieStore.h"

#include "net/AtomicFile.h"
#include "net/CookieMerge.h"
#include "net/FileLock.h"
#include "net/NetscapeCookies.h"
#include "net/NetworkSetup.h"
#include "text/EngineLog.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>

#include <sys/stat.h>

namespace pictrove {

namespace {

// Fetches finishing in a burst (a page of pictures) cause one save, not one each.
constexpr auto kSaveInterval = std::chrono::seconds(5);

// The file's bytes, read with a cap: the path may name a device or a pipe that never
// ends.
CookieFileStatus readCookieFile(const QString &path, QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CookieFileStatus::Unreadable;
    content = file.read(CookieStore::kMaxCookieFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return CookieFileStatus::Unreadable;
    if (content.size() > CookieStore::kMaxCookieFileBytes)
        return CookieFileStatus::TooLarge;
    return CookieFileStatus::Opened;
}

// The unexpired cookies of a file's text.
QList<CookieFields> cookiesIn(const QByteArray &content)
{
    QList<CookieFields> out;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const QByteArray &line : content.split('\n')) {
        CookieFields cookie;
        if (parseNetscapeLine(line, cookie) && (cookie.expiry == 0 || cookie.expiry > now))
            out.append(cookie);
    }
    return out;
}

qint64 modifiedMSecs(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
}

}  // namespace

struct CookieStore::Private {
    CURLSH *share = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;

    std::mutex stateMutex;
    QString path;
    bool dirty = false;
    std::chrono::steady_clock::time_point lastSave = std::chrono::steady_clock::now();
    qint64 lastChangeMSecs = 0;  // wall clock, to compare with the file's time
    std::mutex saveMutex;  // one writer of the file at a time, and guards `base`
    // What the file held when this store last read or wrote it: the base of the merge
    // with changes other processes made to the file since.
    CookieSet base;

    static void lock(CURL *, curl_lock_data data, curl_lock_access, void *user)
    {
        static_cast<Private *>(user)->locks[size_t(data)].lock();
    }
    static void unlock(CURL *, curl_lock_data data, void *user)
    {
        static_cast<Private *>(user)->locks[size_t(data)].unlock();
    }

    // A short-lived handle attached to the share: the only way into libcurl's cookies.
    template <typename Fn>
    void withHandle(Fn fn) const
    {
        CURL *handle = curl_easy_init();
        if (!handle)
            return;
        curl_easy_setopt(handle, CURLOPT_SHARE, share);
        fn(handle);
        curl_easy_cleanup(handle);
    }

    QList<CookieFields> all() const
    {
        QList<CookieFields> out;
        withHandle([&](CURL *handle) {
            curl_slist *list = nullptr;
            if (curl_easy_getinfo(handle, CURLINFO_COOKIELIST, &list) != CURLE_OK)
                return;
            const qint64 now = QDateTime::currentSecsSinceEpoch();
            for (curl_slist *item = list; item; item = item->next) {
                CookieFields cookie;
                if (parseNetscapeLine(QByteArray(item->data), cookie)
                    && (cookie.expiry == 0 || cookie.expiry > now))
                    out.append(cookie);
            }
            curl_slist_free_all(list);
        });
        return out;
    }

    // An expired cookie given to libcurl replaces and so deletes a held one: that is
    // how the login browser says a cookie is gone. A file's expired lines are skipped.
    int addLines(const QList<QByteArray> &lines, bool skipExpired)
    {
        int taken = 0;
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        withHandle([&](CURL *handle) {
            for (const QByteArray &line : lines) {
                CookieFields cookie;
                if (!parseNetscapeLine(line, cookie)) {
                    // Other lines refused are comments and malformed ones; a cookie too
                    // long to send is refused too, and the user should know why.
                    if (line.size() > kMaxCookieBytes && !line.startsWith('#'))
                        qCWarning(lcEngine, "a cookie of %lld bytes is too long to send: not taken",
                                  static_cast<long long>(line.size()));
                    continue;
                }
                if (skipExpired && cookie.expiry != 0 && cookie.expiry <= now)
                    continue;
                // Re-formatted, so libcurl reads exactly the fields validated here.
                if (curl_easy_setopt(handle, CURLOPT_COOKIELIST,
                                     formatNetscapeLine(cookie).constData()) == CURLE_OK)
                    ++taken;
            }
        });
        return taken;
    }
};

CookieStore::CookieStore()
    : d(std::make_unique<Private>())
{
    initNetwork();
    d->share = curl_share_init();
    curl_share_setopt(d->share, CURLSHOPT_LOCKFUNC, &Private::lock);
    curl_share_setopt(d->share, CURLSHOPT_UNLOCKFUNC, &Private::unlock);
    curl_share_setopt(d->share, CURLSHOPT_USERDATA, d.get());
    curl_share_setopt(d->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(d->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(d->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    // The connection cache is deliberately not shared: libcurl does not support one
    // pool used by concurrent threads. Each fetching thread keeps its own connections
    // instead (see the exchange).
}

CookieStore::~CookieStore()
{
    curl_share_cleanup(d->share);
}

CookieStore &CookieStore::process()
{
    // Never destroyed: detached workers may still fetch while the process exits, and a
    // thread's cached handle still refers to the share when that thread ends.
    static CookieStore *store = new CookieStore;
    return *store;
}

CookieFileStatus CookieStore::open(const QString &path)
{
    {
        std::lock_guard lock(d->stateMutex);
        d->path.clear();
        d->lastSave = std::chrono::steady_clock::now();
    }
    const bool exists = QFile::exists(path);
    QByteArray content;
    if (exists) {
        const CookieFileStatus status = readCookieFile(path, content);
        if (status != CookieFileStatus::Opened)
            return status;
    }
    {
        std::lock_guard lock(d->stateMutex);
        d->path = path;
    }
    if (!exists) {
        // A new file holds nothing yet: a base left from a file opened before would
        // read as cookies this file deleted, and the merge of the next save drop them.
        std::lock_guard saving(d->saveMutex);
        d->base.clear();
        return CookieFileStatus::Opened;
    }
    const QList<CookieFields> loaded = cookiesIn(content);
    QList<QByteArray> lines;
    for (const CookieFields &cookie : loaded)
        lines.append(formatNetscapeLine(cookie));
    d->addLines(lines, true);
    {
        std::lock_guard saving(d->saveMutex);
        d->base = cookieSetOf(loaded);
    }
    // What was just loaded is what the file holds: nothing to save yet.
    std::lock_guard lock(d->stateMutex);
    d->dirty = false;
    return CookieFileStatus::Opened;
}

bool CookieStore::save()
{
    std::lock_guard saving(d->saveMutex);
    QString path;
    qint64 lastChange = 0;
    {
        std::lock_guard lock(d->stateMutex);
        path = d->path;
        lastChange = d->lastChangeMSecs;
        d->dirty = false;
        d->lastSave = std::chrono::steady_clock::now();
    }
    if (path.isEmpty())
        return true;

    // Another process on the same data folder may have saved since this one last read
    // the file (a new login, a logout): merge with the file instead of overwriting it,
    // under a lock so two saves do not interleave. Without the lock (a filesystem that
    // has none) the merge still keeps what the file held a moment ago.
    const FileLock fileLock(path + QStringLiteral(".lock"));
    if (!fileLock.locked())
        qCDebug(lcEngine, "cookie store: saving %s without a lock", qPrintable(path));
    // A file that cannot be read now (grown past the cap, its permissions changed) may
    // hold logins this store never saw: writing over it would lose them.
    CookieSet onDisk;
    QByteArray content;
    if (QFile::exists(path)) {
        if (readCookieFile(path, content) != CookieFileStatus::Opened) {
            qCDebug(lcEngine, "cookie store: %s cannot be read: not written over", qPrintable(path));
            return false;
        }
        onDisk = cookieSetOf(cookiesIn(content));
    }
    const CookieSet ours = cookieSetOf(d->all());
    const NewerSide newer = lastChange >= modifiedMSecs(path) ? NewerSide::Ours : NewerSide::File;
    const CookieSet merged = mergeCookieSets(ours, d->base, onDisk, newer);

    QByteArray text = "# Netscape HTTP Cookie File\n"
                      "# Written by Pictrove; merged with the changes of other Pictrove processes.\n\n";
    for (const CookieFields &cookie : merged)
        text += formatNetscapeLine(cookie) + '\n';
    if (!writeFileAtomically(path, text)) {
        qCDebug(lcEngine, "cookie store: cannot write %s", qPrintable(path));
        std::lock_guard lock(d->stateMutex);
        d->dirty = true;
        return false;
    }
    d->base = merged;

    // Take in what the other processes changed, so the next fetch uses it too.
    QList<QByteArray> fromFile;
    for (auto it = ours.constBegin(); it != ours.constEnd(); ++it) {
        if (!merged.contains(it.key())) {
            CookieFields gone = *it;
            gone.expiry = 1;  // an expired cookie replaces, and so deletes, the held one
            fromFile.append(formatNetscapeLine(gone));
        }
    }
    for (auto it = merged.constBegin(); it != merged.constEnd(); ++it) {
        const auto held = ours.constFind(it.key());
        if (held == ours.constEnd() || formatNetscapeLine(*held) != formatNetscapeLine(*it))
            fromFile.append(formatNetscapeLine(*it));
    }
    d->addLines(fromFile, false);
    return true;
}

void CookieStore::saveIfDue()
{
    {
        std::lock_guard lock(d->stateMutex);
        if (!d->dirty || d->path.isEmpty()
            || std::chrono::steady_clock::now() - d->lastSave < kSaveInterval)
            return;
    }
    save();
}

void CookieStore::noteChanged()
{
    std::lock_guard lock(d->stateMutex);
    d->dirty = true;
    d->lastChangeMSecs = QDateTime::currentMSecsSinceEpoch();
}

int CookieStore::importFile(const QString &path)
{
    QByteArray content;
    if (readCookieFile(path, content) != CookieFileStatus::Opened)
        return -1;
    const int taken = d->addLines(content.split('\n'), true);
    if (taken > 0)
        noteChanged();
    return taken;
}

bool CookieStore::addCookie(const CookieFields &cookie)
{
    if (!cookieFieldsValid(cookie)) {
        if (cookie.name.toUtf8().size() + cookie.value.toUtf8().size() > kMaxCookieBytes)
            qCWarning(lcEngine, "cookie %s of %s is too long to send: not taken",
                      qPrintable(cookie.name.left(64)), qPrintable(cookie.domain));
        return false;
    }
    if (d->addLines({formatNetscapeLine(cookie)}, false) != 1)
        return false;
    noteChanged();
    return true;
}

void CookieStore::clear()
{
    d->withHandle([](CURL *handle) { curl_easy_setopt(handle, CURLOPT_COOKIELIST, "ALL"); });
    noteChanged();
}

QList<CookieFields> CookieStore::cookies() const
{
    return d->all();
}

QString CookieStore::cookieHeaderFor(const QString &url) const
{
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return QString();
    const QString path = parsed.path(QUrl::FullyEncoded);
    const qint64 now = QDateTime::currentSecsSinceEpoch();

    QList<CookieFields> matching;
    for (const CookieFields &cookie : d->all()) {
        if (cookieMatches(cookie, parsed.scheme(), parsed.host(), path, now))
            matching.append(cookie);
    }
    // The order browsers use: more specific paths first; among equals, the order held.
    std::stable_sort(matching.begin(), matching.end(),
                     [](const CookieFields &a, const CookieFields &b) {
                         return a.path.size() > b.path.size();
                     });
    QStringList pairs;
    for (const CookieFields &cookie : matching)
        pairs.append(cookie.name + QLatin1Char('=') + cookie.value);
    return pairs.join(QStringLiteral("; "));
}

void *CookieStore::curlShare() const
{
    return d->share;
}

}  // namespace pictrove
