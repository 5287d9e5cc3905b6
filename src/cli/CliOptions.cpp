#include "cli/CliOptions.h"

#include "settings/DataFolder.h"
#include "settings/SettingsBlock.h"

#include <QDir>

namespace pictrove {

namespace {

struct RunFlag {
    const char *name;
    quint16 option;
};

const RunFlag kRunFlags[] = {
    {"--fix-format", kOptionFixFormat},
    {"--fix-order", kOptionFixOrder},
    {"--title-file", kOptionTitleFile},
    {"--thunder-list", kOptionThunderListOnly},
    {"--skip-previous", kOptionSkipPrevious},
};

std::optional<int> number(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QString folderPath(const QString &path)
{
    QString folder = QDir(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

}  // namespace

std::optional<CliOptions> parseCliOptions(const QStringList &arguments, QString &error)
{
    CliOptions options;
    options.dataDir = defaultDataFolder(QDir::currentPath());
    QStringList positional;

    for (int i = 1; i < arguments.size(); ++i) {
        const QString arg = arguments.at(i);
        const auto value = [&](QString &out) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            out = arguments.at(++i);
            return true;
        };
        const auto limited = [&](std::optional<int> &out, int low, int high) {
            QString text;
            if (!value(text))
                return false;
            out = number(text, low, high);
            if (!out)
                error = QStringLiteral("%1 must be a number from %2 to %3").arg(arg).arg(low).arg(high);
            return out.has_value();
        };

        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.command = CliOptions::Help;
            return options;
        }
        if (arg == QLatin1String("--version")) {
            options.command = CliOptions::Version;
            return options;
        }
        QString text;
        bool ok = true;
        if (arg == QLatin1String("--data-dir")) {
            ok = value(text);
            if (!text.trimmed().isEmpty())
                options.dataDir = folderPath(text);
        } else if (arg == QLatin1String("--cookies")) {
            ok = value(options.cookiesFile);
        } else if (arg == QLatin1String("--albums")) {
            ok = value(options.albums);
        } else if (arg == QLatin1String("--save")) {
            ok = value(text);
            // An empty value (a script's unset variable) means the default, as when
            // the option is left out, not the current folder.
            options.saveDir = text.trimmed().isEmpty() ? QString() : folderPath(text);
        } else if (arg == QLatin1String("--failed-list")) {
            ok = value(options.failedListFile);
        } else if (arg == QLatin1String("--threads")) {
            ok = limited(options.threads, 1, kMaxThreads);
        } else if (arg == QLatin1String("--timeout")) {
            ok = limited(options.timeoutSeconds, kMinTimeoutSeconds, 65535);
        } else if (arg == QLatin1String("--min-kb")) {
            ok = limited(options.minKB, 0, 65535);
        } else if (arg == QLatin1String("--max-kb")) {
            ok = limited(options.maxKB, 0, 65535);
        } else if (arg == QLatin1String("--no-archive")) {
            options.useArchive = false;
        } else if (arg == QLatin1String("--owners-file")) {
            ok = value(options.ownersFile);
        } else if (arg == QLatin1String("--no-live-motion")) {
            options.noLiveMotion = true;
        } else if (arg == QLatin1String("--no-videos")) {
            options.noVideos = true;
        } else if (arg == QLatin1String("--no-post-times")) {
            options.noPostTimes = true;
        } else if (arg == QLatin1String("--sidecar")) {
            options.sidecar = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            const RunFlag *flag = nullptr;
            for (const RunFlag &f : kRunFlags)
                if (arg == QLatin1String(f.name))
                    flag = &f;
            if (!flag) {
                error = QStringLiteral("unknown option %1").arg(arg);
                return std::nullopt;
            }
            options.setOptions |= flag->option;
        } else {
            positional.append(arg);
        }
        if (!ok)
            return std::nullopt;
    }

    // The Weibo login's commands take no address.
    const struct {
        const char *name;
        CliOptions::Command command;
    } kLoginCommands[] = {
        {"login", CliOptions::Login},
        {"whoami", CliOptions::Whoami},
        {"logout", CliOptions::Logout},
    };
    for (const auto &login : kLoginCommands) {
        if (positional.value(0) != QLatin1String(login.name))
            continue;
        if (positional.size() != 1) {
            error = QStringLiteral("%1 takes no ADDRESS").arg(positional.at(0));
            return std::nullopt;
        }
        options.command = login.command;
        return options;
    }
    // update: any number of owners, or none with an owners file; it works from the
    // archive, so leaving the archive out would leave it nothing to do.
    if (!positional.isEmpty() && positional.at(0) == QLatin1String("update")) {
        options.command = CliOptions::Update;
        options.owners = positional.mid(1);
        if (options.owners.isEmpty() && options.ownersFile.isEmpty()) {
            error = QStringLiteral("update needs an OWNER address or --owners-file FILE");
            return std::nullopt;
        }
        if (!options.useArchive) {
            error = QStringLiteral("update works from the download archive: --no-archive cannot be used with it");
            return std::nullopt;
        }
        return options;
    }
    if (!options.ownersFile.isEmpty()) {
        error = QStringLiteral("--owners-file is for update");
        return std::nullopt;
    }

    if (positional.size() != 2) {
        error = positional.isEmpty() ? QStringLiteral("a command is needed")
                                     : QStringLiteral("a command and one ADDRESS are needed");
        return std::nullopt;
    }
    if (positional.at(0) == QLatin1String("list")) {
        options.command = CliOptions::List;
    } else if (positional.at(0) == QLatin1String("download")) {
        options.command = CliOptions::Download;
    } else if (positional.at(0) == QLatin1String("missing")) {
        options.command = CliOptions::Missing;
    } else {
        error = QStringLiteral("unknown command %1").arg(positional.at(0));
        return std::nullopt;
    }
    options.address = positional.at(1);
    return options;
}

}  // namespace pictrove
