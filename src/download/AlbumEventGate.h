#pragma once
// Keeps a run's album events in album order while albums overlap: album k+1 may be
// listed, and its first pictures transferred, while album k's last pictures still
// arrive. The front end hears album k's events as they happen, and album k+1's
// (kept until then) right after album k's AlbumFinished, so every album still reads
// AlbumStarted … AlbumFinished without another album's events in between. Events are
// passed on one at a time, from whichever thread posts them.

#include "download/DownloadEvents.h"

#include <map>
#include <mutex>
#include <vector>

namespace pictrove {

class AlbumEventGate {
public:
    explicit AlbumEventGate(DownloadEvents &out)
        : m_out(out)
    {
    }

    // Passes `event` on now when album `number` (1-based) is the one being reported,
    // otherwise keeps it until it is.
    void post(int number, const DownloadEvent &event);
    // Passes `event` on now, whichever album is being reported: for what concerns the
    // whole run.
    void postNow(const DownloadEvent &event);
    // The album being reported said all it had to say: the next one's kept events
    // follow at once.
    void advance();

private:
    std::mutex m_mutex;
    DownloadEvents &m_out;
    int m_current = 1;
    std::map<int, std::vector<DownloadEvent>> m_kept;
};

// The DownloadEvents of one album of a run, for the code that reports on one album
// only (its listing, its transfers): everything goes through the gate, kept for
// album `number`.
class AlbumEvents : public DownloadEvents {
public:
    AlbumEvents(AlbumEventGate &gate, int number)
        : m_gate(gate)
        , m_number(number)
    {
    }

    void report(const DownloadEvent &event) override;

private:
    AlbumEventGate &m_gate;
    const int m_number;
};

}  // namespace pictrove
