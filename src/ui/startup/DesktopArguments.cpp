#include "ui/startup/DesktopArguments.h"

#include "settings/DataFolder.h"
#include "ui/startup/DesktopHelp.h"

#include <QDir>

namespace pictrove {

QString desktopUsage()
{
    return helpText(desktopHelp());
}

std::optional<DesktopArguments> parseDesktopArguments(const QStringList &arguments, const QString &currentDir,
                                                      QString &error)
{
    DesktopArguments parsed;
    QString dataDir;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            parsed.action = DesktopArguments::Help;
            return parsed;
        }
        if (arg == QLatin1String("--version")) {
            parsed.action = DesktopArguments::Version;
            return parsed;
        }
        if (arg == QLatin1String("--data-dir")) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("--data-dir needs a value");
                return std::nullopt;
            }
            dataDir = arguments.at(++i);
        } else if (arg.startsWith(QLatin1Char('-'))) {
            error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        } else if (parsed.ownerAddress.isEmpty()) {
            // Further addresses (several links dropped on the menu entry) are ignored:
            // the window lists one owner at a time.
            parsed.ownerAddress = arg;
        }
    }
    if (dataDir.isEmpty()) {
        parsed.dataFolder = defaultDataFolder(currentDir);
    } else {
        parsed.dataFolder = QDir(currentDir).absoluteFilePath(dataDir);
        if (!parsed.dataFolder.endsWith(QLatin1Char('/')))
            parsed.dataFolder += QLatin1Char('/');
    }
    return parsed;
}

}  // namespace pictrove
