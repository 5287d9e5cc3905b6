#include "download/AddPicture.h"

#include "download/DownloadJob.h"
#include "download/FileNaming.h"
#include "download/Folders.h"
#include "download/ListFiles.h"
#include "download/RunContext.h"
#include "sources/MainWindowState.h"
#include "sources/WindowPort.h"

#include <QDateTime>
#include <QDir>

namespace {

// The album's folder is made at its first picture, so an album that lists nothing
// leaves no empty folder behind.
void setUpAlbumFolder(MainWindowState &state, const ST_PERLISTRECORD &album,
                      const NameRules &rules)
{
    DownloadJob &job = state.downloadJob;
    QString folder = job.jobFolder();
    const QString name = AlbumFolderName(album, rules);
    if (!name.isEmpty())
        folder += name + QLatin1Char('/');
    job.setJobFolder(folder);
    // A folder that cannot be made is not reported here: its transfers fail instead.
    QDir().mkdir(folder);
    StampTimes(folder, QDateTime::currentSecsSinceEpoch());
    job.previousFirstAddress = ReadMarkerFile(folder);
}

// The address without its fallback: what a marker line holds.
QString primaryAddress(const QString &address)
{
    const qsizetype crlf = address.indexOf(QLatin1String("\r\n"));
    return crlf >= 0 ? address.left(crlf) : address;
}

}  // namespace

void AddPicture(MainWindowState &state, const QString &address, const QString &title,
                const QString &headers, int albumIndex)
{
    // A closed album takes no further pictures even from a fetcher that goes on
    // listing: a second "first picture" would nest the album folder in itself.
    const uint8_t down = state.downState.load();
    if (down == DOWN_ALBUM_CLOSED || down == DOWN_ABORT)
        return;

    DownloadJob &job = state.downloadJob;
    const ST_PERLISTRECORD album = state.albums.at(albumIndex);
    const NameRules rules = CurrentNameRules(state);

    PictureNaming naming;
    naming.title = title;
    naming.address = address;
    naming.sequence = job.queuedCount() + 1;
    naming.album = album;
    naming.selectedAlbumCount = job.selectedAlbumCount;
    naming.albumCount = state.albums.size();
    naming.ownerName = state.owner.strOwnerName;
    naming.rules = rules;
    const QString base = PictureNameBase(naming);

    if (job.queuedCount() == 0)
        setUpAlbumFolder(state, album, rules);
    const QString folder = job.jobFolder();
    const QString fileName = FinalFileName(base, folder, job);

    if ((rules.nOptionFlags & OPT_SKIP_PREVIOUS) && !job.previousFirstAddress.isEmpty()
        && primaryAddress(address) == job.previousFirstAddress) {
        SetDownStateUnlessAborted(state, DOWN_ALBUM_CLOSED);
        return;
    }

    job.queuePicture(address, fileName, headers);
    const int count = job.queuedCount();
    state.port().setText(IDC_STATUS_DETAIL, QStringLiteral("已获取到%1张图片信息").arg(count));
    if (rules.nOptionFlags & OPT_TITLE_FILE)
        AppendTitleLine(AlbumFilePath(folder, album.strName, QStringLiteral(".txt")), title, count);
}
