#pragma once
// One picture's transfer into its file, as a worker of the run's pool runs it
// (TransferPool), and what the workers of one album read.

#include "download/AlbumQueue.h"
#include "settings/SettingsBlock.h"

#include <QList>
#include <QString>

#include <functional>

namespace pictrove {

// What the workers read of one album: the pictures to transfer (its queue without
// those already there), shared by the workers until the album ended.
struct TransferJob {
    QList<QueuedPicture> pictures;
    QString folder;  // ends in "/"
    DownloadParams settings;
    // The run's stop, asked by every transfer while it waits and receives: a stopping
    // run does not wait for a stalled picture's time limit. Empty: never stopped.
    std::function<bool()> stopRequested;
};

// How one picture's transfer ended.
struct PictureOutcome {
    bool saved = false;
    qint64 bytes = 0;
    QString reason;  // why it did not arrive; empty when saved
    bool noSpace = false;  // the disk is full: the album's other pictures cannot arrive either
    bool stopped = false;  // the run's stop ended it first: never tried to the end, not failed
    // Smaller or larger than the user's size limits: left out on purpose, not failed.
    bool outsideSizeLimits = false;
};

// Fetches job `index` into job.folder + its file name, with the fallback address when
// the first answer is empty or not a picture (or, for ".topitme." fallbacks, under 600
// bytes; not when the first one broke the size limits). The file appears only when a
// body arrived completely, within the size limits,
// and is not an empty body or a page in place of the picture. A stop ends the transfer
// at once, without a file, a second try or the fallback. Never throws.
PictureOutcome transferPicture(const TransferJob &job, int index);

}  // namespace pictrove
