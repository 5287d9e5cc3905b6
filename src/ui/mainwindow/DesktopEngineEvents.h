#pragma once
// The engine's events in the desktop program. The engine raises them on its threads;
// they are queued onto the GUI thread (GuiQueue: in order, a modal box holding back
// what follows it) and applied there by `target`, the window's own EngineEvents. An
// event raised on the GUI thread is applied at once. No engine thread ever waits for
// the GUI thread.
//
// pictureProgress and runProgress are coalesced: only the latest pending one of each
// is applied per event-loop turn. Albums added on another thread do not reach `target`: the album view fetches
// their covers on that thread and adds their rows in batches (AlbumListView::queueRow).
//
// After shutdown() (the window is closing) events from every thread are dropped.

#include "download/EngineEvents.h"
#include "ui/mainwindow/GuiQueue.h"

#include <atomic>
#include <functional>

namespace pictrove {

class AlbumListView;

class DesktopEngineEvents : public EngineEvents {
public:
    // Made on the GUI thread; `target` must outlive this object.
    explicit DesktopEngineEvents(EngineEvents &target);

    // The view that takes rows from other threads; without one they go to `target`
    // like any other event. Set it before the first list starts.
    void setAlbumView(AlbumListView *view);

    void shutdown();
    bool isShutDown() const;

    void listStarted() override;
    void albumAdded(int index, const AlbumRecord &album) override;
    void albumLost() override;
    void ownerAddressRemembered(const QString &address) override;
    void listWaiting(int seconds) override;
    void listFailureDetail(const QString &detail) override;
    void listFinished(ListResult result, int albumCount) override;

    void downloadStarted() override;
    void saveFolderFailed(const QString &level) override;
    void albumStarted(int number, int count, const QString &name) override;
    void picturesListed(int count) override;
    void transferStarted(int total) override;
    void pictureProgress(const PictureCounts &album) override;
    void runProgress(const PictureCounts &run) override;
    void pictureFailed(const QString &address, const QString &reason) override;
    void albumListingWaiting(int seconds) override;
    void albumIncomplete(const QString &name, const QString &reason) override;
    void diskFull(const QString &folder) override;
    void albumFinished(int number, int count, const QString &folder, const PictureCounts &album) override;
    void downloadFinished(DownloadResult result, const PictureCounts &run) override;
    void openFolder(const QString &folder) override;

private:
    void apply(std::function<void(EngineEvents &)> event);

    EngineEvents &m_target;
    std::atomic<AlbumListView *> m_view{nullptr};
    GuiQueue m_queue;
};

}  // namespace pictrove
