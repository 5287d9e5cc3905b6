#pragma once
// Keeps a run's album events in album order while albums overlap: album k+1 may be
// listed, and its first pictures transferred, while album k's last pictures still
// arrive. The front end hears album k's events as they happen, and album k+1's
// (kept until then) right after album k's albumFinished, so every album still reads
// albumStarted … albumFinished without another album's events in between. Events are
// passed on one at a time, from whichever thread posts them.

#include "download/DownloadEvents.h"

#include <functional>
#include <map>
#include <mutex>
#include <vector>

namespace pictrove {

class AlbumEventGate {
public:
    using Event = std::function<void(DownloadEvents &)>;

    explicit AlbumEventGate(DownloadEvents &out)
        : m_out(out)
    {
    }

    // Passes `event` on now when album `number` (1-based) is the one being reported,
    // otherwise keeps it until it is.
    void post(int number, Event event);
    // Passes `event` on now, whichever album is being reported: for what concerns the
    // whole run.
    void postNow(Event event);
    // The album being reported said all it had to say: the next one's kept events
    // follow at once.
    void advance();

private:
    std::mutex m_mutex;
    DownloadEvents &m_out;
    int m_current = 1;
    std::map<int, std::vector<Event>> m_kept;
};

// The DownloadEvents of one album of a run, for the code that reports on one album
// only (its listing, its transfers): everything goes through the gate.
class AlbumEvents : public DownloadEvents {
public:
    AlbumEvents(AlbumEventGate &gate, int number)
        : m_gate(gate)
        , m_number(number)
    {
    }

    void albumStarted(int number, int count, const QString &name) override;
    void picturesListed(int count) override;
    void transferStarted(int total) override;
    void pictureProgress(const PictureCounts &album) override;
    void pictureFailed(const QString &address, const QString &reason) override;
    void albumIncomplete(const QString &name, const QString &reason) override;
    void albumFinished(int number, int count, const QString &folder, const PictureCounts &album) override;
    void diskFull(const QString &folder) override;

private:
    AlbumEventGate &m_gate;
    const int m_number;
};

}  // namespace pictrove
