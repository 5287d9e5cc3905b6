#include "ui/HarviaApp.h"

#include "net/CookieStore.h"
#include "net/NetworkSetup.h"
#include "ui/HarviaDlg.h"
#include "ui/QtClipboardSource.h"
#include "ui/ShellServices.h"
#include "ui/StartupPaths.h"

#include <QApplication>
#include <QDir>

namespace {

// Saves the cookies before the process goes: they hold the user's logins.
class AppShell : public DesktopShell {
public:
    void endProcess(int code) override
    {
        CookieStore::process().save();
        DesktopShell::endProcess(code);
    }
};

}  // namespace

int CHarviaApp::run(int argc, char *argv[])
{
    // Before any thread starts: the HTTP library's global set-up is not thread-safe.
    InitNetwork();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictrove"));
    QApplication::setQuitOnLastWindowClosed(false);

    CookieStore::process().open(DataFolderFor(QDir::currentPath()) + QStringLiteral("cookies.txt"));
    static QtClipboardSource clipboard;
    SetClipboardSource(&clipboard);

    // Never destroyed: the engine's threads may still use the window's state when
    // the process ends.
    static AppShell shell;
    auto *window = new CHarviaDlg(shell);
    QObject::connect(window, &CHarviaDlg::closed, &app, [] { shell.endProcess(0); });
    window->initialise(CHarviaDlg::StartupOptions());
    const int code = app.exec();
    shell.endProcess(code);
    return code;
}
