#pragma once
// The engine's clipboard reader backed by the system clipboard. Install it with
// setClipboardSource before the main window initialises; read it on the GUI thread.

#include "text/TextScan.h"

class QtClipboardSource : public ClipboardSource {
public:
    QString text() override;
};
