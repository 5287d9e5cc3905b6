#pragma once
// The transfers of one album. The calling thread coordinates up to `threads`
// long-lived workers, handing out the queued pictures in queue order; each worker
// fetches one picture at a time into its file. The coordinator waits for its workers,
// also after a stop, so no transfer outlives its album.

#include "download/DownloadEvents.h"
#include "settings/SettingsBlock.h"

#include <QString>
#include <QStringList>

namespace pictrove {

// Pause between two transfers when only one worker runs, so a single-threaded
// download does not hammer the service.
inline constexpr int kSingleWorkerPauseMs = 2000;

// What the workers read: a copy of the album's queue taken before the first worker
// starts, so the download may reuse its queue for the next album.
struct TransferJob {
    QStringList addresses;  // "address" or "address\r\nfallback"
    QStringList fileNames;
    QStringList extraHeaders;
    QString folder;  // ends in "/"
    DownloadParams settings;
};

// How one picture's transfer ended.
struct PictureOutcome {
    bool saved = false;
    qint64 bytes = 0;
    QString reason;  // why it did not arrive; empty when saved
    bool noSpace = false;  // the disk is full: the album's other pictures cannot arrive either
};

// What the coordinator asks and tells while it runs; called on its thread only.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual bool stopRequested() const = 0;
    // The pause between two transfers when a single worker runs.
    virtual void pause(int milliseconds) = 0;
    virtual void progress(const PictureCounts &album) = 0;
    virtual void failed(const QString &address, const QString &reason) = 0;
    // A picture could not be written because the disk is full. The coordinator hands
    // out no further picture; the running transfers end as after a stop.
    virtual void noSpace() = 0;
};

// Transfers every picture of `job`; returns once each has ended, or after a stop once
// the running transfers have ended. The counts cover the album.
PictureCounts runTransfers(const TransferJob &job, TransferObserver &observer);

// Fetches job `index` into job.folder + its file name, with the fallback address when
// the first answer is empty (or, for ".topitme." fallbacks, under 600 bytes). The file
// appears only when a body arrived completely and within the size limits. Never throws.
PictureOutcome transferPicture(const TransferJob &job, int index);

}  // namespace pictrove
