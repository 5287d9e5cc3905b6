#pragma once
// Get List: from an owner address to a filled album list. startList runs on the
// front end's thread; the list itself runs on a thread of the session and reports
// through the session's ListEvents.

#include "sources/ListEvents.h"

#include <QString>

namespace pictrove {

class Session;

enum class ListCommand {
    Started,        // a list thread now runs the request
    StopRequested,  // a list was running: it ends after the album it is reading
    ThreadFailed,   // no thread could be started; nothing changed
};

// Idle: clears the albums and starts a list of `request`. Running (or already
// stopping): asks it to stop, exactly as pressing 终止获取 does.
ListCommand startList(Session &session, const ListRequest &request);

// Asks a running list to stop after the album it is reading; nothing when idle.
void requestListStop(Session &session);

// The list thread's body: runs the Sina fetcher the address calls for, cleans the
// owner folder names and remembers an address that yielded albums in the history.
// The albums must have been cleared and the state set to running by the caller.
ListResult runList(Session &session, const ListRequest &request);

// An owner name made a single folder name ending in "/", or left empty.
QString ownerFolderName(const QString &name);

}  // namespace pictrove
