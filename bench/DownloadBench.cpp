// Whole-album download throughput of the engine, for scripts/bench-download.sh.
//
//   download_bench --serve [--latency-ms N] [--size BYTES] [--files N[,N2...]]
//       runs a loopback server with a Sina-blog-shaped category page per album size
//       (/category/bench<N>/page1 lists pictures 0..N-1), and answers every picture
//       (/orignal/file.jpg?n=<i>, and /file.jpg?n=<i> for fetch_bench) with BYTES bytes,
//       each answer after N ms; prints
//       "PORT <port>" and serves until its standard input closes.
//       With --owners AxM[,AxM...] it also serves owners of A albums of M pictures each:
//       /category/ownerAxM_<k>/page1 lists pictures k*M..k*M+M-1, answered after the
//       same latency as the pictures (a whole owner's listing is part of its cost).
//       With --per-page P each album is listed P pictures a page (/page1, /page2, ...),
//       as a long album is.
//   download_bench --download --port P --dir D [--files N] [--albums A] [--threads T]
//                  [--no-pause]
//       downloads the album of N pictures (with --albums: the owner of A albums of N
//       pictures) through the Downloader (category pages, AlbumQueueSink, coordinator
//       and workers) into D, checks every file and prints one line of results.
//       --no-pause drops the 2000 ms pause a single worker makes between transfers, to
//       compare the bare transfers with a sequential client.
//
// The server lives in a process of its own so the peak memory reported for the
// downloading process is the engine's alone, and so other clients can be pointed at
// the same server.

#include "download/Downloader.h"
#include "net/NetworkSetup.h"
#include "sources/ListEvents.h"
#include "sources/Session.h"
#include "sources/sinablog/SinaBlogSource.h"
#include "support/LoopbackServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include <sys/resource.h>

