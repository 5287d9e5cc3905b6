#include "net/NetworkSetup.h"
#include "net/NetworkSetupPrivate.h"

#include <QFile>

#include <curl/curl.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace pictrove {

namespace {

struct Hooks {
    std::mutex mutex;
    RoutingHooks routing;
    std::function<void(qsizetype)> uploadObserver;
    std::function<void(int)> retryPause;
};

Hooks &hooks()
{
    // Never destroyed: detached worker threads may still fetch while the process exits.
    static Hooks *instance = new Hooks;
    return *instance;
}

QList<QByteArray> connectToEntries(const QStringList &entries)
{
    QList<QByteArray> out;
    for (const QString &entry : entries) {
        const QString trimmed = entry.trimmed();
        if (!trimmed.isEmpty())
            out.append(trimmed.toUtf8());
    }
    return out;
}

void readEnvironmentHooks()
{
    const QByteArray connectTo = qgetenv("PICTROVE_TEST_CONNECT_TO");
    if (!connectTo.isEmpty())
        setConnectTo(QString::fromUtf8(connectTo).split(QLatin1Char(',')));
    const QByteArray caFile = qgetenv("PICTROVE_TEST_CA_FILE");
    if (!caFile.isEmpty())
        setCaFile(QFile::decodeName(caFile));
}

}  // namespace

void initNetwork()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // libcurl's global set-up is not safe to race with other threads' transfers;
        // call_once makes the lazy path from Fetch as safe as the front ends' early call.
        curl_global_init(CURL_GLOBAL_DEFAULT);
        readEnvironmentHooks();
    });
}

void setConnectTo(const QStringList &entries)
{
    std::lock_guard lock(hooks().mutex);
    hooks().routing.connectTo = connectToEntries(entries);
}

void setCaFile(const QString &path)
{
    std::lock_guard lock(hooks().mutex);
    hooks().routing.caFile = QFile::encodeName(path);
}

void setUploadChunkObserver(std::function<void(qsizetype)> observer)
{
    std::lock_guard lock(hooks().mutex);
    hooks().uploadObserver = std::move(observer);
}

void setRetryPauseHook(std::function<void(int)> hook)
{
    std::lock_guard lock(hooks().mutex);
    hooks().retryPause = std::move(hook);
}

RoutingHooks currentRoutingHooks()
{
    std::lock_guard lock(hooks().mutex);
    return hooks().routing;
}

void reportUploadChunk(qsizetype size)
{
    std::function<void(qsizetype)> observer;
    {
        std::lock_guard lock(hooks().mutex);
        observer = hooks().uploadObserver;
    }
    if (observer)
        observer(size);
}

void pauseBeforeRetry(int seconds)
{
    std::function<void(int)> hook;
    {
        std::lock_guard lock(hooks().mutex);
        hook = hooks().retryPause;
    }
    if (hook)
        hook(seconds);
    else if (seconds > 0)
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
}

}  // namespace pictrove
