#include "sources/RequestSpacing.h"

#include <algorithm>

namespace pictrove {

int RequestSpacing::takeTurn(int intervalMs)
{
    std::lock_guard lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    const auto turn = m_asked ? std::max(now, m_next) : now;
    m_asked = true;
    m_next = turn + std::chrono::milliseconds(std::max(intervalMs, 0));
    return int(std::chrono::ceil<std::chrono::milliseconds>(turn - now).count());
}

}  // namespace pictrove
