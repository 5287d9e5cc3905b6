#pragma once
// PictureSink for the picture fetchers' suites: keeps what a fetcher hands over, in
// order, and closes the album when a test says so, from any thread (a loopback
// handler closes it while the fetcher waits for its page).

#include "sources/PictureSink.h"

#include <QStringList>

#include <atomic>

namespace pictrove {

class RecordingPictureSink : public PictureSink {
public:
    void addPicture(const Picture &picture) override;
    bool albumClosed() const override { return m_closed.load(); }
    void listingFailed(const QString &address, const QString &reason) override
    {
        failures.append(address + QStringLiteral(" ") + reason);
    }

    void postNotVisible(const QString &postId) override { unseenPosts.append(postId); }
    void loginRefused(ListResult refusal) override { loginRefusal = refusal; }

    void close() { m_closed = true; }
    int count() const { return int(addresses.size()); }

    QList<Picture> pictures;
    // Their addresses, titles and header lines, for comparing at a glance.
    QStringList addresses;
    QStringList titles;
    QStringList headerLines;
    // "address reason" of each page the fetcher gave up on.
    QStringList failures;
    ListResult loginRefusal = ListResult::Listed;  // the last loginRefused
    // Posts the fetcher passed over because the viewer may not see them.
    QStringList unseenPosts;
    // Pictures handed over while the album was closed: a fetcher must stop listing.
    int afterClose = 0;

private:
    std::atomic<bool> m_closed{false};
};

}  // namespace pictrove
