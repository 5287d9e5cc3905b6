// The download archive's cost per album: an archive of ROWS pictures of one owner, then
// per run the opening a download makes, the look-ups of one album of 300 pictures
// (half of them archived) and the recording of 300 saved pictures in batches of 64,
// as the pipeline records them. Also the whole-file check a download leaves out.
//
//   archive_bench [ROWS] [RUNS]     (defaults 200000, 5; the archive goes to a temporary folder)

#include "download/DownloadArchive.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace pictrove;

namespace {

QString pictureId(int n)
{
    return QStringLiteral("006abcDEgy1h%1j30u011i7wh").arg(n, 8, 10, QLatin1Char('0'));
}

ArchivedFile file(int n)
{
    ArchivedFile f;
    f.service = QStringLiteral("weibo");
    f.ownerId = QStringLiteral("1234567890");
    f.albumId = QStringLiteral("https://photo.weibo.com/1234567890/albums/detail/album_id/%1").arg(n / 300);
    f.albumName = QStringLiteral("相册%1").arg(n / 300);
    f.postId = QString::number(4900000000000000LL + n);
    f.pictureId = pictureId(n);
    f.path = QStringLiteral("小明/相册%1/图片 %2.jpg").arg(n / 300).arg(n % 300);
    f.size = 204800;
    f.savedAt = 1700000000;
    return f;
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    const QString path = downloadArchivePath(dir.path());
    {
        DownloadArchive archive(path);
        for (int from = 0; from < rows; from += 1000) {
            QList<ArchivedFile> batch;
            for (int n = from; n < std::min(rows, from + 1000); ++n)
                batch.append(file(n));
            archive.record(batch);
        }
    }
    double open = 1e9, check = 1e9, lookUp = 1e9, record = 1e9;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            DownloadArchive full(path, DownloadArchive::Check::Full);
        }
        check = std::min(check, ms(timer.nsecsElapsed()));
        timer.restart();
        DownloadArchive archive(path);
        open = std::min(open, ms(timer.nsecsElapsed()));

        QStringList keys;
        for (int i = 0; i < 300; ++i)
            keys.append(pictureId(i % 2 ? rows - 1 - i : rows + run * 1000 + i));  // half archived
        timer.restart();
        const qsizetype found = archive.archivedAmong(QStringLiteral("weibo"), QStringLiteral("1234567890"), keys).size();
        lookUp = std::min(lookUp, ms(timer.nsecsElapsed()));
        if (found != 150)
            std::fprintf(stderr, "found %lld of 150\n", static_cast<long long>(found));

        timer.restart();
        QList<ArchivedFile> batch;
        for (int i = 0; i < 300; ++i) {
            batch.append(file(rows + run * 1000 + i));
            if (batch.size() == 64 || i == 299) {
                archive.record(batch);
                batch.clear();
            }
        }
        record = std::min(record, ms(timer.nsecsElapsed()));
    }
    std::printf("rows %d: open %.2f ms, look-ups of 300 %.2f ms, record 300 %.2f ms; whole-file check %.1f ms\n",
                rows, open, lookUp, record, check);
    return 0;
}
