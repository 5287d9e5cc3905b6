#pragma once
// The spacing of the requests to one service, shared by everything that asks it in
// turn: the album list, then the listing of each album a download walks, also when the
// download lists the next album while the last one transfers. Together they keep the
// pace one listing would, and they slow down together when the service refuses to be
// asked this fast. Thread-safe.

#include <chrono>
#include <mutex>

namespace pictrove {

// How long a session waits out refusals for speed, in all, before it takes them as
// standing; and the slowest pace a refusal brings.
inline constexpr int kRateLimitBudgetSec = 60;
inline constexpr int kFirstRateLimitWaitSec = 2;
inline constexpr int kSlowestIntervalMs = 10000;
inline constexpr int kFirstSlowIntervalMs = 1000;

class RequestSpacing {
public:
    // Takes the next turn: how many milliseconds to wait before asking, so that the
    // turns are at least `intervalMs` apart (or the slower interval refusals brought).
    // `afterRefusal`: the caller has just waited out a refusal (refused()); that wait
    // was its pause, so the turn is now, and the interval counts from here. Otherwise a
    // blocked session would wait the interval on top of each wait.
    int takeTurn(int intervalMs, bool afterRefusal = false);

    // The service refused to be asked this fast. Returns how many seconds to wait
    // before asking again, or 0 when the refusals since the last answer have used up
    // the budget: a blocked session gives up within about a minute in all, not per
    // request. Each refusal also doubles the interval between turns, up to
    // kSlowestIntervalMs, for as long as the spacing lives. Once the budget is spent
    // the session is blocked: its turns come at once until an answer, so each request
    // left hears its refusal without a pause (a blocked run ends within the minute).
    int refused();
    // An answer that was no refusal for speed: the next refusal starts a new budget.
    void answered();

private:
    std::mutex m_mutex;
    bool m_asked = false;
    std::chrono::steady_clock::time_point m_next;
    int m_lastIntervalMs = 0;   // of the last turn
    int m_slowIntervalMs = 0;   // the interval refusals brought; 0 until the first
    int m_nextWaitSec = kFirstRateLimitWaitSec;
    int m_waitedSec = 0;        // waited out since the last answer
    bool m_blocked = false;     // the budget is spent and no answer came since
};

}  // namespace pictrove
