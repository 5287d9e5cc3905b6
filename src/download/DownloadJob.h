#pragma once
// The one download job of the program: the pictures queued for the album being
// downloaded, where they go, and the flags the transfer coordinator shares with the
// window. The main window state holds the only instance, reused album after album.
//
// Who touches what: the queue (addresses, names, header texts) and the per-run
// values are written only by the download driver's thread, and only while no
// coordinator runs; the coordinator takes a copy of them before it starts any
// worker. The folder is also read by the Open Path command on the GUI thread, so it
// sits behind a lock. The flags are atomics polled across threads.

#include "settings/SettingsBlock.h"
#include "sources/ControlIds.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <mutex>

class WindowPort;

// DownState values (MainWindowState::downState).
enum : uint8_t {
    DOWN_IDLE = 0,
    DOWN_RUNNING = 1,
    DOWN_ALBUM_CLOSED = 2,  // skip-previous met the first picture of the last download
    DOWN_ABORT = 3,
};

class DownloadJob {
public:
    // One entry per queued picture, same position in each list. An address may carry
    // a fallback address after "\r\n".
    QStringList jobAddresses;
    QStringList jobFileNames;  // relative to jobFolder(); single path components
    QStringList jobExtraHeaders;

    // Where the coordinator reports progress; set once when the window state is made.
    WindowPort *statusWindow = nullptr;
    int statusControl = IDC_STATUS_DETAIL;

    // The current source type's download parameters, copied once per run.
    DownloadParams downloadSettings;

    // Albums chosen for the current run (file-name escape ?6).
    int selectedAlbumCount = 0;
    // The address the current album's marker file held; empty when there was none.
    QString previousFirstAddress;

    // Coordinator flags. stopFlag: an abort was requested (cleared when a coordinator
    // starts). doneCount: jobs of this album whose transfer ended, whatever the
    // outcome. transferActive: a coordinator runs; Open Path then opens jobFolder().
    std::atomic<uint8_t> stopFlag{0};
    std::atomic<int> doneCount{0};
    std::atomic<uint8_t> transferActive{0};

    // The album's folder, always ending in "/".
    QString jobFolder() const;
    void setJobFolder(const QString &folder);

    // Empties the queue for the next album.
    void clearQueue();
    void queuePicture(const QString &address, const QString &fileName, const QString &headers);
    int queuedCount() const { return int(jobAddresses.size()); }
    // Position of the queued file name equal to `name` ignoring letter case, or -1.
    int findQueuedName(const QString &name) const;

private:
    mutable std::mutex m_folderMutex;
    QString m_folder;
    // Case-folded queued names -> first position: an album of thousands of pictures
    // that all fall back to the album name would otherwise rescan the whole queue for
    // every probe of the collision counter.
    QHash<QString, int> m_nameIndex;
};
