#pragma once
// EngineEvents for tests: records every event, in order, as a short line ("albumAdded
// 0 旅行", "downloadFinished Finished saved=3 failed=0"), and keeps the typed values
// tests look at most. Thread-safe, since the engine calls it from its threads.

#include "download/EngineEvents.h"

#include <QList>
#include <QStringList>

#include <mutex>
#include <optional>

namespace pictrove {

class RecordingEvents : public EngineEvents {
public:
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
    void albumListingWaiting(int seconds) override;
    void pictureFailed(const QString &address, const QString &reason) override;
    void albumIncomplete(const QString &name, const QString &reason) override;
    void diskFull(const QString &folder) override;
    void albumFinished(int number, int count, const QString &folder, const PictureCounts &album) override;
    void downloadFinished(DownloadResult result, const PictureCounts &run) override;
    void openFolder(const QString &folder) override;

    // Every event so far, one line each, in the order they came.
    QStringList log() const;
    // Only the lines that start with `event` ("albumStarted", ...).
    QStringList logOf(const QString &event) const;
    // Album indexes of albumAdded, in order.
    QList<int> addedRows() const;
    std::optional<ListResult> listResult() const;
    std::optional<DownloadResult> downloadResult() const;
    PictureCounts downloadCounts() const;
    QList<PictureCounts> progress() const;
    // The last runProgress heard (kept out of the log: its place among an album's
    // events depends on timing).
    PictureCounts runCounts() const;
    QStringList remembered() const;   // ownerAddressRemembered
    QStringList openedFolders() const;  // openFolder
    void clear();

private:
    void append(const QString &line);

    mutable std::mutex m_mutex;
    QStringList m_log;
    QList<int> m_rows;
    std::optional<ListResult> m_listResult;
    std::optional<DownloadResult> m_downloadResult;
    PictureCounts m_downloadCounts;
    QList<PictureCounts> m_progress;
    PictureCounts m_runCounts;
    QStringList m_remembered;
    QStringList m_opened;
};

// "Listed", "NoAddress", ... and "Finished", "Stopped", ...
QString resultName(ListResult result);
QString resultName(DownloadResult result);

}  // namespace pictrove
