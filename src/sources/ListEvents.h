#pragma once
// What a front end gives Get List and what it hears back. The request is taken once
// when the list starts; the events come from the list thread, in this order:
// listStarted, albumAdded for each album, ownerAddressRemembered when the address
// joined the history, listFinished. Implementations must accept calls from any thread.

#include "settings/SourceType.h"
#include "sources/AlbumRecord.h"

#include <QString>

namespace pictrove {

struct ListRequest {
    QString ownerAddress;  // as typed; surrounding blanks are ignored
    // Every list runs as the Sina source type, whatever the selector shows; the list
    // is recorded under this type and its downloads use this type's settings.
    SourceType sourceType = SourceType::Sina;
};

enum class ListResult {
    Listed,         // at least one album
    NoAddress,      // the owner address was empty
    NotWebAddress,  // no "http://" or "https://" in it
    NothingFound,   // the owner's pages gave no album
    Stopped,        // a stop request ended the list early; the albums so far stay
    LoginNeeded,    // the service wants a login before it shows any album
    RateLimited,    // the service refused to answer so fast, and went on refusing
    ServiceChanged, // the service answered something we cannot read
    Unreachable,    // no answer from the service (network, or it failed)
    OwnerNotFound,  // the service knows no such owner
    NotSupported,   // the address is not on a site the program can list
};

class ListEvents {
public:
    virtual ~ListEvents() = default;

    // The address was accepted and the owner's pages are being read.
    virtual void listStarted() {}
    // Album `index` of the album list is new; `album` is its final record.
    virtual void albumAdded(int /*index*/, const AlbumRecord & /*album*/) {}
    // Memory ran out while recording an album; the album was dropped.
    virtual void albumLost() {}
    // The address led to albums and became the newest entry of the owner history
    // (already saved with the settings).
    virtual void ownerAddressRemembered(const QString & /*address*/) {}
    // The service refused to answer so fast; the list waits `seconds` before it asks
    // again.
    virtual void listWaiting(int /*seconds*/) {}
    // What the service answered when the list found nothing and a source knows why
    // ("no answer", a status line, "页面过大"); comes just before listFinished.
    virtual void listFailureDetail(const QString & /*detail*/) {}
    virtual void listFinished(ListResult /*result*/, int /*albumCount*/) {}
};

}  // namespace pictrove
