#pragma once
// How far a download run is, for the progress bar and the window title: the albums
// before the current one count whole, the current one by its pictures ended. Speed
// from the bytes saved so far, time left from the pace of the fraction done. Pure;
// the caller gives the clock.

#include "download/DownloadEvents.h"

#include <QString>

namespace pictrove {

class RunProgress {
public:
    void start(qint64 nowMs);
    void albumStarted(int number, int count);
    // The album being downloaded: how far it is.
    void update(const PictureCounts &album, qint64 nowMs);
    // The whole run's counts, albums transferring ahead included: the speed.
    void updateRun(const PictureCounts &run, qint64 nowMs);

    // 0..1 of the whole run.
    double fraction() const;
    // Bytes a second since the run started; 0 before anything arrived.
    double bytesPerSecond() const;
    // Seconds still to go, -1 while too little is done to tell.
    int secondsLeft() const;
    // "1.5 MB/s，剩余 0:35" (either part left out while unknown).
    QString speedAndTimeLeft() const;

private:
    qint64 m_startMs = 0;
    qint64 m_nowMs = 0;
    int m_album = 0;   // 1-based number of the album being downloaded
    int m_albums = 0;
    double m_albumFraction = 0;
    qint64 m_runBytes = 0;
};

}  // namespace pictrove
