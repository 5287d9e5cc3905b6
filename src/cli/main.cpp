// pictrove-cli: Get List and Download from a shell, on the same engine as the desktop
// program. The CLI only supplies the window (CliWindowPort) and its printing.

#include "cli/AlbumChoice.h"
#include "cli/CliOptions.h"
#include "cli/CliWindowPort.h"
#include "download/DownloadDriver.h"
#include "net/CookieStore.h"
#include "net/NetworkSetup.h"
#include "settings/SettingsStore.h"
#include "sources/AlbumColumns.h"
#include "sources/ListAcquisition.h"
#include "sources/MainWindowState.h"

#include <QCoreApplication>
#include <QDir>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

enum ExitCode : int {
    EXIT_DONE = 0,
    EXIT_NO_ALBUM = 1,
    EXIT_USAGE = 2,
    EXIT_SAVE_FOLDER = 3,
    EXIT_INTERRUPTED = 130,
};

// The Sina entry: every list and download runs with its settings.
constexpr int kSinaSourceType = 4;

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int)
{
    g_interrupted.store(true);
}

void out(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Waits for the engine to go idle. Ctrl-C asks it to stop exactly as pressing the
// button again would, once; the wait then goes on until the engine has stopped.
template <typename Busy, typename Stop>
void waitWhileBusy(MainWindowState &state, Busy busy, Stop stop)
{
    bool stopRequested = false;
    while (busy()) {
        if (g_interrupted.load() && !stopRequested) {
            stop();
            stopRequested = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    state.waitForThreads();
}

void printAlbums(const MainWindowState &state)
{
    const QList<AlbumRecord> albums = state.albums.all();
    for (int row = 0; row < albums.size(); ++row) {
        const AlbumRecord &album = albums.at(row);
        const QString count = album.pictureCount == -1 ? albumCountText(-1) : QString::number(album.pictureCount);
        out(QStringLiteral("%1\t%2\t%3\t%4")
                .arg(row + 1, 4, 10, QLatin1Char('0'))
                .arg(album.name, count, albumRemarkText(album.accessFlags)));
    }
}

// The settings of this run: the user's, with the command line's overrides on the Sina
// entry. Applied after Get List, whose history update is the only save a CLI run makes.
void applyRunOverrides(MainWindowState &state, const CliOptions &options)
{
    state.updateSettings([&](SettingsBlock &block) {
        DownloadParams &params = block.downloadParams[kSinaSourceType];
        if (options.threads)
            params.threads = uint16_t(*options.threads);
        if (options.timeoutSeconds)
            params.timeoutSeconds = uint16_t(*options.timeoutSeconds);
        if (options.minKB)
            params.minKB = uint16_t(*options.minKB);
        if (options.maxKB)
            params.maxKB = uint16_t(*options.maxKB);
        block.nameRules[kSinaSourceType].options |= options.setOptions;
    });
}

int run(const CliOptions &options)
{
    initNetwork();
    CookieStore &cookies = CookieStore::process();
    QDir().mkpath(options.dataDir);
    cookies.open(options.dataDir + QStringLiteral("cookies.txt"));
    if (!options.cookiesFile.isEmpty() && cookies.importFile(options.cookiesFile) < 0) {
        std::fprintf(stderr, "cannot read cookie file %s\n", qPrintable(options.cookiesFile));
        return EXIT_USAGE;
    }

    CliWindowPort port;
    MainWindowState state(port);
    state.dataFolder = options.dataDir;
    SettingsBlock block;
    loadSettings(state.dataFolder, block);
    state.updateSettings([&](SettingsBlock &settings) { settings = block; });
    state.readyFlag.store(1);

    port.setText(IDC_OWNER_ADDRESS, options.address);
    GetListCommand(state);
    waitWhileBusy(
        state, [&] { return state.listState.load() != LIST_IDLE; },
        [&] { GetListCommand(state); });
    port.finishLine();
    cookies.save();

    const QStringList messages = port.messages();
    if (messages.contains(QString::fromUtf16(kNoAddressMessage))
        || messages.contains(QString::fromUtf16(kNotWebAddressMessage)))
        return EXIT_USAGE;
    if (g_interrupted.load())
        return EXIT_INTERRUPTED;
    if (options.command == CliOptions::List) {
        printAlbums(state);
        return state.albums.isEmpty() ? EXIT_NO_ALBUM : EXIT_DONE;
    }

    if (state.albums.isEmpty())
        return EXIT_NO_ALBUM;
    const auto chosen = parseAlbumChoice(options.albums, state.albums.size());
    if (!chosen) {
        std::fprintf(stderr, "--albums %s names no listed album (1-%d)\n", qPrintable(options.albums),
                     state.albums.size());
        return EXIT_USAGE;
    }
    if (chosen->isEmpty())
        return EXIT_NO_ALBUM;

    QString saveDir = options.saveDir;
    if (saveDir.isEmpty())
        saveDir = historyEntries(state.settings(), HISTORY_SAVE_PATH).value(0);
    if (saveDir.isEmpty())
        saveDir = state.dataFolder;
    port.setText(IDC_SAVE_PATH, saveDir);
    port.setSelection(*chosen);
    applyRunOverrides(state, options);

    const int messagesBefore = int(port.messages().size());
    StartDownload(state);
    waitWhileBusy(
        state, [&] { return state.downState.load() != 0; }, [&] { StartDownload(state); });
    port.finishLine();
    cookies.save();

    if (port.messages().mid(messagesBefore).contains(QStringLiteral("请检测设置的保存路径是否有误")))
        return EXIT_SAVE_FOLDER;
    if (!port.openedFolder().isEmpty())
        out(port.openedFolder());
    return g_interrupted.load() ? EXIT_INTERRUPTED : EXIT_DONE;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pictrove-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PICTROVE_VERSION));

    QString error;
    const auto options = parseCliOptions(app.arguments(), error);
    if (!options) {
        std::fprintf(stderr, "pictrove-cli: %s\n\n%s", qPrintable(error), qPrintable(cliUsage()));
        return EXIT_USAGE;
    }
    if (options->command == CliOptions::Help) {
        std::fputs(cliUsage().toUtf8().constData(), stdout);
        return EXIT_DONE;
    }
    if (options->command == CliOptions::Version) {
        out(QStringLiteral("pictrove-cli %1").arg(QStringLiteral(PICTROVE_VERSION)));
        return EXIT_DONE;
    }

    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return run(*options);
}
