#include "download/AlbumQueue.h"

namespace pictrove {

bool SharedFolderNames::contains(const QString &name) const
{
    std::lock_guard lock(m_mutex);
    return m_names.contains(name.toCaseFolded());
}

void SharedFolderNames::add(const QString &name)
{
    std::lock_guard lock(m_mutex);
    m_names.insert(name.toCaseFolded());
}

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
    pictures.clear();
    previousFirstAddress.clear();
    m_nameIndex.clear();
    m_nextCounter.clear();
    m_sharedNames.reset();
}

void AlbumQueue::queuePicture(const Picture &picture, const QString &fileName)
{
    m_nameIndex.insert(fileName.toCaseFolded(), int(pictures.size()));
    if (m_sharedNames)
        m_sharedNames->add(fileName);
    pictures.append({picture, fileName});
}

int AlbumQueue::findName(const QString &name) const
{
    // Letter case is compared through case folding, as QString's case-insensitive
    // comparison does. Every queued name passed this test first, so each key holds
    // exactly one position.
    return m_nameIndex.value(name.toCaseFolded(), -1);
}

bool AlbumQueue::nameTaken(const QString &name) const
{
    return findName(name) >= 0 || (m_sharedNames && m_sharedNames->contains(name));
}

void AlbumQueue::shareFolderNames(std::shared_ptr<SharedFolderNames> names)
{
    m_sharedNames = std::move(names);
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
