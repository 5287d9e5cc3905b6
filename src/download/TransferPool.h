#pragma once
// Long-lived transfer workers. Slot r runs the picture its coordinator hands it, one
// at a time, and reports each end; the coordinator decides what comes next, exactly as
// if it started a thread per picture. A worker keeps its connections (each thread has
// its own libcurl handle) from one picture to the next, so a pool that lives for a
// whole run carries them across albums.

#include "download/PictureTransfer.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace pictrove {

// One picture to fetch: entry `index` of `job`. `album` is the coordinator's own tag.
struct PictureTask {
    std::shared_ptr<const TransferJob> job;
    int index = -1;
    int album = -1;
};

class TransferPool {
public:
    TransferPool() = default;
    ~TransferPool() { stopAndJoin(); }

    TransferPool(const TransferPool &) = delete;
    TransferPool &operator=(const TransferPool &) = delete;

    // Starts up to `count` workers; returns how many are running.
    int start(int count);

    // Slot `slot` must be idle: it was never given a task, or its last one ended.
    void assign(int slot, PictureTask task);

    struct Ended {
        int slot;
        PictureTask task;
        PictureOutcome outcome;
    };

    // Blocks until some worker has finished a picture, or until wake(); nullopt then.
    std::optional<Ended> waitForEnd();
    // Lets the coordinator's waitForEnd return: something else needs its attention.
    void wake();

private:
    // Lets idle workers go and waits for the busy ones to finish their transfer.
    void stopAndJoin();
    void run(int slot);

    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_ended;
    std::vector<PictureTask> m_pending;  // per slot: the picture to run next (index -1: none)
    std::deque<Ended> m_endedTasks;
    bool m_woken = false;
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

}  // namespace pictrove
