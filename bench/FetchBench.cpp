// Picture-download throughput of the fetcher, for scripts/bench-fetch.sh.
//
//   fetch_bench --serve [--latency-ms N] [--size BYTES]
//       runs a loopback server answering /file.jpg?n=<i> with BYTES bytes after N ms;
//       prints "PORT <port>" and serves until its standard input closes.
//   fetch_bench --fetch --port P --dir D [--files 200] [--threads 15]
//       downloads /file.jpg?n=0..files-1 into D/<i>.jpg through Fetch with that many
//       threads, checks every file, and prints one line of results.
//
// The server runs in a process of its own so the peak memory reported for the fetching
// process is the engine's alone, and so curl can be pointed at the same server.

#include "net/NetworkSetup.h"
#include "net/PageFetcher.h"
#include "support/LoopbackServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

namespace pictrove {

namespace {

QString option(const QStringList &args, const QString &name, const QString &fallback)
{
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : fallback;
}

int serve(const QStringList &args)
{
    const int latency = option(args, "--latency-ms", "0").toInt();
    const qsizetype size = option(args, "--size", QString::number(256 * 1024)).toLongLong();
    LoopbackServer server;
    const QByteArray picture(size, 'p');
    server.route("", "/file.jpg", CannedResponse::ok(picture, "image/jpeg").withLatency(latency));
    std::printf("PORT %d\n", server.port());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

int fetch(const QStringList &args)
{
    const int port = option(args, "--port", "0").toInt();
    const QString dir = option(args, "--dir", QString());
    const int files = option(args, "--files", "200").toInt();
    const int threads = option(args, "--threads", "15").toInt();
    if (port <= 0 || dir.isEmpty() || !QDir().mkpath(dir)) {
        std::fprintf(stderr, "fetch_bench: --port and a writable --dir are needed\n");
        return 2;
    }
    initNetwork();

    std::atomic<int> next{0};
    std::atomic<int> failed{0};
    std::atomic<qint64> bytes{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            PageRequest request{QString(), QString()};
            PageResponse response;
            for (int i = next++; i < files; i = next++) {
                request.url = QStringLiteral("http://127.0.0.1:%1/file.jpg?n=%2").arg(port).arg(i);
                request.savePath = QStringLiteral("%1/%2.jpg").arg(dir).arg(i);
                if (fetch(request, response, kFetchInflateForChecks))
                    bytes += response.receivedLength;
                else
                    ++failed;
            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    qint64 onDisk = 0;
    for (int i = 0; i < files; ++i)
        onDisk += QFileInfo(QStringLiteral("%1/%2.jpg").arg(dir).arg(i)).size();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("files=%d failed=%d bytes=%lld on_disk=%lld seconds=%.3f mib_per_s=%.1f maxrss_kib=%ld\n",
                files, failed.load(), static_cast<long long>(bytes.load()),
                static_cast<long long>(onDisk), seconds, double(bytes.load()) / 1048576.0 / seconds,
                usage.ru_maxrss);
    return failed.load() == 0 && onDisk == bytes.load() ? 0 : 1;
}

}  // namespace

}  // namespace pictrove

using namespace pictrove;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains("--serve"))
        return serve(args);
    if (args.contains("--fetch"))
        return fetch(args);
    std::fprintf(stderr, "usage: fetch_bench --serve [--latency-ms N] [--size BYTES] | "
                         "--fetch --port P --dir D [--files N] [--threads N]\n");
    return 2;
}
