#pragma once
// Everything the engine tells a front end, for the one object a front end usually
// implements it with: the list's events and the download's events, each through its
// own report().

#include "download/DownloadEvents.h"
#include "sources/ListEvents.h"

namespace pictrove {

class EngineEvents : public ListEvents, public DownloadEvents {
public:
    using ListEvents::report;
    using DownloadEvents::report;
};

}  // namespace pictrove
