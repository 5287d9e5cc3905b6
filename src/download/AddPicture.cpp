#include "download/AddPicture.h"

#include "download/DownloadJob.h"
#include "download/FileNaming.h"
#include "download/Folders.h"
#include "download/AlbumSideFiles.h"
#include "download/RunContext.h"
#include "sources/MainWindowState.h"
#include "sources/WindowPort.h"

#include <QDateTime>
#include <QDir>

namespace {

// The album's folder is made at its first picture, so an album that lists nothing
// leaves no empty folder behind.
void setUpAlbumFolder(MainWindowState &state, const AlbumRecord &album,
                      const NameRules &rules)
{
    DownloadJob &job = state.downloadJob;
    QString folder = job.jobFolder();
    const QString name = albumFolderName(album, rules);
    if (!name.isEmpty())
        folder += name + QLatin1Char('/');
    job.setJobFolder(folder);
    // A folder that cannot be made is not reported here: its transfers fail instead.
    QDir().mkdir(folder);
    stampTimes(folder, QDateTime::currentSecsSinceEpoch());
    job.previousFirstAddress = readMarkerFile(folder);
}

// The address without its fallback: what a marker line holds.
QString primaryAddress(const QString &address)
{
    const qsizetype crlf = address.indexOf(QLatin1String("\r\n"));
    return crlf >= 0 ? address.left(crlf) : address;
}

}  // namespace

void addPicture(MainWindowState &state, const QString &address, const QString &title,
                const QString &headers, int albumIndex)
{
    // A closed album takes no further pictures even from a fetcher that goes on
    // listing: a second "first picture" would nest the album folder in itself.
    const uint8_t down = state.downState.load();
    if (down == DOWN_ALBUM_CLOSED || down == DOWN_ABORT)
        return;

    DownloadJob &job = state.downloadJob;
    const AlbumRecord album = state.albums.at(albumIndex);
    const NameRules rules = currentNameRules(state);

    PictureNaming naming;
    naming.title = title;
    naming.address = address;
    naming.sequence = job.queuedCount() + 1;
    naming.album = album;
    naming.selectedAlbumCount = job.selectedAlbumCount;
    naming.albumCount = state.albums.size();
    naming.ownerName = state.owner.name;
    naming.rules = rules;
    const QString base = pictureNameBase(naming);

    if (job.queuedCount() == 0)
        setUpAlbumFolder(state, album, rules);
    const QString folder = job.jobFolder();
    const QString fileName = finalFileName(base, folder, job);

    if ((rules.options & OPT_SKIP_PREVIOUS) && !job.previousFirstAddress.isEmpty()
        && primaryAddress(address) == job.previousFirstAddress) {
        SetDownStateUnlessAborted(state, DOWN_ALBUM_CLOSED);
        return;
    }

    job.queuePicture(address, fileName, headers);
    const int count = job.queuedCount();
    state.port().setText(IDC_STATUS_DETAIL, QStringLiteral("已获取到%1张图片信息").arg(count));
    if (rules.options & OPT_TITLE_FILE)
        appendTitleLine(albumFilePath(folder, album.name, QStringLiteral(".txt")), title, count);
}
