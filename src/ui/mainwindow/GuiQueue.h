#pragma once
// Work other threads hand to the GUI thread (the thread that made the queue). Tasks
// run there one after the other, in the order they were handed over; a task that
// opens a modal box holds back the ones behind it until the box closes, so a message
// is always followed by what came after it, never overtaken by it. Each event-loop
// turn runs only what was waiting when it began, so a flood of tasks cannot starve
// painting.
//
// A task handed over with runLatest replaces the one of its kind still waiting and
// takes its own place in the order: fifteen download workers reporting progress leave
// one progress task behind, not thousands.
//
// After shutdown() every task still waiting is dropped and new ones are refused; the
// queue never waits for the GUI thread, so a closing window cannot deadlock with the
// threads still handing work over.

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace pictrove {

class GuiQueue {
public:
    GuiQueue();
    ~GuiQueue();

    GuiQueue(const GuiQueue &) = delete;
    GuiQueue &operator=(const GuiQueue &) = delete;

    // On the GUI thread `task` runs at once, after whatever is still waiting; from
    // another thread it is queued.
    void run(std::function<void()> task);
    // Like run, for a task that makes the waiting one of `kind` (any number but 0)
    // pointless.
    void runLatest(int kind, std::function<void()> task);

    void shutdown();
    bool isShutDown() const;
    bool onGuiThread() const;

private:
    struct Task {
        std::function<void()> body;
        int latestOfKind = 0;  // 0: every one runs
    };

    void hand(Task task);
    // The GUI thread's share of one event-loop turn.
    void runTurn();
    // Runs up to `limit` waiting tasks, fewer when the queue empties or shuts down.
    void runWaiting(size_t limit);
    void post();

    QObject m_context;  // lives on the GUI thread; its posted calls die with it
    mutable std::mutex m_mutex;
    std::deque<Task> m_tasks;
    bool m_turnPosted = false;
    bool m_shutDown = false;
};

}  // namespace pictrove
