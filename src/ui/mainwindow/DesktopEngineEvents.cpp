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

template <class Event>
void DesktopEngineEvents::apply(const Event &event)
{
    m_queue.run([this, event] { m_target.report(event); });
}

void DesktopEngineEvents::report(const ListEvent &event)
{
    if (const auto *added = std::get_if<event::AlbumAdded>(&event); added && divertToAlbumView(*added))
        return;
    apply(event);
}

void DesktopEngineEvents::report(const DownloadEvent &event)
{
    if (std::holds_alternative<event::PictureProgress>(event))
        m_queue.runLatest(kAlbumProgress, [this, event] { m_target.report(event); });
    else if (std::holds_alternative<event::RunProgress>(event))
        m_queue.runLatest(kRunProgress, [this, event] { m_target.report(event); });
    else
        apply(event);
}

bool DesktopEngineEvents::divertToAlbumView(const event::AlbumAdded &added)
{
    AlbumListView *view = m_view.load();
    if (!view || m_queue.onGuiThread())
        return false;
    if (isShutDown())
        return true;
    // The cover is fetched here, on the engine's thread, never on the GUI thread.
    const int generation = view->generation();
    view->prepareCover(added.index, generation);
    view->queueRow(added.index, generation);
    return true;
}

}  // namespace pictrove
