// pictrove-cli: Get List and Download from a shell, on the same engine as the desktop
// program. The CLI turns its arguments into the engine's requests and the engine's
// events into terminal output (CliReporter) and an exit status.

#include "cli/AlbumChoice.h"
#include "cli/CliHelp.h"
#include "cli/CliLogin.h"
#include "cli/CliOptions.h"
#include "cli/CliReporter.h"
#include "cli/ExitStatus.h"
#include "cli/OwnersFile.h"
#include "download/ArchivedAlbums.h"
#include "download/Downloader.h"
#include "download/MissingPictures.h"
#include "download/ResultMessages.h"
#include "net/CookieStore.h"
#include "net/NetworkSetup.h"
#include "settings/DataFolder.h"
#include "settings/MediaOptions.h"
#include "settings/PostRecordOptions.h"
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
#include <optional>
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

// When the download archive knows the owner, a fifth column says what each album has
// archived ("已存档 N/M"), and how many of those files are gone from under the save
// folder (when one is given) and how many pictures failed ("· 缺文件 2 · 失败 1").
void printAlbums(const Session &session, const QString &saveRoot)
{
    const QList<AlbumRecord> albums = session.albums.all();
    const QList<ArchivedCounts> archived = archivedCountsPerAlbum(session.dataFolder(), saveRoot, albums, session.owner);
    for (int row = 0; row < albums.size(); ++row) {
        const AlbumRecord &album = albums.at(row);
        const QString count = album.pictureCount == -1 ? albumCountText(-1) : QString::number(album.pictureCount);
        QString line = QStringLiteral("%1\t%2\t%3\t%4")
                           .arg(row + 1, 4, 10, QLatin1Char('0'))
                           .arg(album.name, count, albumRemarkText(album.accessFlags));
        if (!archived.isEmpty())
            line += u'\t' + archivedCountText(archived.at(row), album.pictureCount);
        out(line);
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
    request.media = readMediaOptions(session.dataFolder());
    request.media.liveMotion = request.media.liveMotion && !options.noLiveMotion;
    request.media.videos = request.media.videos && !options.noVideos;
    request.post = readPostRecordOptions(session.dataFolder());
    request.post.postTimeAsFileTime = request.post.postTimeAsFileTime && !options.noPostTimes;
    request.post.sidecar = request.post.sidecar || options.sidecar;
    return request;
}

// The network, the data folder and the cookie store (with an imported cookie file),
// for every command that asks a service; false when the cookie file cannot be read.
bool prepareEngine(const CliOptions &options)
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
        return false;
    }
    return true;
}

void loadSessionSettings(Session &session)
{
    SettingsBlock block;
    warnAboutSettings(loadSettings(session.dataFolder(), block), session.dataFolder());
    session.setSettings(block);
}

// --save, else the last save path used, else the default save folder.
QString saveFolder(const Session &session, const CliOptions &options)
{
    QString saveDir = options.saveDir;
    if (saveDir.isEmpty())
        saveDir = historyEntries(session.settings(), kHistorySavePath).value(0);
    if (saveDir.isEmpty())
        saveDir = defaultSaveFolder(session.dataFolder(), QDir::tempPath(), userPicturesFolder());
    return saveDir;
}

// Lists the owner and waits for the list; the exit status when the run ends there
// (bad address, interrupted, a login needed or run out), nothing when albums may follow.
std::optional<int> listOwner(Session &session, CliReporter &reporter, const QString &address)
{
    if (startList(session, ListRequest{address}) == ListCommand::ThreadFailed) {
        reporter.message(QStringLiteral("Create thread:GetListFunc failed."));
        return kExitNoAlbum;
    }
    waitWhileBusy(
        session, [&] { return session.listState.load() != ListState::Idle; }, [&] { requestListStop(session); });
    reporter.finishLine();
    CookieStore::process().save();

    const std::optional<ListResult> listed = reporter.listResult();
    if (listed == ListResult::NoAddress || listed == ListResult::NotWebAddress)
        return kExitUsage;
    if (g_interrupted.load())
        return kExitInterrupted;
    if (listed == ListResult::LoginNeeded || listed == ListResult::LoginExpired)
        return kExitLoginNeeded;
    return std::nullopt;
}

