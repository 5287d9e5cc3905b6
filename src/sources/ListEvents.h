#pragma once
// What a front end gives Get List and what it hears back. The request is taken once
// when the list starts; the events come from the list thread, in this order:
// ListStarted, AlbumAdded for each album, OwnerAddressRemembered when the address
// joined the history, ListFinished (ListWaiting, AlbumLost and ListFailureDetail in
// between). Implementations must accept calls from any thread.

#include "settings/SourceType.h"
#include "sources/AlbumRecord.h"

#include <QString>

#include <variant>

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
    LoginExpired,   // it wants one although a login was sent: the saved login has run out
    RateLimited,    // the service refused to answer so fast, and went on refusing
    ServiceChanged, // the service answered something we cannot read
    Unreachable,    // no answer from the service (network, or it failed)
    OwnerNotFound,  // the service knows no such owner
    NotSupported,   // the address is not on a site the program can list
};

// The events of a list, one struct each, in the order described at the top.
namespace event {
// The address was accepted and the owner's pages are being read.
struct ListStarted {};
// Album `index` of the album list is new; `album` is its final record.
struct AlbumAdded {
    int index = 0;
    AlbumRecord album;
};
// Memory ran out while recording an album; the album was dropped.
struct AlbumLost {};
// The address led to albums and became the newest entry of the owner history
// (already saved with the settings).
struct OwnerAddressRemembered {
    QString address;
};
// The service refused to answer so fast; the list waits `seconds` before it asks again.
struct ListWaiting {
    int seconds = 0;
};
// What the service answered when the list found nothing and a source knows why
// ("no answer", a status line, "页面过大"); comes just before ListFinished.
struct ListFailureDetail {
    QString detail;
};
struct ListFinished {
    ListResult result = ListResult::Listed;
    int albumCount = 0;
};
}  // namespace event

using ListEvent = std::variant<event::ListStarted, event::AlbumAdded, event::AlbumLost, event::OwnerAddressRemembered,
                               event::ListWaiting, event::ListFailureDetail, event::ListFinished>;

// Every list event arrives through this one call: a class that passes events on
// (to another thread, another object) forwards them whole without naming each one,
// and one that shows them picks the kinds it cares about with std::visit. A plain
// ListEvents hears nothing.
class ListEvents {
public:
    virtual ~ListEvents() = default;
    virtual void report(const ListEvent & /*event*/) {}
};

}  // namespace pictrove
