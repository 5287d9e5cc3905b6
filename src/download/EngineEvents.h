#pragma once
// Everything the engine tells a front end, for the one object a front end usually
// implements it with: the list's events and the download's events.

#include "download/DownloadEvents.h"
#include "sources/ListEvents.h"

namespace pictrove {

class EngineEvents : public ListEvents, public DownloadEvents {};

}  // namespace pictrove
