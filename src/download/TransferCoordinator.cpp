#include "download/TransferCoordinator.h"

#include "download/DownloadJob.h"
#include "net/PageFetcher.h"
#include "sources/MainWindowState.h"
#include "sources/WindowPort.h"
#include "text/EngineLog.h"

#include <QDateTime>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Pause between two transfers when only one worker runs, so a single-threaded
// download does not hammer the service.
constexpr int kSingleWorkerPauseMs = 2000;

// The long-lived workers of one album. Slot r runs the jobs the coordinator assigns
// to it, one at a time, and reports each end; the coordinator decides what comes
// next, exactly as if it started a thread per picture.
class WorkerSlots {
public:
    WorkerSlots(const TransferJob &job, std::atomic<int> &doneCount)
        : m_job(job), m_doneCount(doneCount)
    {
    }
    ~WorkerSlots() { stopAndJoin(); }

    // Starts up to `count` workers; returns how many are running.
    int start(int count)
    {
        m_pending.assign(size_t(count), -1);
        for (int r = 0; r < count; ++r) {
            try {
                m_threads.emplace_back([this, r] { run(r); });
            } catch (const std::system_error &) {
                break;  // the ones running take over the rest of the queue
            }
        }
        return int(m_threads.size());
    }

    void assign(int slot, int jobIndex)
    {
        std::lock_guard lock(m_mutex);
        m_pending[size_t(slot)] = jobIndex;
        m_work.notify_all();
    }

    // Blocks until some worker has finished a job; returns its slot.
    int waitForEnd()
    {
        std::unique_lock lock(m_mutex);
        m_ended.wait(lock, [this] { return !m_endedSlots.empty(); });
        const int slot = m_endedSlots.front();
        m_endedSlots.pop_front();
        return slot;
    }

    // Lets idle workers go and waits for the busy ones to finish their transfer.
    void stopAndJoin()
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

private:
    void run(int slot)
    {
        std::unique_lock lock(m_mutex);
        while (true) {
            m_work.wait(lock, [&] { return m_quit || m_pending[size_t(slot)] >= 0; });
            if (m_quit)
                return;
            const int jobIndex = m_pending[size_t(slot)];
            m_pending[size_t(slot)] = -1;
            lock.unlock();
            DownPicWorker(m_job, jobIndex);
            m_doneCount.fetch_add(1);
            lock.lock();
            m_endedSlots.push_back(slot);
            m_ended.notify_one();
        }
    }

    const TransferJob &m_job;
    std::atomic<int> &m_doneCount;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_ended;
    std::vector<int> m_pending;  // per slot: job to run next, -1 none
    std::deque<int> m_endedSlots;
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

bool stopRequested(const MainWindowState &state)
{
    // The abort sets both; the state byte also covers an abort that came just before
    // this coordinator cleared the stop flag.
    return state.downloadJob.stopFlag.load() != 0 || state.downState.load() == DOWN_ABORT;
}

void showProgress(const DownloadJob &job, int done, int n)
{
    if (job.statusWindow)
        job.statusWindow->setText(job.statusControl,
                                  QStringLiteral("已下载%1/%2......").arg(done).arg(n));
}

}  // namespace

std::thread StartCoordinator(MainWindowState &state)
{
    DownloadJob &queue = state.downloadJob;
    queue.stopFlag = 0;
    auto job = std::make_shared<const TransferJob>(TransferJob{
        queue.jobAddresses, queue.jobFileNames, queue.jobExtraHeaders, queue.jobFolder(),
        queue.downloadSettings});
    try {
        return std::thread([&state, job] { DownPicFunc(state, *job); });
    } catch (const std::system_error &) {
        return std::thread();
    }
}

void DownPicFunc(MainWindowState &state, const TransferJob &job)
{
    DownloadJob &shared = state.downloadJob;
    shared.doneCount = 0;
    const int n = int(job.addresses.size());
    // The settings store keeps threads within 1..15; a stray 0 must not turn into
    // "nothing to do", which would pass for a complete album.
    const int threads = qBound(1, int(job.settings.threads), int(THREADS_MAX));
    const int w = std::min(threads, n);
    if (w == 0)
        return;
    shared.transferActive = 1;
    const qint64 started = QDateTime::currentSecsSinceEpoch();

    {
        WorkerSlots slots(job, shared.doneCount);
        const int running = slots.start(w);
        if (running == 0) {
            // Not even one worker: every job counts as done, so the album still ends.
            qCDebug(lcEngine, "no download worker could be started");
            shared.doneCount.fetch_add(n);
            showProgress(shared, n, n);
        } else {
            for (int r = 0; r < running; ++r)
                slots.assign(r, r);
            int next = running;
            int shown = n + 1;  // so the first progress is always shown
            bool lastPass = false;
            while (!lastPass) {
                const int r = slots.waitForEnd();
                if (stopRequested(state))
                    break;
                qCDebug(lcEngine, "Close Handle:%d", r);
                if (next < n) {
                    if (threads == 1) {
                        state.sleep(kSingleWorkerPauseMs);
                        if (stopRequested(state))
                            break;
                    }
                    slots.assign(r, next++);
                }
                const int done = shared.doneCount.load();
                lastPass = done >= n;
                if (done != shown || lastPass) {
                    showProgress(shared, done, n);
                    shown = done;
                }
            }
        }
        // Leaving the scope waits for transfers still running after an abort.
    }
    qCDebug(lcEngine, "OK");
    // The window ignores the end-of-album message; only its values are traced.
    qCDebug(lcEngine, "album transfer finished: %lld s, %d pictures",
            QDateTime::currentSecsSinceEpoch() - started, n);
    shared.transferActive = 0;
}

void DownPicWorker(const TransferJob &job, int index)
{
    try {
        PageRequest request{QString(), QString()};
        PageResponse response;

        const QString entry = job.addresses.value(index);
        const qsizetype crlf = entry.indexOf(QLatin1String("\r\n"));
        request.url = crlf >= 0 ? entry.left(crlf) : entry;
        const QString fallback = crlf >= 0 ? entry.mid(crlf + 2) : QString();

        request.readTimeoutMs = int32_t(job.settings.timeoutSeconds) * 1000;
        request.timeoutMs = 20000;
        if (!job.extraHeaders.isEmpty())
            request.headers = job.extraHeaders.value(index);
        request.minKB = job.settings.minKB;
        request.maxKB = job.settings.maxKB;
        request.savePath = job.folder + job.fileNames.value(index);
        request.attempts = 2;
        request.retryDelaySec = 1;
        fetch(request, response, FETCH_CACHE_WRITE | FETCH_CACHE_READ);

        if (!fallback.isEmpty()) {
            const qint64 received = response.receivedLength;
            // Some hosts answer a missing picture with a small placeholder instead of
            // an error: for them a short body also calls for the fallback.
            const bool placeholder =
                fallback.indexOf(QLatin1String(".topitme.")) >= 1 && received < 600;
            if (received < 1 || placeholder) {
                request.url = fallback;
                fetch(request, response, FETCH_CACHE_WRITE | FETCH_CACHE_READ);
            }
        }
    } catch (...) {
        // A picture that cannot be fetched just leaves no file.
    }
}
