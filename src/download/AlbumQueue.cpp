#include "download/AlbumQueue.h"

namespace pictrove {

QString AlbumQueue::folder() const
{
    std::lock_guard lock(m_folderMutex);
    return m_folder;
}

void AlbumQueue::setFolder(const QString &folder)
{
    std::lock_guard lock(m_folderMutex);
    m_folder = folder;
}

void AlbumQueue::clear()
{
    addresses.clear();
    fileNames.clear();
    extraHeaders.clear();
    previousFirstAddress.clear();
    m_nameIndex.clear();
    m_nextCounter.clear();
}

void AlbumQueue::queuePicture(const QString &address, const QString &fileName, const QString &headers)
{
    m_nameIndex.insert(fileName.toCaseFolded(), int(fileNames.size()));
    addresses.append(address);
    fileNames.append(fileName);
    extraHeaders.append(headers);
}

int AlbumQueue::findName(const QString &name) const
{
    // Letter case is compared through case folding, as QString's case-insensitive
    // comparison does. Every queued name passed this test first, so each key holds
    // exactly one position.
    return m_nameIndex.value(name.toCaseFolded(), -1);
}

uint AlbumQueue::nextCounter(const QString &base) const
{
    return m_nextCounter.value(base.toCaseFolded(), 1);
}

void AlbumQueue::setNextCounter(const QString &base, uint next)
{
    m_nextCounter.insert(base.toCaseFolded(), next);
}

}  // namespace pictrove
