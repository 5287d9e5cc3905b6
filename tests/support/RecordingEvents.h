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
    void report(const ListEvent &event) override;
    void report(const DownloadEvent &event) override;

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
    QList<int> stoppedAlbums() const;   // numbers of the albums whose albumFinished said stopped
    void clear();

private:
    // One overload per kind of event shown.
    void on(const event::ListStarted &e);
    void on(const event::AlbumAdded &e);
    void on(const event::AlbumLost &e);
    void on(const event::OwnerAddressRemembered &e);
    void on(const event::ListWaiting &e);
    void on(const event::ListFailureDetail &e);
    void on(const event::ListFinished &e);
    void on(const event::DownloadStarted &e);
    void on(const event::SaveFolderFailed &e);
    void on(const event::AlbumStarted &e);
    void on(const event::PicturesListed &e);
    void on(const event::TransferStarted &e);
    void on(const event::PictureProgress &e);
    void on(const event::RunProgress &e);
    void on(const event::AlbumListingWaiting &e);
    void on(const event::PictureFailed &e);
    void on(const event::AlbumIncomplete &e);
    void on(const event::DiskFull &e);
    void on(const event::ArchiveUnusable &e);
    void on(const event::AlbumFinished &e);
    void on(const event::DownloadFinished &e);
    void on(const event::OpenFolder &e);
    void on(const event::UpdateAlbumsChosen &e);
    void on(const event::UpdateFinished &e);

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
    QList<int> m_stoppedAlbums;
};

// "Listed", "NoAddress", ... and "Finished", "Stopped", ...
QString resultName(ListResult result);
QString resultName(DownloadResult result);
QString resultName(UpdateResult result);

}  // namespace pictrove
