#pragma once
// The engine's events in the desktop program. The engine raises them on its threads;
// they are queued onto the GUI thread (GuiQueue: in order, a modal box holding back
// what follows it) and applied there by `target`, the window's own EngineEvents. An
// event raised on the GUI thread is applied at once. No engine thread ever waits for
// the GUI thread.
//
// PictureProgress and RunProgress are coalesced: only the latest pending one of each
// is applied per event-loop turn. Albums added on another thread do not reach
// `target`: the album view fetches their covers on that thread and adds their rows in
// batches (AlbumListView::queueRow). Every other event is passed on whole, whatever
// its kind: a new kind of event needs nothing here.
//
// After shutdown() (the window is closing) events from every thread are dropped.

#include "download/EngineEvents.h"
#include "ui/mainwindow/GuiQueue.h"

#include <atomic>

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

    void report(const ListEvent &event) override;
    void report(const DownloadEvent &event) override;

private:
    // Hands an AlbumAdded raised off the GUI thread to the album view; false when it
    // must go to `target` like any other event.
    bool divertToAlbumView(const event::AlbumAdded &added);
    template <class Event>
    void apply(const Event &event);

    EngineEvents &m_target;
    std::atomic<AlbumListView *> m_view{nullptr};
    GuiQueue m_queue;
};

}  // namespace pictrove