namespace pictrove {

namespace {

QString option(const QStringList &args, const QString &name, const QString &fallback)
{
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : fallback;
}

// Keeps only the run's counts: recording every event would add to the peak memory
// the bench reports as the engine's.
class RunCounts : public DownloadEvents {
public:
    void report(const DownloadEvent &event) override
    {
        if (const auto *finished = std::get_if<event::DownloadFinished>(&event))
            counts = finished->run;
    }
    PictureCounts counts;
};

// A category page listing pictures first..first+files-1; `more` adds the link to the
// next page, as an album of several pages has on all but its last.
QByteArray categoryPage(quint16 port, int files, int first = 0, bool more = false)
{
    QByteArray page = "<html><head><title>bench_新浪博客</title></head><body>\n";
    for (int i = first; i < first + files; ++i) {
        const QByteArray n = QByteArray::number(i);
        page += "<div class=\"pt_border\"><a href=\"#\"><img src=\"http://127.0.0.1:"
                + QByteArray::number(port) + "/small/file.jpg?n=" + n + "\" title=\"pic" + n
                + "\" /></a></div>\n";
    }
    if (more)
        page += "<a href=\"#\">下一页</a>\n";
    return page + "</body></html>\n";
}

int serve(const QStringList &args)
{
    const int latency = option(args, "--latency-ms", "30").toInt();
    const qsizetype size = option(args, "--size", QString::number(200 * 1024)).toLongLong();
    LoopbackServer server;
    for (const QString &count : option(args, "--files", "300").split(QLatin1Char(','))) {
        server.route("", "/category/bench" + count.toLatin1() + "/page1",
                     CannedResponse::ok(categoryPage(server.port(), count.toInt())));
    }
    for (const QString &shape : option(args, "--owners", QString()).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int albums = shape.section(QLatin1Char('x'), 0, 0).toInt();
        const int files = shape.section(QLatin1Char('x'), 1, 1).toInt();
        const int perPage = std::max(1, option(args, "--per-page", QString::number(files)).toInt());
        for (int k = 0; k < albums; ++k) {
            for (int first = 0, page = 1; first < files; first += perPage, ++page) {
                const int onPage = std::min(perPage, files - first);
                server.route("",
                             "/category/owner" + shape.toLatin1() + "_" + QByteArray::number(k) + "/page"
                                 + QByteArray::number(page),
                             CannedResponse::ok(categoryPage(server.port(), onPage, k * files + first,
                                                             first + onPage < files))
                                 .withLatency(latency));
            }
        }
    }
    const CannedResponse picture =
        CannedResponse::ok(QByteArray(size, 'p'), "image/jpeg").withLatency(latency);
    server.route("", "/orignal/file.jpg", picture);
    // fetch_bench's path, so a bare Fetch loop can be timed against the same server.
    server.route("", "/file.jpg", picture);
    std::printf("PORT %d\n", server.port());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

int download(const QStringList &args)
{
    const int port = option(args, "--port", "0").toInt();
    const QString dir = option(args, "--dir", QString());
    const int files = option(args, "--files", "300").toInt();
    const int threads = option(args, "--threads", "15").toInt();
    if (port <= 0 || dir.isEmpty() || !QDir().mkpath(dir + QStringLiteral("/data"))) {
        std::fprintf(stderr, "download_bench: --port and a writable --dir are needed\n");
        return 2;
    }
    initNetwork();

    ListEvents noList;
    RunCounts events;
    Session session(dir + QStringLiteral("/data/"), noList);
    session.sourceType = SourceType::Sina;
    if (args.contains(QStringLiteral("--no-pause")))
        session.sleep = [](int) {};
    SettingsBlock settings;
    settings.downloadParams[size_t(settingsIndex(SourceType::Sina))] = DownloadParams{0, 0, uint16_t(threads), 30};
    const int albums = option(args, "--albums", "0").toInt();
    QList<int> chosen;
    if (albums == 0) {
        AlbumRecord album;
        album.source = &kSinaBlogCategoriesSource;
        album.name = QStringLiteral("bench");
        album.url = QStringLiteral("http://127.0.0.1:%1/category/bench%2").arg(port).arg(files);
        session.albums.appendUnique(album);
        chosen.append(0);
    }
    for (int k = 0; k < albums; ++k) {
        AlbumRecord album;
        album.source = &kSinaBlogCategoriesSource;
        album.name = QStringLiteral("a%1").arg(k);
        album.url = QStringLiteral("http://127.0.0.1:%1/category/owner%2x%3_%4").arg(port).arg(albums).arg(files).arg(k);
        session.albums.appendUnique(album);
        chosen.append(k);
    }
    Downloader downloader(session, events);

    const auto start = std::chrono::steady_clock::now();
    if (downloader.start(downloadRequestFor(settings, SourceType::Sina, dir, chosen)) != DownloadCommand::Started) {
        std::fprintf(stderr, "download_bench: the download thread could not be started\n");
        return 1;
    }
    session.waitForThreads();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    qint64 onDisk = 0;
    int present = 0;
    for (int k = 0; k < std::max(albums, 1); ++k) {
        for (int i = albums == 0 ? 0 : k * files; i < (albums == 0 ? files : (k + 1) * files); ++i) {
            const QFileInfo file(QStringLiteral("%1/%2/pic%3.jpg")
                                     .arg(dir, albums == 0 ? QStringLiteral("bench") : QStringLiteral("a%1").arg(k))
                                     .arg(i));
            present += file.exists() ? 1 : 0;
            onDisk += file.size();
        }
    }
    const int expected = files * std::max(albums, 1);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("files=%d saved=%d failed=%d threads=%d on_disk=%lld seconds=%.3f mib_per_s=%.2f maxrss_kib=%ld\n",
                expected, present, events.counts.failed, threads, static_cast<long long>(onDisk), seconds,
                double(onDisk) / 1048576.0 / seconds, usage.ru_maxrss);
    return present == expected ? 0 : 1;
}

}  // namespace

}  // namespace pictrove

using namespace pictrove;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--serve")))
        return serve(args);
    if (args.contains(QStringLiteral("--download")))
        return download(args);
    std::fprintf(stderr, "usage: download_bench --serve [--latency-ms N] [--size BYTES] [--files N] | "
                         "--download --port P --dir D [--files N] [--threads N] [--no-pause]\n");
    return 2;
}
