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
    {"--fix-format", OPT_FIX_FORMAT},
    {"--fix-order", OPT_FIX_ORDER},
    {"--title-file", OPT_TITLE_FILE},
    {"--thunder-list", OPT_THUNDER_LIST_ONLY},
    {"--skip-previous", OPT_SKIP_PREVIOUS},
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

QString cliUsage()
{
    return QStringLiteral(
        "usage: pictrove-cli [--data-dir DIR] [--cookies FILE] list ADDRESS\n"
        "       pictrove-cli [--data-dir DIR] [--cookies FILE] download ADDRESS [--albums SPEC]\n"
        "                    [--save DIR] [--threads N] [--timeout S] [--min-kb N] [--max-kb N]\n"
        "                    [--fix-format] [--fix-order] [--title-file] [--thunder-list] [--skip-previous]\n"
        "       pictrove-cli --help | --version\n"
        "\n"
        "Lists or downloads the photo albums of a Sina blog or Sina Weibo owner.\n"
        "\n"
        "  list ADDRESS        print the owner's albums: number, name, picture count, remark (tab-separated)\n"
        "  download ADDRESS    download the chosen albums, one folder per album under the save folder\n"
        "  --data-dir DIR      folder of soft.dat, the extension settings and the cookie store (default: the\n"
        "                      current folder when it holds a soft.dat, else ~/.local/share/Pictrove)\n"
        "  --cookies FILE      first import the cookies of a Netscape-format cookie file (a browser login)\n"
        "  --albums SPEC       album numbers as list prints them: 3, 1,4, 2-5 or all (default: all)\n"
        "  --save DIR          save folder (default: the last save path used, else ~/Pictures/Pictrove)\n"
        "  --threads N         parallel transfers for this run, 1-15\n"
        "  --timeout S         network time-out in seconds for this run, 10 or more\n"
        "  --min-kb N          skip pictures smaller than N KB in this run\n"
        "  --max-kb N          skip pictures larger than N KB in this run (0: no limit)\n"
        "  --fix-format        correct each picture's extension to its real format\n"
        "  --fix-order         stamp the pictures' times so they sort in album order\n"
        "  --title-file        also write each picture's title into the album's title file\n"
        "  --thunder-list      write a Thunder download list per album instead of downloading\n"
        "  --skip-previous     skip pictures downloaded by an earlier run\n"
        "  --failed-list FILE  write the pictures that did not arrive to FILE, one per line:\n"
        "                      address, a tab, the reason (UTF-8), so a script can retry them\n"
        "  --help              show this help\n"
        "  --version           show the version\n"
        "\n"
        "After a download a summary line on stderr counts the pictures saved, skipped and\n"
        "failed.\n"
        "\n"
        "Exit status: 0 done, 1 no album listed or chosen, 2 bad usage or not a web address,\n"
        "3 the save folder could not be created, 5 some pictures did not arrive,\n"
        "130 interrupted.\n");
}

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
            options.dataDir = folderPath(text);
        } else if (arg == QLatin1String("--cookies")) {
            ok = value(options.cookiesFile);
        } else if (arg == QLatin1String("--albums")) {
            ok = value(options.albums);
        } else if (arg == QLatin1String("--save")) {
            ok = value(text);
            options.saveDir = folderPath(text);
        } else if (arg == QLatin1String("--failed-list")) {
            ok = value(options.failedListFile);
        } else if (arg == QLatin1String("--threads")) {
            ok = limited(options.threads, 1, THREADS_MAX);
        } else if (arg == QLatin1String("--timeout")) {
            ok = limited(options.timeoutSeconds, TIMEOUT_MIN, 65535);
        } else if (arg == QLatin1String("--min-kb")) {
            ok = limited(options.minKB, 0, 65535);
        } else if (arg == QLatin1String("--max-kb")) {
            ok = limited(options.maxKB, 0, 65535);
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

    if (positional.size() != 2) {
        error = positional.isEmpty() ? QStringLiteral("a command is needed")
                                     : QStringLiteral("a command and one ADDRESS are needed");
        return std::nullopt;
    }
    if (positional.at(0) == QLatin1String("list")) {
        options.command = CliOptions::List;
    } else if (positional.at(0) == QLatin1String("download")) {
        options.command = CliOptions::Download;
    } else {
        error = QStringLiteral("unknown command %1").arg(positional.at(0));
        return std::nullopt;
    }
    options.address = positional.at(1);
    return options;
}

}  // namespace pictrove
