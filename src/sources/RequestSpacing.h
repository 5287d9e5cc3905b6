#pragma once
// The spacing of the requests to one service, shared by everything that asks it in
// turn: the album list, then the listing of each album a download walks, also when the
// download lists the next album while the last one transfers. Together they keep the
// pace one listing would. Thread-safe.

#include <chrono>
#include <mutex>

namespace pictrove {

class RequestSpacing {
public:
    // Takes the next turn: how many milliseconds to wait before asking, so that the
    // turns are at least `intervalMs` apart.
    int takeTurn(int intervalMs);

private:
    std::mutex m_mutex;
    bool m_asked = false;
    std::chrono::steady_clock::time_point m_next;
};

}  // namespace pictrove
