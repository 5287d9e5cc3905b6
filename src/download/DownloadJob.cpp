#include "download/DownloadJob.h"

QString DownloadJob::jobFolder() const
{
    std::lock_guard lock(m_folderMutex);
    return m_folder;
}

void DownloadJob::setJobFolder(const QString &folder)
{
    std::lock_guard lock(m_folderMutex);
    m_folder = folder;
}

void DownloadJob::clearQueue()
{
    jobAddresses.clear();
    jobFileNames.clear();
    jobExtraHeaders.clear();
    m_nameIndex.clear();
}

void DownloadJob::queuePicture(const QString &address, const QString &fileName,
                               const QString &headers)
{
    m_nameIndex.insert(fileName.toCaseFolded(), int(jobFileNames.size()));
    jobAddresses.append(address);
    jobFileNames.append(fileName);
    jobExtraHeaders.append(headers);
}

int DownloadJob::findQueuedName(const QString &name) const
{
    // Letter case is compared through case folding, as QString's case-insensitive
    // comparison does. Every queued name passed this test first, so each key holds
    // exactly one position.
    return m_nameIndex.value(name.toCaseFolded(), -1);
}
