#include "net/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictrove {

namespace {

constexpr QLatin1StringView kTemporaryInfix(".tmp-");
constexpr qsizetype kRandomLength = 6;  // mkstemp's XXXXXX

bool writeAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// "<target>.tmp-" and mkstemp's six letters or digits, for one of `targets`.
bool isTemporaryOf(const QString &name, const QStringList &targets)
{
    for (const QString &target : targets) {
        const qsizetype prefix = target.size() + kTemporaryInfix.size();
        if (name.size() != prefix + kRandomLength || !name.startsWith(target)
            || !QStringView(name).sliced(target.size()).startsWith(kTemporaryInfix))
            continue;
        const QStringView random = QStringView(name).sliced(prefix);
        if (std::all_of(random.begin(), random.end(), isAsciiLetterOrDigit))
            return true;
    }
    return false;
}

}  // namespace

// mkstemp creates the file 0600 from the start, so the content is never readable by
// others, not even briefly.
bool writeFileAtomically(const QString &path, const QByteArray &data)
{
    QByteArray tmpl = QFile::encodeName(path) + QByteArray(kTemporaryInfix.data()) + "XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmpl.constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    ::unlink(tmpl.constData());
    return false;
}

// Two programs may use one data folder at the same time (the desktop program and
// pictrove-cli), so a temporary file may be the other's save in progress. Only age
// tells them apart for every file: the cookie lock covers the cookie saves alone, and
// not at all on a file system without locks. A writer that was merely suspended past
// the age loses nothing either: its rename fails, the target keeps its previous
// content, and its next save writes again.
int removeStaleTemporaries(const QString &folder, const QStringList &targets)
{
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds);
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        if (isTemporaryOf(entry.fileName(), targets) && entry.lastModified().toUTC() < staleBefore
            && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

}  // namespace pictrove
