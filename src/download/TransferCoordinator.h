#pragma once
// The transfers of one album. A coordinator thread keeps up to `threads` long-lived
// workers busy, handing out the queued pictures in queue order; each worker fetches
// one picture at a time into its file. Progress goes to the second status line. The
// download driver starts the coordinator and waits for it; the coordinator in turn
// waits for its workers, also after an abort, so no transfer outlives its album.

#include "settings/SettingsBlock.h"

#include <QString>
#include <QStringList>

#include <thread>

class MainWindowState;

// What the workers read: a copy of the album's queue taken before the first worker
// starts, so the driver may reuse the job for the next album whatever they still do.
struct TransferJob {
    QStringList addresses;  // "address" or "address\r\nfallback"
    QStringList fileNames;
    QStringList extraHeaders;
    QString folder;  // ends in "/"
    DownloadParams settings;
};

// Clears the stop flag and starts the coordinator for the album queued in
// state.downloadJob. A thread that is not joinable means none could be started.
std::thread StartCoordinator(MainWindowState &state);

// The coordinator. Returns when every job is done, or after an abort once the running
// transfers have ended.
void DownPicFunc(MainWindowState &state, const TransferJob &job);

// Fetches job `index` into jobFolder + its file name, with the fallback address when
// the first answer is empty (or, for ".topitme." fallbacks, under 600 bytes). The file
// appears only when a body arrived completely and within the size limits. Never
// throws; the caller counts the job as done whatever happened.
void DownPicWorker(const TransferJob &job, int index);
