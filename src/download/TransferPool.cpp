#include "download/TransferPool.h"

#include <system_error>

namespace pictrove {

int TransferPool::start(int count)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending.assign(size_t(count), PictureTask{});
    }
    for (int r = 0; r < count; ++r) {
        try {
            m_threads.emplace_back([this, r] { run(r); });
        } catch (const std::system_error &) {
            break;  // the ones running take over the rest
        }
    }
    return int(m_threads.size());
}

void TransferPool::assign(int slot, PictureTask task)
{
    std::lock_guard lock(m_mutex);
    m_pending[size_t(slot)] = std::move(task);
    m_work.notify_all();
}

std::optional<TransferPool::Ended> TransferPool::waitForEnd()
{
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [this] { return !m_endedTasks.empty() || m_woken; });
    if (m_endedTasks.empty()) {
        m_woken = false;
        return std::nullopt;
    }
    Ended ended = std::move(m_endedTasks.front());
    m_endedTasks.pop_front();
    return ended;
}

void TransferPool::wake()
{
    std::lock_guard lock(m_mutex);
    m_woken = true;
    m_ended.notify_all();
}

void TransferPool::stopAndJoin()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_work.notify_all();
    }
    for (std::thread &t : m_threads)
        t.join();
    m_threads.clear();
}

void TransferPool::run(int slot)
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_work.wait(lock, [&] { return m_quit || m_pending[size_t(slot)].index >= 0; });
        if (m_quit)
            return;
        PictureTask task = std::move(m_pending[size_t(slot)]);
        m_pending[size_t(slot)] = PictureTask{};
        lock.unlock();
        PictureOutcome outcome = transferPicture(*task.job, task.index);
        lock.lock();
        m_endedTasks.push_back({slot, std::move(task), std::move(outcome)});
        m_ended.notify_one();
    }
}

}  // namespace pictrove
