// grid_bench: how the album grid takes a burst of albums from the list thread.
// A worker thread publishes N albums through addAlbum as fast as it can (the worst
// case: a list fetcher with the whole list in one page) while the GUI thread runs its
// event loop offscreen. Reported: the time until every row is in the grid, and the
// longest the GUI thread went without serving its event loop (measured by a 1 ms
// timer: the longest gap between two ticks). For comparison, the same burst is also
// sent the naive way: one queued call per row, each adding its row at once.
//
//     QT_QPA_PLATFORM=offscreen build/bench/grid_bench [albums=5000] [runs=5]

#include "sources/AddAlbum.h"
#include "sources/Session.h"
#include "grid/AlbumGrid.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/platform/ShellServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace pictrove {

namespace {

class SilentShell : public ShellServices {
public:
    void showMessage(QWidget *, const QString &, const QString &) override {}
    bool askYesNo(QWidget *, const QString &) override { return false; }
    QString chooseSaveFile(QWidget *, const QString &, const QString &) override { return {}; }
    QString chooseFolder(QWidget *, const QString &) override { return {}; }
    bool open(const QString &) override { return true; }
    void endProcess(int) override {}
};

struct RunResult {
    double totalMs = 0;
    double longestStallMs = 0;
};

RunResult runOnce(int albums, bool batched)
{
    SilentShell shell;
    MainWindow window(shell);
    window.albumView().resetGrid();
    window.resize(860, 620);
    window.show();
    QApplication::processEvents();

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });

    clock.start();
    ticker.start();
    std::thread lister([&window, albums, batched] {
        for (int i = 0; i < albums; ++i) {
            AlbumRecord record;
            record.name = QStringLiteral("相册 %1 春天的旅行照片").arg(i);
            record.pictureCount = i % 300;
            record.accessFlags = i % 7 == 0 ? 0x2 : 0;
            if (batched) {
                addAlbum(window.session(), record);
                continue;
            }
            const int index = window.session().albums.appendUnique(record) - 1;
            QMetaObject::invokeMethod(&window, [&window, index] { window.albumView().addAlbumRow(index); },
                                      Qt::QueuedConnection);
        }
    });
    while (window.grid().gridRowCount() < albums + 1)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    RunResult result;
    result.totalMs = clock.nsecsElapsed() / 1e6;
    // The last batch's paint belongs to the stall figure too.
    QApplication::processEvents();
    ticker.stop();
    lister.join();
    result.longestStallMs = std::max(longestGap, clock.nsecsElapsed() - lastTick) / 1e6;
    return result;
}

}  // namespace

}  // namespace pictrove

using namespace pictrove;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int albums = argc > 1 ? std::max(1, atoi(argv[1])) : 5000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;

    std::printf("albums=%d runs=%d\n", albums, runs);
    for (const bool batched : {true, false}) {
        QList<RunResult> results;
        for (int run = 0; run < runs; ++run) {
            results.append(runOnce(albums, batched));
            std::printf("%s run %d: all rows shown after %.1f ms, longest GUI stall %.1f ms\n",
                        batched ? "batched" : "one call per row", run + 1, results.last().totalMs,
                        results.last().longestStallMs);
        }
        auto median = [&results](double RunResult::*field) {
            QList<double> values;
            for (const RunResult &r : results)
                values.append(r.*field);
            std::sort(values.begin(), values.end());
            return values.at(values.size() / 2);
        };
        std::printf("%s median: all rows shown after %.1f ms, longest GUI stall %.1f ms\n",
                    batched ? "batched" : "one call per row", median(&RunResult::totalMs),
                    median(&RunResult::longestStallMs));
    }
    return 0;
}
