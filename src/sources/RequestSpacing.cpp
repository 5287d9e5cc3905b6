#include "sources/RequestSpacing.h"

#include <algorithm>

namespace pictrove {

int RequestSpacing::takeTurn(int intervalMs, bool afterRefusal)
{
    std::lock_guard lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    const auto turn = m_asked && !afterRefusal && !m_blocked ? std::max(now, m_next) : now;
    m_asked = true;
    m_lastIntervalMs = std::max({intervalMs, m_slowIntervalMs, 0});
    m_next = turn + std::chrono::milliseconds(m_lastIntervalMs);
    return int(std::chrono::ceil<std::chrono::milliseconds>(turn - now).count());
}

int RequestSpacing::refused()
{
    std::lock_guard lock(m_mutex);
    // The user's own interval stays when it is slower already.
    const int doubled = std::max(m_lastIntervalMs, m_slowIntervalMs) * 2;
    m_slowIntervalMs = std::max(m_slowIntervalMs, std::clamp(doubled, kFirstSlowIntervalMs, kSlowestIntervalMs));
    const int wait = std::min(m_nextWaitSec, kRateLimitBudgetSec - m_waitedSec);
    if (wait <= 0) {
        m_blocked = true;
        return 0;
    }
    m_waitedSec += wait;
    m_nextWaitSec *= 2;
    return wait;
}

void RequestSpacing::answered()
{
    std::lock_guard lock(m_mutex);
    m_nextWaitSec = kFirstRateLimitWaitSec;
    m_waitedSec = 0;
    m_blocked = false;
}

}  // namespace pictrove
