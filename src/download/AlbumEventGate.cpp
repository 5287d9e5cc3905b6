#include "download/AlbumEventGate.h"

namespace pictrove {

void AlbumEventGate::post(int number, const DownloadEvent &event)
{
    std::lock_guard lock(m_mutex);
    if (number == m_current)
        m_out.report(event);
    else
        m_kept[number].push_back(event);
}

void AlbumEventGate::postNow(const DownloadEvent &event)
{
    std::lock_guard lock(m_mutex);
    m_out.report(event);
}

void AlbumEventGate::advance()
{
    std::lock_guard lock(m_mutex);
    ++m_current;
    const auto kept = m_kept.find(m_current);
    if (kept == m_kept.end())
        return;
    for (const DownloadEvent &event : kept->second)
        m_out.report(event);
    m_kept.erase(kept);
}

void AlbumEvents::report(const DownloadEvent &event)
{
    m_gate.post(m_number, event);
}

}  // namespace pictrove
