#include "ui/mainwindow/GuiQueue.h"

#include <QThread>

#include <limits>

namespace pictrove {

GuiQueue::GuiQueue() = default;

GuiQueue::~GuiQueue()
{
    shutdown();
}

bool GuiQueue::onGuiThread() const
{
    return QThread::currentThread() == m_context.thread();
}

void GuiQueue::run(std::function<void()> task)
{
    hand(Task{std::move(task), false});
}

void GuiQueue::runLatest(int kind, std::function<void()> task)
{
    hand(Task{std::move(task), kind});
}

void GuiQueue::shutdown()
{
    std::lock_guard lock(m_mutex);
    m_shutDown = true;
    m_tasks.clear();
}

bool GuiQueue::isShutDown() const
{
    std::lock_guard lock(m_mutex);
    return m_shutDown;
}

void GuiQueue::hand(Task task)
{
    if (onGuiThread()) {
        runWaiting(std::numeric_limits<size_t>::max());
        if (!isShutDown())
            task.body();
        return;
    }
    std::lock_guard lock(m_mutex);
    if (m_shutDown)
        return;
    if (task.latestOfKind != 0) {
        std::erase_if(m_tasks, [kind = task.latestOfKind](const Task &waiting) { return waiting.latestOfKind == kind; });
    }
    m_tasks.push_back(std::move(task));
    // Posted under the lock: shutdown() cannot come between the test and the post,
    // so nothing is posted to a queue that is being destroyed.
    if (!m_turnPosted) {
        m_turnPosted = true;
        post();
    }
}

void GuiQueue::post()
{
    QMetaObject::invokeMethod(&m_context, [this] { runTurn(); }, Qt::QueuedConnection);
}

void GuiQueue::runTurn()
{
    size_t waiting = 0;
    {
        std::lock_guard lock(m_mutex);
        waiting = m_tasks.size();
    }
    // The turn stays marked as posted while its tasks run: a modal box inside one
    // spins the event loop, and no second turn may start there and overtake it.
    runWaiting(waiting);
    std::lock_guard lock(m_mutex);
    if (m_shutDown || m_tasks.empty()) {
        m_turnPosted = false;
        return;
    }
    post();
}

void GuiQueue::runWaiting(size_t limit)
{
    for (size_t done = 0; done < limit; ++done) {
        Task task;
        {
            std::lock_guard lock(m_mutex);
            if (m_shutDown || m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task.body();
    }
}

}  // namespace pictrove
