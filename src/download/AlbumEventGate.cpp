#include "download/AlbumEventGate.h"

namespace pictrove {

void AlbumEventGate::post(int number, Event event)
{
    std::lock_guard lock(m_mutex);
    if (number == m_current)
        event(m_out);
    else
        m_kept[number].push_back(std::move(event));
}

void AlbumEventGate::postNow(Event event)
{
    std::lock_guard lock(m_mutex);
    event(m_out);
}

void AlbumEventGate::advance()
{
    std::lock_guard lock(m_mutex);
    ++m_current;
    const auto kept = m_kept.find(m_current);
    if (kept == m_kept.end())
        return;
    for (const Event &event : kept->second)
        event(m_out);
    m_kept.erase(kept);
}

void AlbumEvents::albumStarted(int number, int count, const QString &name)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.albumStarted(number, count, name); });
}

void AlbumEvents::picturesListed(int count)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.picturesListed(count); });
}

void AlbumEvents::transferStarted(int total)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.transferStarted(total); });
}

void AlbumEvents::pictureProgress(const PictureCounts &album)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.pictureProgress(album); });
}

void AlbumEvents::pictureFailed(const QString &address, const QString &reason)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.pictureFailed(address, reason); });
}

void AlbumEvents::albumIncomplete(const QString &name, const QString &reason)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.albumIncomplete(name, reason); });
}

void AlbumEvents::albumFinished(int number, int count, const QString &folder, const PictureCounts &album)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.albumFinished(number, count, folder, album); });
}

void AlbumEvents::diskFull(const QString &folder)
{
    m_gate.post(m_number, [=](DownloadEvents &out) { out.diskFull(folder); });
}

}  // namespace pictrove
