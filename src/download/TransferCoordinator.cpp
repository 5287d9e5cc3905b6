#include "download/TransferCoordinator.h"

#include "net/PageFetcher.h"
#include "text/EngineLog.h"

#include <QDateTime>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace pictrove {

namespace {

// Pause between two transfers when only one worker runs, so a single-threaded
// download does not hammer the service.
constexpr int kSingleWorkerPauseMs = 2000;

// The long-lived workers of one album. Slot r runs the jobs the coordinator assigns
// to it, one at a time, and reports each end; the coordinator decides what comes
// next, exactly as if it started a thread per picture.
class WorkerSlots {
public:
    explicit WorkerSlots(const TransferJob &job)
        : m_job(job)
        , m_outcomes(size_t(job.addresses.size()))
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

    struct Ended {
        int slot;
        int jobIndex;
        PictureOutcome outcome;
    };

    // Blocks until some worker has finished a job.
    Ended waitForEnd()
    {
        std::unique_lock lock(m_mutex);
        m_ended.wait(lock, [this] { return !m_endedJobs.empty(); });
        const auto [slot, jobIndex] = m_endedJobs.front();
        m_endedJobs.pop_front();
        return {slot, jobIndex, std::move(m_outcomes[size_t(jobIndex)])};
    }

    // Jobs that ended but were not yet taken with waitForEnd: after stopAndJoin, the
    // transfers that were still running when the coordinator stopped.
    std::vector<Ended> takeEnded()
    {
        std::lock_guard lock(m_mutex);
        std::vector<Ended> ended;
        for (const auto &[slot, jobIndex] : m_endedJobs)
            ended.push_back({slot, jobIndex, std::move(m_outcomes[size_t(jobIndex)])});
        m_endedJobs.clear();
        return ended;
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
            PictureOutcome outcome = transferPicture(m_job, jobIndex);
            lock.lock();
            m_outcomes[size_t(jobIndex)] = std::move(outcome);
            m_endedJobs.push_back({slot, jobIndex});
            m_ended.notify_one();
        }
    }

    const TransferJob &m_job;
    std::vector<PictureOutcome> m_outcomes;  // per job, handed over when it ends
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_ended;
    std::vector<int> m_pending;  // per slot: job to run next, -1 none
    std::deque<std::pair<int, int>> m_endedJobs;  // slot, job
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

// Why a transfer did not arrive, for the failure list: the status line of the last
// answer, or the lack of one.
QString failureReason(const PageResponse &response)
{
    const QString statusLine = response.statusLine();
    if (!statusLine.isEmpty() && !statusLine.contains(QLatin1String(" 200 ")))
        return statusLine;
    return statusLine.isEmpty() ? QStringLiteral("no answer") : QStringLiteral("incomplete or outside the size limits");
}

}  // namespace

PictureCounts runTransfers(const TransferJob &job, TransferObserver &observer)
{
    PictureCounts counts;
    const int n = int(job.addresses.size());
    counts.total = n;
    // The settings store keeps threads within 1..15; a stray 0 must not turn into
    // "nothing to do", which would pass for a complete album.
    const int threads = qBound(1, int(job.settings.threads), int(THREADS_MAX));
    const int w = std::min(threads, n);
    if (w == 0)
        return counts;
    const qint64 started = QDateTime::currentSecsSinceEpoch();

    {
        WorkerSlots slots(job);
        const int running = slots.start(w);
        if (running == 0) {
            // Not even one worker: every job counts as ended, so the album still ends.
            qCDebug(lcEngine, "no download worker could be started");
            counts.done = n;
            counts.failed = n;
            observer.progress(counts);
        } else {
            for (int r = 0; r < running; ++r)
                slots.assign(r, r);
            int next = running;
            const auto count = [&](const WorkerSlots::Ended &ended) {
                ++counts.done;
                if (ended.outcome.saved) {
                    ++counts.saved;
                    counts.bytes += ended.outcome.bytes;
                } else {
                    ++counts.failed;
                    observer.failed(job.addresses.at(ended.jobIndex), ended.outcome.reason);
                }
            };
            bool stopped = false;
            while (counts.done < n) {
                const WorkerSlots::Ended ended = slots.waitForEnd();
                count(ended);
                if (ended.outcome.noSpace)
                    observer.noSpace();
                stopped = ended.outcome.noSpace || observer.stopRequested();
                if (stopped)
                    break;
                if (next < n) {
                    if (threads == 1) {
                        observer.pause(kSingleWorkerPauseMs);
                        stopped = observer.stopRequested();
                        if (stopped)
                            break;
                    }
                    slots.assign(ended.slot, next++);
                }
                observer.progress(counts);
            }
            if (stopped) {
                // The transfers running at the stop still end, and what they brought
                // counts: a picture saved after the stop is in its file.
                slots.stopAndJoin();
                for (const WorkerSlots::Ended &ended : slots.takeEnded())
                    count(ended);
                observer.progress(counts);
            }
        }
    }
    qCDebug(lcEngine, "album transfer finished: %lld s, %d pictures",
            QDateTime::currentSecsSinceEpoch() - started, n);
    return counts;
}

PictureOutcome transferPicture(const TransferJob &job, int index)
{
    PictureOutcome outcome;
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
        outcome.saved = fetch(request, response, FETCH_INFLATE_FOR_CHECKS);

        if (!fallback.isEmpty()) {
            const qint64 received = response.receivedLength;
            // Some hosts answer a missing picture with a small placeholder instead of
            // an error: for them a short body also calls for the fallback.
            const bool placeholder =
                fallback.indexOf(QLatin1String(".topitme.")) >= 1 && received < 600;
            if (received < 1 || placeholder) {
                request.url = fallback;
                outcome.saved = fetch(request, response, FETCH_INFLATE_FOR_CHECKS);
            }
        }
        if (outcome.saved) {
            outcome.bytes = response.receivedLength;
        } else if (response.noSpace) {
            outcome.noSpace = true;
            outcome.reason = QStringLiteral("磁盘空间不足");
        } else {
            outcome.reason = failureReason(response);
        }
    } catch (...) {
        // A picture that cannot be fetched just leaves no file.
        outcome.saved = false;
        outcome.reason = QStringLiteral("internal error");
    }
    return outcome;
}

}  // namespace pictrove
