#pragma once
// Runs an album lister the way a list does, without a session: the albums as the list
// keeps them (cleaned and made unique), what the lister found of the owner and why it
// found nothing, and the waits it was told to make for speed. The stop may be asked
// for from any thread (a loopback handler asks while the lister waits for its page).

#include "sources/AddAlbum.h"
#include "sources/AlbumList.h"
#include "sources/ListContext.h"

#include <QList>

#include <atomic>
#include <chrono>
#include <thread>

namespace pictrove {

class ListerHarness : public AlbumCollector {
public:
    using Lister = ListOutcome (*)(const QString &address, ListContext &context);

    // Each album added is told to `events`, as the list tells the front end.
    explicit ListerHarness(ListEvents &events)
        : m_events(events)
    {
    }

    void run(Lister lister, const QString &address)
    {
        ListContext context{dataFolder, extension, sleep, nullptr, *this};
        const ListOutcome outcome = lister(address, context);
        owner = outcome.owner;
        refusal = outcome.refusal;
        refusalDetail = outcome.refusalDetail;
    }

    void addAlbum(const AlbumRecord &album) override { pictrove::addAlbum(albums, m_events, album); }
    bool stopRequested() const override { return stop.load(); }
    void waitingForRateLimit(int seconds) override { rateLimitWaits.append(seconds); }

    // Set before run().
    QString dataFolder;
    ExtensionSettings extension;
    std::function<void(int milliseconds)> sleep = [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    std::atomic<bool> stop{false};

    // What the last run() found.
    AlbumList albums;
    OwnerInfo owner;
    ListResult refusal = ListResult::NothingFound;
    QString refusalDetail;
    QList<int> rateLimitWaits;

private:
    ListEvents &m_events;
};

}  // namespace pictrove
