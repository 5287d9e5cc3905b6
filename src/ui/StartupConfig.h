#pragma once
// The start-up thread of the desktop program: the configuration query, then the
// selector's names and the update check on the window.

#include "settings/SourceType.h"
#include "sources/SourceConfigService.h"

#include <QString>
#include <QStringList>

namespace pictrove {

// What the start-up thread changes on the window. The thread calls these; the
// window's implementation queues each one onto the GUI thread, in order.
class StartupWindow {
public:
    virtual ~StartupWindow() = default;

    // The query has finished: the splash goes and the window shows.
    virtual void configLoaded() = 0;
    // The selector gets `names` with `chosen` selected, the owner address is
    // classified, and Get List works from then on.
    virtual void setSourceTypes(const QStringList &names, SourceType chosen) = 0;
    // The notice line (1031).
    virtual void setNotice(const QString &text) = 0;
    // Link 1030 shows.
    virtual void showUpdateLink() = 0;
    virtual void showMessage(const QString &text, const QString &caption) = 0;
    // An address in the web browser.
    virtual void open(const QString &address) = 0;
    // The program ends `milliseconds` after what was asked before has been done (a
    // message box closed, an address opened).
    virtual void endProgramAfter(int milliseconds) = 0;
};

// Announces a newer version (link 1030, a message, its address opened, then the
// program ends after 3 s) or writes the service status into line 1031. True when
// an update was announced.
bool checkForUpdate(StartupWindow &window, const SourceConfigService &service);

// The start-up thread's body: query, tell the window, fill the selector (the
// built-in names when the service gave none) with Sina chosen, then the update check.
void loadSourceConfig(StartupWindow &window, SourceConfigService &service);

}  // namespace pictrove