int run(const CliOptions &options)
{
    if (!prepareEngine(options))
        return kExitUsage;
    CookieStore &cookies = CookieStore::process();

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
    loadSessionSettings(session);

    if (const std::optional<int> failed = listOwner(session, reporter, options.address))
        return *failed;
    if (options.command == CliOptions::List) {
        // The files are looked for only under a save folder the user named (--save, or the
        // last one used): a download elsewhere would show every file as gone.
        const QString named = !options.saveDir.isEmpty()
                                  ? options.saveDir
                                  : historyEntries(session.settings(), kHistorySavePath).value(0);
        printAlbums(session, named);
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

    const QString saveDir = saveFolder(session, options);
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
    if (counts.loginRefusal == ListResult::LoginNeeded || counts.loginRefusal == ListResult::LoginExpired)
        return kExitLoginNeeded;
    const bool whole = counts.failed == 0 && counts.incompleteAlbums == 0
                       && reporter.downloadResult() != DownloadResult::DiskFull;
    return whole ? kExitDone : kExitPicturesFailed;
}

// One owner after another in one session, so the pace the service asks for carries
// over from owner to owner. A line per owner on stdout: its address, its exit status
// and what became of it; the status of the whole run is the worst of them.
int runUpdates(const CliOptions &options)
{
    QStringList owners = options.owners;
    if (!options.ownersFile.isEmpty()) {
        QString error;
        const auto listed = readOwnersFile(options.ownersFile, error);
        if (!listed) {
            std::fprintf(stderr, "pictrove-cli: cannot read the owners file %s: %s\n\n%s",
                         qPrintable(options.ownersFile), qPrintable(error), qPrintable(cliUsage()));
            return kExitUsage;
        }
        owners += *listed;
    }
    if (owners.isEmpty()) {
        warn(QStringLiteral("the owners file %1 names no owner").arg(options.ownersFile));
        return kExitNoAlbum;
    }
    if (!prepareEngine(options))
        return kExitUsage;
    CookieStore &cookies = CookieStore::process();

    CliReporter reporter;
    Session session(options.dataDir, reporter);
    Downloader downloader(session, reporter);
    loadSessionSettings(session);
    const QString saveDir = saveFolder(session, options);

    int worst = kExitDone;
    for (const QString &owner : std::as_const(owners)) {
        if (g_interrupted.load())
            break;
        reporter.startOwner();
        reporter.message(QStringLiteral("更新 %1").arg(owner));
        UpdateRequest request;
        request.list.ownerAddress = owner;
        request.download = downloadRequest(session, options, saveDir, {});
        if (downloader.startUpdate(request) == DownloadCommand::ThreadFailed) {
            reporter.message(QStringLiteral("Create thread:DownPicFunc failed."));
            return worseExit(worst, kExitNoAlbum);
        }
        waitWhileBusy(
            session, [&] { return downloader.isRunning(); }, [&] { downloader.requestAbort(); });
        reporter.finishLine();
        cookies.save();

        const auto finished = reporter.updateFinished();
        const int status = finished ? updateExit(*finished) : kExitNoAlbum;
        QString summary = finished ? updateSummary(*finished) : QString();
        if (summary.isEmpty() && finished)
            summary = listResultMessage(finished->list, QString());
        if (summary.isEmpty())
            summary = QStringLiteral("没有获取到相册");
        out(QStringLiteral("%1\t%2\t%3").arg(owner).arg(status).arg(summary));
        worst = worseExit(worst, status);
    }
    if (!options.failedListFile.isEmpty() && !writeFailedList(options.failedListFile, reporter.failedPictures()))
        reporter.message(QStringLiteral("cannot write the failed list %1").arg(options.failedListFile));
    return g_interrupted.load() ? kExitInterrupted : worst;
}

// The owner listed, then every album's pictures listed against the archive. Per album
// a line "# number, name, archived/listed", then each picture the archive does not
// hold as the failed list has it: address, a tab, why.
int runMissing(const CliOptions &options)
{
    if (!prepareEngine(options))
        return kExitUsage;
    CookieStore &cookies = CookieStore::process();
    CliReporter reporter;
    Session session(options.dataDir, reporter);
    loadSessionSettings(session);

    if (const std::optional<int> failed = listOwner(session, reporter, options.address))
        return *failed;
    if (session.albums.isEmpty())
        return kExitNoAlbum;

    int missing = 0;
    int incomplete = 0;
    QStringList failedLines;
    MissingCheck check;
    check.stopRequested = [] { return g_interrupted.load(); };
    check.waitingForRateLimit = [&](int seconds) { reporter.message(rateLimitWaitMessage(seconds)); };
    check.albumChecked = [&](const AlbumShortfall &album) {
        QString line = QStringLiteral("# %1\t%2\t%3")
                           .arg(album.index + 1, 4, 10, QLatin1Char('0'))
                           .arg(album.name, archivedCountText(album.archived, album.listed));
        if (!album.listingFailure.isEmpty()) {
            line += QStringLiteral("\t列表不完整：%1").arg(album.listingFailure);
            ++incomplete;
        }
        out(line);
        for (const MissingPicture &missingPicture : album.missing) {
            const QString reason =
                missingPicture.reason.isEmpty() ? QStringLiteral("未存档") : missingPicture.reason;
            const QString entry = failedListLine(missingPicture.picture.address, reason);
            out(entry);
            failedLines.append(entry);
        }
        missing += int(album.missing.size());
    };
    const QList<AlbumShortfall> checked = findMissingPictures(session, check);
    cookies.save();
    reporter.message(QStringLiteral("检查了 %1 个相册：%2 张图片未存档").arg(checked.size()).arg(missing));
    if (!options.failedListFile.isEmpty() && !writeFailedList(options.failedListFile, failedLines))
        reporter.message(QStringLiteral("cannot write the failed list %1").arg(options.failedListFile));
    if (g_interrupted.load())
        return kExitInterrupted;
    if (incomplete > 0)
        return kExitPicturesFailed;
    return missing > 0 ? kExitPicturesMissing : kExitDone;
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
    if (options->command == CliOptions::Update)
        return runUpdates(*options);
    if (options->command == CliOptions::Missing)
        return runMissing(*options);
    return run(*options);
}
