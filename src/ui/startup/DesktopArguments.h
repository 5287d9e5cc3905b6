#pragma once
// The desktop program's command line: pictrove [--data-dir DIR] [ADDRESS...]. A menu
// entry passes the addresses dropped on it (the desktop file's %U). Qt's own options
// (-platform, -style, ...) are taken out by QApplication before the real parse.

#include <QString>
#include <QStringList>

#include <optional>

namespace pictrove {

struct DesktopArguments {
    enum Action { Run, Help, Version } action = Run;
    QString dataFolder;    // ends in "/": --data-dir DIR, else defaultDataFolder(current directory)
    QString ownerAddress;  // the first ADDRESS, listed once the window is ready; empty: none
};

// Parses the arguments (program name first). On a usage error returns nullopt and
// puts the reason into `error`.
std::optional<DesktopArguments> parseDesktopArguments(const QStringList &arguments, const QString &currentDir,
                                                      QString &error);

QString desktopUsage();

}  // namespace pictrove
