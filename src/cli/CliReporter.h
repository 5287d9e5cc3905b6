#pragma once
// What pictrove-cli tells the terminal while the engine runs. Engine events become
// lines on stderr (one line per change of state, in the words the desktop program's
// status lines use); on a terminal the progress of a download is instead one live
// line with the album, a bar and the rate. Results and the folder to open are kept
// for the exit code and stdout. Events may come from any engine thread.

#include "download/EngineEvents.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <mutex>
#include <optional>

namespace pictrove {

class CliReporter : public EngineEvents {
public:
    explicit CliReporter(FILE *err = stderr);

    void listStarted() override;
    void albumLost() override;
    void listWaiting(int seconds) override;
    void listFailureDetail(const QString &detail) override;
    void listFinished(ListResult result, int albumCount) override;

    void saveFolderFailed(const QString &level) override;
    void albumStarted(int number, int count, const QString &name) override;
    void picturesListed(int count) override;
    void transferStarted(int total) override;
    void pictureProgress(const PictureCounts &album) override;
    void runProgress(const PictureCounts &run) override;
    void pictureFailed(const QString &address, const QString &reason) override;
    void albumListingWaiting(int seconds) override;
    void albumIncomplete(const QString &name, const QString &reason) override;
    void diskFull(const QString &folder) override;
    void downloadFinished(DownloadResult result, const PictureCounts &run) override;
    void openFolder(const QString &folder) override;

    std::optional<ListResult> listResult() const;
    std::optional<DownloadResult> downloadResult() const;
    // The run's pictures, as downloadFinished counted them.
    PictureCounts downloadCounts() const;
    // Every picture that did not arrive: "address\treason", in the order they failed.
    QStringList failedPictures() const;
    // The folder the options asked to open at the end of the run, or empty.
    QString folderToOpen() const;
    // A plain message line, for the CLI's own notes.
    void message(const QString &text);
    // Ends a live progress line so the next output starts on a fresh line.
    void finishLine();

private:
    void printLine(const QString &line);
    void drawProgress();

    FILE *m_err;
    const bool m_live;  // stderr is a terminal
    mutable std::mutex m_mutex;
    std::optional<ListResult> m_listResult;
    QString m_listDetail;
    std::optional<DownloadResult> m_downloadResult;
    PictureCounts m_downloadCounts;
    QStringList m_failed;
    QString m_folderToOpen;
    // The live line: the album walked and the pictures done of the one transferring.
    int m_albumNumber = 0;
    int m_albumCount = 0;
    std::optional<PictureCounts> m_album;
    PictureCounts m_run;  // the whole run so far
    bool m_lineOpen = false;
    QElapsedTimer m_clock;
};

}  // namespace pictrove
