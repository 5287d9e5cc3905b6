#pragma once
// How far a download run is, for the progress bar and the window title: the albums
// before the current one count whole, the current one by its pictures ended. Speed
// from the bytes saved so far. Time left from the pictures still to fetch at the pace
// of the last few seconds: a resumed run passes its finished albums in a moment, and
// that jump of the bar says nothing about the time the rest takes. Pure; the caller
// gives the clock.

#include "download/DownloadEvents.h"

#include <QString>

#include <deque>

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
    struct Sample {
        qint64 ms = 0;
        int pictures = 0;  // pictures ended in the run by then
    };
    void sample(qint64 nowMs);
    // Pictures still to fetch: the rest of the album under way, and for each album
    // after it as many as the albums that had something to fetch had on average (an
    // album a resume found complete says nothing about the ones still to come).
    double picturesLeft() const;

    qint64 m_startMs = 0;
    qint64 m_nowMs = 0;
    int m_album = 0;   // 1-based number of the album being downloaded
    int m_albums = 0;
    double m_albumFraction = 0;
    int m_albumTotal = 0;
    int m_albumDone = 0;
    int m_endedPictures = 0;       // pictures of the albums before the current one
    int m_albumsWithPictures = 0;  // of those albums, the ones that had any to fetch
    qint64 m_runBytes = 0;
    std::deque<Sample> m_samples;  // the recent pace, oldest first
};

}  // namespace pictrove
