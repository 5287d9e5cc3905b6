#include "ui/mainwindow/DesktopEngineEvents.h"

#include "ui/albumview/AlbumListView.h"

namespace pictrove {

namespace {

// The kinds of event of which only the latest waiting one matters.
enum LatestOnly : int { kAlbumProgress = 1, kRunProgress };

}  // namespace

DesktopEngineEvents::DesktopEngineEvents(EngineEvents &target)
    : m_target(target)
{
}

void DesktopEngineEvents::setAlbumView(AlbumListView *view)
{
    m_view = view;
}

void DesktopEngineEvents::shutdown()
{
    m_queue.shutdown();
}

bool DesktopEngineEvents::isShutDown() const
{
    return m_queue.isShutDown();
}

void DesktopEngineEvents::apply(std::function<void(EngineEvents &)> event)
{
    m_queue.run([this, event = std::move(event)] { event(m_target); });
}

void DesktopEngineEvents::listStarted()
{
    apply([](EngineEvents &target) { target.listStarted(); });
}

void DesktopEngineEvents::albumAdded(int index, const AlbumRecord &album)
{
    AlbumListView *view = m_view.load();
    if (!view || m_queue.onGuiThread()) {
        apply([index, album](EngineEvents &target) { target.albumAdded(index, album); });
        return;
    }
    if (isShutDown())
        return;
    // The cover is fetched here, on the engine's thread, never on the GUI thread.
    const int generation = view->generation();
    view->prepareCover(index, generation);
    view->queueRow(index, generation);
}

void DesktopEngineEvents::albumLost()
{
    apply([](EngineEvents &target) { target.albumLost(); });
}

void DesktopEngineEvents::ownerAddressRemembered(const QString &address)
{
    apply([address](EngineEvents &target) { target.ownerAddressRemembered(address); });
}

void DesktopEngineEvents::listWaiting(int seconds)
{
    apply([seconds](EngineEvents &target) { target.listWaiting(seconds); });
}

void DesktopEngineEvents::listFailureDetail(const QString &detail)
{
    apply([detail](EngineEvents &target) { target.listFailureDetail(detail); });
}

void DesktopEngineEvents::listFinished(ListResult result, int albumCount)
{
    apply([result, albumCount](EngineEvents &target) { target.listFinished(result, albumCount); });
}

void DesktopEngineEvents::downloadStarted()
{
    apply([](EngineEvents &target) { target.downloadStarted(); });
}

void DesktopEngineEvents::saveFolderFailed(const QString &level)
{
    apply([level](EngineEvents &target) { target.saveFolderFailed(level); });
}

void DesktopEngineEvents::albumStarted(int number, int count, const QString &name)
{
    apply([number, count, name](EngineEvents &target) { target.albumStarted(number, count, name); });
}

void DesktopEngineEvents::picturesListed(int count)
{
    apply([count](EngineEvents &target) { target.picturesListed(count); });
}

void DesktopEngineEvents::transferStarted(int total)
{
    apply([total](EngineEvents &target) { target.transferStarted(total); });
}

void DesktopEngineEvents::pictureProgress(const PictureCounts &album)
{
    m_queue.runLatest(kAlbumProgress, [this, album] { m_target.pictureProgress(album); });
}

void DesktopEngineEvents::albumListingWaiting(int seconds)
{
    apply([seconds](EngineEvents &target) { target.albumListingWaiting(seconds); });
}

void DesktopEngineEvents::runProgress(const PictureCounts &run)
{
    m_queue.runLatest(kRunProgress, [this, run] { m_target.runProgress(run); });
}

void DesktopEngineEvents::pictureFailed(const QString &address, const QString &reason)
{
    apply([address, reason](EngineEvents &target) { target.pictureFailed(address, reason); });
}

void DesktopEngineEvents::albumIncomplete(const QString &name, const QString &reason)
{
    apply([name, reason](EngineEvents &target) { target.albumIncomplete(name, reason); });
}

void DesktopEngineEvents::diskFull(const QString &folder)
{
    apply([folder](EngineEvents &target) { target.diskFull(folder); });
}

void DesktopEngineEvents::albumFinished(int number, int count, const QString &folder, const PictureCounts &album)
{
    apply([number, count, folder, album](EngineEvents &target) { target.albumFinished(number, count, folder, album); });
}

void DesktopEngineEvents::downloadFinished(DownloadResult result, const PictureCounts &run)
{
    apply([result, run](EngineEvents &target) { target.downloadFinished(result, run); });
}

void DesktopEngineEvents::openFolder(const QString &folder)
{
    apply([folder](EngineEvents &target) { target.openFolder(folder); });
}

}  // namespace pictrove
