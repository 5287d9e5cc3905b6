#include "ui/DesktopApp.h"

#include "net/CookieStore.h"
#include "net/NetworkSetup.h"
#include "ui/MainWindow.h"
#include "ui/ShellServices.h"
#include "ui/StartupPaths.h"

#include <QApplication>
#include <QDir>

namespace pictrove {

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

int DesktopApp::run(int argc, char *argv[])
{
    // Before any thread starts: the HTTP library's global set-up is not thread-safe.
    initNetwork();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictrove"));
    QApplication::setQuitOnLastWindowClosed(false);

    CookieStore::process().open(dataFolderFor(QDir::currentPath()) + QStringLiteral("cookies.txt"));

    // Never destroyed: the engine's threads may still use the window's session when
    // the process ends.
    static AppShell shell;
    auto *window = new MainWindow(shell);
    QObject::connect(window, &MainWindow::closed, &app, [] { shell.endProcess(0); });
    window->initialise(MainWindow::StartupOptions());
    const int code = app.exec();
    shell.endProcess(code);
    return code;
}

}  // namespace pictrove
