// pictrove-cli: Get List and Download from a shell, on the same engine as the desktop
// program. The CLI turns its arguments into the engine's requests and the engine's
// events into terminal output (CliReporter) and an exit status.

#include "cli/AlbumChoice.h"
#include "cli/CliExitCode.h"
#include "cli/CliHelp.h"
#include "cli/CliLogin.h"
#include "cli/CliOptions.h"
#include "cli/CliReporter.h"
#include "download/Downloader.h"
#include "net/CookieStore.h"
#include "net/NetworkSetup.h"
#include "settings/DataFolder.h"
#include "settings/SettingsStore.h"
#include "sources/AlbumColumns.h"
#include "sources/ListAcquisition.h"
#include "sources/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <thread>

namespace pictrove {

namespace {

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

void warn(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

// A store file that was not read is kept as it is: say so, and that this run's logins
// stay with this run.
void warnAboutCookieFile(CookieFileStatus status, const QString &path)
{
    if (status == CookieFileStatus::TooLarge)
        warn(QStringLiteral("登录信息文件大于 %1 MiB，未读取：%2（文件保持原样，本次的登录不会保存）")
                 .arg(CookieStore::kMaxCookieFileBytes / (1024 * 1024))
                 .arg(path));
    else if (status == CookieFileStatus::Unreadable)
        warn(QStringLiteral("无法读取登录信息文件：%1（文件保持原样，本次的登录不会保存）").arg(path));
}

void warnAboutSettings(const SettingsLoadResult &loaded, const QString &dataFolder)
{
    if (loaded.status != kSettingsTooLarge)
        return;
    QString line = QStringLiteral("设置文件 %1 过大，不是本程序的设置：本次使用默认设置").arg(dataFolder + QStringLiteral("soft.dat"));
    if (!loaded.setAside.isEmpty())
        line += QStringLiteral("（原文件已改名为 %1）").arg(loaded.setAside);
    warn(line);
}

// Waits for the engine to go idle. Ctrl-C asks it to stop once, exactly as pressing
// the button again would; the wait then goes on until the engine has stopped.
void waitWhileBusy(Session &session, const std::function<bool()> &busy, const std::function<void()> &stop)
{
    bool stopRequested = false;
    while (busy()) {
        if (g_interrupted.load() && !stopRequested) {
            stop();
            stopRequested = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    session.waitForThreads();
}

void printAlbums(const Session &session)
{
    const QList<AlbumRecord> albums = session.albums.all();
    for (int row = 0; row < albums.size(); ++row) {
        const AlbumRecord &album = albums.at(row);
        const QString count = album.pictureCount == -1 ? albumCountText(-1) : QString::number(album.pictureCount);
        out(QStringLiteral("%1\t%2\t%3\t%4")
                .arg(row + 1, 4, 10, QLatin1Char('0'))
                .arg(album.name, count, albumRemarkText(album.accessFlags)));
    }
}

// The failed pictures, one "address\treason" line each; false when the file cannot
// be written.
bool writeFailedList(const QString &path, const QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + '\n';
    return file.write(bytes) == bytes.size() && file.flush();
}

// The request of this run: the user's settings for the listed source type, with the
// command line's overrides, which are never saved.
DownloadRequest downloadRequest(const Session &session, const CliOptions &options, const QString &saveDir,
                                const QList<int> &albums)
{
    DownloadRequest request = downloadRequestFor(session.settings(), session.sourceType.load(), saveDir, albums);
    if (options.threads)
        request.params.threads = uint16_t(*options.threads);
    if (options.timeoutSeconds)
        request.params.timeoutSeconds = uint16_t(*options.timeoutSeconds);
    if (options.minKB)
        request.params.minKB = uint16_t(*options.minKB);
    if (options.maxKB)
        request.params.maxKB = uint16_t(*options.maxKB);
    request.rules.options |= options.setOptions;
    request.useArchive = options.useArchive;
    return request;
}

int run(const CliOptions &options)
{
    initNetwork();
    CookieStore &cookies = CookieStore::process();
    if (!prepareDataFolder(options.dataDir))
        warn(QStringLiteral("数据文件夹无法写入：%1（设置和登录不会保存）").arg(options.dataDir));
    removeStaleDataFolderTemporaries(options.dataDir);
    const QString cookieFile = options.dataDir + QStringLiteral("cookies.txt");
    warnAboutCookieFile(cookies.open(cookieFile), cookieFile);
    if (!options.cookiesFile.isEmpty() && cookies.importFile(options.cookiesFile) < 0) {
        std::fprintf(stderr, "cannot read cookie file %s (missing, unreadable, or larger than %lld MiB)\n",
                     qPrintable(options.cookiesFile),
                     static_cast<long long>(CookieStore::kMaxCookieFileBytes / (1024 * 1024)));
        return kExitUsage;
    }

    // The Weibo login's commands need the cookie store only.
    switch (options.command) {
    case CliOptions::Login:
        return loginCommand(g_interrupted);
    case CliOptions::Whoami:
        return whoamiCommand();
    case CliOptions::Logout:
        return logoutCommand();
    default:
        break;
    }

    CliReporter reporter;
    Session session(options.dataDir, reporter);
    Downloader downloader(session, reporter);
    SettingsBlock block;
    warnAboutSettings(loadSettings(session.dataFolder(), block), session.dataFolder());
    session.setSettings(block);

    if (startList(session, ListRequest{options.address}) == ListCommand::ThreadFailed) {
        reporter.message(QStringLiteral("Create thread:GetListFunc failed."));
        return kExitNoAlbum;
    }
    waitWhileBusy(
        session, [&] { return session.listState.load() != ListState::Idle; }, [&] { requestListStop(session); });
    reporter.finishLine();
    cookies.save();

    const std::optional<ListResult> listed = reporter.listResult();
    if (listed == ListResult::NoAddress || listed == ListResult::NotWebAddress)
        return kExitUsage;
    if (g_interrupted.load())
        return kExitInterrupted;
    if (listed == ListResult::LoginNeeded || listed == ListResult::LoginExpired)
        return kExitLoginNeeded;
    if (options.command == CliOptions::List) {
        printAlbums(session);
        return session.albums.isEmpty() ? kExitNoAlbum : kExitDone;
    }

    if (session.albums.isEmpty())
        return kExitNoAlbum;
    const auto chosen = parseAlbumChoice(options.albums, session.albums.size());
    if (!chosen) {
        std::fprintf(stderr, "--albums %s names no listed album (1-%d)\n", qPrintable(options.albums),
                     session.albums.size());
        return kExitUsage;
    }
    if (chosen->isEmpty())
        return kExitNoAlbum;

    QString saveDir = options.saveDir;
    if (saveDir.isEmpty())
        saveDir = historyEntries(session.settings(), kHistorySavePath).value(0);
    if (saveDir.isEmpty())
        saveDir = defaultSaveFolder(session.dataFolder(), QDir::tempPath(), userPicturesFolder());

    if (downloader.start(downloadRequest(session, options, saveDir, *chosen)) == DownloadCommand::ThreadFailed) {
        reporter.message(QStringLiteral("Create thread:DownPicFunc failed."));
        return kExitNoAlbum;
    }
    waitWhileBusy(
        session, [&] { return downloader.isRunning(); }, [&] { downloader.requestAbort(); });
    reporter.finishLine();
    cookies.save();

    if (reporter.downloadResult() == DownloadResult::SaveFolderFailed)
        return kExitSaveFolder;
    if (!options.failedListFile.isEmpty() && !writeFailedList(options.failedListFile, reporter.failedPictures()))
        reporter.message(QStringLiteral("cannot write the failed list %1").arg(options.failedListFile));
    if (!reporter.folderToOpen().isEmpty())
        out(reporter.folderToOpen());
    if (g_interrupted.load())
        return kExitInterrupted;
    const PictureCounts counts = reporter.downloadCounts();
    const bool whole = counts.failed == 0 && counts.incompleteAlbums == 0
                       && reporter.downloadResult() != DownloadResult::DiskFull;
    return whole ? kExitDone : kExitPicturesFailed;
}

}  // namespace

}  // namespace pictrove

using namespace pictrove;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pictrove-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PICTROVE_VERSION));

    QString error;
    const auto options = parseCliOptions(app.arguments(), error);
    if (!options) {
        std::fprintf(stderr, "pictrove-cli: %s\n\n%s", qPrintable(error), qPrintable(cliUsage()));
        return kExitUsage;
    }
    if (options->command == CliOptions::Help) {
        std::fputs(cliUsage().toUtf8().constData(), stdout);
        return kExitDone;
    }
    if (options->command == CliOptions::Version) {
        out(QStringLiteral("pictrove-cli %1").arg(QStringLiteral(PICTROVE_VERSION)));
        return kExitDone;
    }

    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return run(*options);
}
