#include "ui/startup/DesktopApp.h"

#include "net/CookieStore.h"
#include "net/NetworkSetup.h"
#include "settings/DataFolder.h"
#include "ui/startup/DesktopArguments.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/platform/ShellServices.h"
#include "ui/startup/StartupAddress.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

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

QStringList argumentList(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

int answerHelpOrVersion(DesktopArguments::Action action)
{
    if (action == DesktopArguments::Help)
        std::fputs(desktopUsage().toUtf8().constData(), stdout);
    else
        std::printf("pictrove %s\n", PICTROVE_VERSION);
    return 0;
}

}  // namespace

int DesktopApp::run(int argc, char *argv[])
{
    // --help and --version answer without a display. Anything else is read once
    // QApplication has taken out its own options, which this parser does not know.
    QString error;
    const auto early = parseDesktopArguments(argumentList(argc, argv), QDir::currentPath(), error);
    if (early && early->action != DesktopArguments::Run)
        return answerHelpOrVersion(early->action);

    // Before any thread starts: the HTTP library's global set-up is not thread-safe.
    initNetwork();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictrove"));
    QApplication::setApplicationVersion(QStringLiteral(PICTROVE_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(PICTROVE_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);

    const auto arguments = parseDesktopArguments(app.arguments(), QDir::currentPath(), error);
    if (!arguments) {
        std::fprintf(stderr, "pictrove: %s\n\n%s", qPrintable(error), qPrintable(desktopUsage()));
        return 2;
    }
    if (arguments->action != DesktopArguments::Run)
        return answerHelpOrVersion(arguments->action);

    // The per-user folder does not exist before the first start.
    const bool writable = prepareDataFolder(arguments->dataFolder);
    removeStaleDataFolderTemporaries(arguments->dataFolder);
    const QString cookieFile = arguments->dataFolder + QStringLiteral("cookies.txt");
    const CookieFileStatus cookieStatus = CookieStore::process().open(cookieFile);

    // Never destroyed: the engine's threads may still use the window's session when
    // the process ends.
    static AppShell shell;
    auto *window = new MainWindow(shell);
    QObject::connect(window, &MainWindow::closed, &app, [] { shell.endProcess(0); });
    MainWindow::StartupOptions startup;
    startup.dataFolder = arguments->dataFolder;
    window->initialise(startup);
    if (!writable) {
        // Once, over the window: settings and logins would otherwise be lost unseen.
        const QString folder = arguments->dataFolder;
        QTimer::singleShot(0, window, [window, folder] {
            shell.showMessage(window, QStringLiteral("数据文件夹无法写入：%1\n设置和登录将不会被保存。").arg(folder),
                              QStringLiteral("提示"));
        });
    }
    if (cookieStatus != CookieFileStatus::Opened) {
        // The file may hold the user's logins: it stays as it is, and is not saved over.
        const QString reason = cookieStatus == CookieFileStatus::TooLarge
                                   ? QStringLiteral("登录信息文件大于 %1 MiB，未读取：%2")
                                         .arg(CookieStore::kMaxCookieFileBytes / (1024 * 1024))
                                         .arg(QDir::toNativeSeparators(cookieFile))
                                   : QStringLiteral("无法读取登录信息文件：%1").arg(QDir::toNativeSeparators(cookieFile));
        QTimer::singleShot(0, window, [window, reason] {
            shell.showMessage(window, reason + QStringLiteral("\n文件保持原样，本次的登录将不会被保存。"),
                              QStringLiteral("提示"));
        });
    }
    if (!arguments->ownerAddress.isEmpty())
        listOwnerAtStart(*window, arguments->ownerAddress);
    const int code = app.exec();
    shell.endProcess(code);
    return code;
}

}  // namespace pictrove
