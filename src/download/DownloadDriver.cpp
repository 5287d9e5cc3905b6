#include "download/DownloadDriver.h"

#include "download/TransferCoordinator.h"
#include "download/DownloadJob.h"
#include "download/FileNaming.h"
#include "download/Folders.h"
#include "download/AlbumSideFiles.h"
#include "download/PictureRepair.h"
#include "download/RunContext.h"
#include "settings/ExtensionSettings.h"
#include "sources/MainWindowState.h"
#include "sources/SinaBlogSource.h"
#include "sources/WeiboSource.h"
#include "sources/WindowPort.h"

#include <QDateTime>

namespace {

const QString kThreadFailed = QStringLiteral("Create thread:DownPicFunc failed.");

// The only source type whose albums can be listed; every other one lists nothing.
constexpr int kSinaSourceType = 4;
constexpr int kLastSourceType = 20;

const int kLockedControls[] = {
    IDC_SOURCE_TYPE, IDC_GET_LIST,     IDC_SET_PATH,     IDC_OWNER_ADDRESS,
    IDC_SAVE_PATH,   IDC_PRAISE_LINK1, IDC_PRAISE_LINK2, IDC_PRAISE_LINK3,
};

void setControlsEnabled(WindowPort &port, bool enabled)
{
    for (const int id : kLockedControls)
        port.setEnabled(id, enabled);
}

// A folder part of the owner values ("Name/" or empty), cut to one component's size.
QString fittedFolderPart(const QString &part)
{
    if (part.isEmpty())
        return part;
    const QString name = part.endsWith(QLatin1Char('/')) ? part.chopped(1) : part;
    return fitUtf8(name, QString()) + QLatin1Char('/');
}

void listPictures(MainWindowState &state, int albumIndex)
{
    const int sourceType = state.sourceTypeIndex.load();
    if (sourceType > kLastSourceType) {
        state.port().showMessage(QStringLiteral("Error ListType Code."));
        return;
    }
    if (sourceType != kSinaSourceType)
        return;
    switch (state.listType.load()) {
    case LIST_BLOG_CATEGORIES:
        sinaBlogCategoryPictures(state, albumIndex);
        break;
    case LIST_BLOG_ARTICLES:
        sinaBlogArticlePicture(state, albumIndex);
        break;
    case LIST_WEIBO_ALBUMS:
        weiboAlbumPhotos(state, albumIndex);
        break;
    default:
        break;
    }
}

// Transfers the queued album and leaves its marker; false when the coordinator could
// not be started.
bool transferAlbum(MainWindowState &state)
{
    DownloadJob &job = state.downloadJob;
    state.port().setText(IDC_STATUS_DETAIL, QStringLiteral("已开始下载图片"));
    std::thread coordinator = StartCoordinator(state);
    if (!coordinator.joinable())
        return false;
    coordinator.join();
    // An aborted album keeps the marker of its last complete download.
    if (state.downState.load() != DOWN_ABORT)
        writeMarkerFile(job.jobFolder(), job.jobAddresses.first());
    return true;
}

}  // namespace

void StartDownload(MainWindowState &state)
{
    if (state.downState.load() != DOWN_IDLE) {
        state.downState = DOWN_ABORT;
        state.downloadJob.stopFlag = 1;
        return;
    }
    state.downState = DOWN_RUNNING;
    if (!state.startThread([&state] { DownloadDriver(state); })) {
        state.downState = DOWN_IDLE;
        state.port().showMessage(kThreadFailed);
    }
}

void BeginDownloadUi(MainWindowState &state)
{
    SetDownStateUnlessAborted(state, DOWN_RUNNING);
    state.port().setText(IDC_DOWNLOAD, QStringLiteral("终止下载"));
    setControlsEnabled(state.port(), false);
}

void EndDownloadUi(MainWindowState &state)
{
    state.downState = DOWN_IDLE;
    WindowPort &port = state.port();
    port.setText(IDC_DOWNLOAD, QStringLiteral("下载"));
    setControlsEnabled(port, true);
    port.setText(IDC_STATUS, QStringLiteral("下载完毕"));
    port.setText(IDC_STATUS_DETAIL, QString());
}

void DownloadDriver(MainWindowState &state)
{
    WindowPort &port = state.port();
    DownloadJob &job = state.downloadJob;
    state.setExtensionSettings(readExtensionSettings(state.dataFolder));

    QString base = port.text(IDC_SAVE_PATH).trimmed();
    if (base.isEmpty()) {
        port.showMessage(QStringLiteral("请先设置保存路径"));
        state.downState = DOWN_IDLE;
        return;
    }
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    base += fittedFolderPart(state.owner.name);
    base += fittedFolderPart(state.owner.subFolder);
    if (!ensureFolder(base, port)) {
        port.showMessage(QStringLiteral("请检测设置的保存路径是否有误"));
        state.downState = DOWN_IDLE;
        return;
    }
    stampTimes(base, QDateTime::currentSecsSinceEpoch());
    BeginDownloadUi(state);

    job.setJobFolder(base);
    const int sourceType = state.sourceTypeIndex.load();
    job.downloadSettings = sourceType >= 0 && sourceType < SOURCE_TYPE_COUNT
        ? state.settings().downloadParams[size_t(sourceType)]
        : DownloadParams{0, 0, 5, 30};

    QList<int> chosen;
    const int albumCount = state.albums.size();
    for (const int index : port.selectedAlbums()) {
        if (index >= 0 && index < albumCount)
            chosen.append(index);
    }
    const int n = int(chosen.size());
    job.selectedAlbumCount = n;
    if (n == 0)
        port.showMessage(QStringLiteral("请先在列表中选择要下载的相册"));

    int listed = 0;
    for (int k = 1; k <= n; ++k) {
        if (state.downState.load() == DOWN_ABORT)
            break;
        const int albumIndex = chosen.at(k - 1);
        job.clearQueue();
        job.setJobFolder(base);
        if (!SetDownStateUnlessAborted(state, DOWN_RUNNING))
            break;
        port.setText(IDC_STATUS, QStringLiteral("正在下载第%1/%2个图集").arg(k).arg(n));
        port.setText(IDC_STATUS_DETAIL, QStringLiteral("......"));

        listPictures(state, albumIndex);
        if (job.jobAddresses.isEmpty() || state.downState.load() == DOWN_ABORT)
            continue;
        listed += job.queuedCount();

        const uint16_t options = currentNameRules(state).options;
        if (options & OPT_THUNDER_LIST_ONLY) {
            writeThunderList(albumFilePath(job.jobFolder(), state.albums.at(albumIndex).name,
                                           QStringLiteral(".lst")),
                             job.jobAddresses);
            continue;
        }
        if (!transferAlbum(state)) {
            port.showMessage(kThreadFailed);
            continue;
        }
        const uint16_t repairs = currentNameRules(state).options;
        if (repairs & OPT_FIX_FORMAT)
            fixPictureFormats(job);
        if (repairs & OPT_FIX_ORDER)
            fixPictureOrder(job);
    }

    EndDownloadUi(state);
    if (listed > 0 && (currentNameRules(state).options & OPT_OPEN_FOLDER))
        port.openFolderOrAddress(job.jobFolder());
}

QString OpenPathFolder(MainWindowState &state, const QString &savePath)
{
    return state.downloadJob.transferActive.load() ? state.downloadJob.jobFolder() : savePath;
}
