#pragma once
// The configuration thread of the desktop program: the query, then the selector's
// names and the update check on the window, which shows without waiting for it.

#include "sources/SourceConfigService.h"

#include <QString>
#include <QStringList>

namespace pictrove {

// What the configuration thread changes on the window. The thread calls these; the
// window's implementation queues each one onto the GUI thread, in order. The window
// is up and usable long before: none of this may reset what the user chose or typed.
class StartupWindow {
public:
    virtual ~StartupWindow() = default;

    // The service's names for the selector's entries; the entry chosen stays chosen.
    virtual void setSourceTypes(const QStringList &names) = 0;
    // The notice line (1031).
    virtual void setNotice(const QString &text) = 0;
    // Link 1030 shows.
    virtual void showUpdateLink() = 0;
    virtual void showMessage(const QString &text, const QString &caption) = 0;
    // An address in the web browser.
    virtual void open(const QString &address) = 0;
    // The program ends `milliseconds` after what was asked before has been done (a
    // message box closed, an address opened), unless the user is busy with a list
    // or a download then.
    virtual void endProgramAfter(int milliseconds) = 0;
};

// Announces a newer version (link 1030, a message, its address opened, then the
// program ends after 3 s) or writes the service status into line 1031. True when
// an update was announced.
bool checkForUpdate(StartupWindow &window, const SourceConfigService &service);

// The configuration thread's body: query, give the window the service's names when
// it answered, then the update check.
void loadSourceConfig(StartupWindow &window, SourceConfigService &service);

}  // namespace pictrove
