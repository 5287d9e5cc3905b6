#include "download/TransferCoordinator.h"

#include "download/TransferPool.h"

#include "net/PageFetcher.h"
#include "text/EngineLog.h"

#include <QDateTime>

#include <memory>

namespace pictrove {

namespace {

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
        const auto shared = std::make_shared<const TransferJob>(job);
        TransferPool pool;
        const int running = pool.start(w);
        if (running == 0) {
            // Not even one worker: every job counts as ended, so the album still ends.
            qCDebug(lcEngine, "no download worker could be started");
            counts.done = n;
            counts.failed = n;
            observer.progress(counts);
        } else {
            for (int r = 0; r < running; ++r)
                pool.assign(r, {shared, r, 0});
            int next = running;
            const auto count = [&](const TransferPool::Ended &ended) {
                ++counts.done;
                if (ended.outcome.saved) {
                    ++counts.saved;
                    counts.bytes += ended.outcome.bytes;
                } else {
                    ++counts.failed;
                    observer.failed(job.addresses.at(ended.task.index), ended.outcome.reason);
                }
            };
            bool stopped = false;
            while (counts.done < n) {
                const std::optional<TransferPool::Ended> ended = pool.waitForEnd();
                if (!ended)
                    continue;
                count(*ended);
                if (ended->outcome.noSpace)
                    observer.noSpace();
                stopped = ended->outcome.noSpace || observer.stopRequested();
                if (stopped)
                    break;
                if (next < n) {
                    if (threads == 1) {
                        observer.pause(kSingleWorkerPauseMs);
                        stopped = observer.stopRequested();
                        if (stopped)
                            break;
                    }
                    pool.assign(ended->slot, {shared, next++, 0});
                }
                observer.progress(counts);
            }
            if (stopped) {
                // The transfers running at the stop still end, and what they brought
                // counts: a picture saved after the stop is in its file.
                pool.stopAndJoin();
                for (const TransferPool::Ended &ended : pool.takeEnded())
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
