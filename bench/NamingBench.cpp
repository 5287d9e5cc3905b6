// naming_bench: naming many pictures of one title and many albums of one name, the
// case of a Weibo album whose photos carry no caption. Each count is named twice in
// one run: by the engine (finalFileName with the queue's counter memory, and
// AlbumList::appendUnique), and by the counter that restarts at 1 for every name, as
// the engine did before, for the ratio.
//
//     build/bench/naming_bench [counts=5000,20000]

#include "download/AlbumQueue.h"
#include "download/FileNaming.h"
#include "sources/AlbumList.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace pictrove {

namespace {

double secondsFor(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

// Every picture titled "Trip": Trip.jpg, Trip(1).jpg, ...
void engineNamesPictures(int count)
{
    AlbumQueue queue;
    for (int i = 0; i < count; ++i) {
        const QString name = finalFileName(QStringLiteral("Trip"), QStringLiteral("/p/"), queue);
        Picture picture;
        picture.address = QStringLiteral("http://h/%1.jpg").arg(i);
        queue.queuePicture(picture, name);
    }
}

void restartingCounterNamesPictures(int count)
{
    QSet<QString> taken;
    for (int i = 0; i < count; ++i) {
        QString candidate = QStringLiteral("Trip.jpg");
        for (uint k = 1; taken.contains(candidate.toCaseFolded()); ++k)
            candidate = fitUtf8(QStringLiteral("Trip"), QStringLiteral("(%1).jpg").arg(k))
                        + QStringLiteral("(%1).jpg").arg(k);
        taken.insert(candidate.toCaseFolded());
    }
}

void engineNamesAlbums(int count)
{
    AlbumList albums;
    AlbumRecord record;
    record.name = QStringLiteral("相册");
    for (int i = 0; i < count; ++i)
        albums.appendUnique(record);
}

void restartingCounterNamesAlbums(int count)
{
    QSet<QString> names;
    for (int i = 0; i < count; ++i) {
        QString name = QStringLiteral("相册");
        for (uint k = 1; names.contains(name); ++k)
            name = QStringLiteral("相册 (%1)").arg(k);
        names.insert(name);
    }
}

}  // namespace

}  // namespace pictrove

int main(int argc, char *argv[])
{
    using namespace pictrove;
    QList<int> counts = {5000, 20000};
    if (argc > 1) {
        counts.clear();
        for (const QString &part : QString::fromLocal8Bit(argv[1]).split(QLatin1Char(',')))
            counts.append(part.toInt());
    }
    std::printf("%-10s %8s %12s %12s %8s\n", "what", "count", "engine s", "restart s", "ratio");
    for (const int count : counts) {
        const double pictures = secondsFor([count] { engineNamesPictures(count); });
        const double picturesBefore = secondsFor([count] { restartingCounterNamesPictures(count); });
        std::printf("%-10s %8d %12.3f %12.3f %8.0f\n", "pictures", count, pictures, picturesBefore,
                    picturesBefore / pictures);
        const double albums = secondsFor([count] { engineNamesAlbums(count); });
        const double albumsBefore = secondsFor([count] { restartingCounterNamesAlbums(count); });
        std::printf("%-10s %8d %12.3f %12.3f %8.0f\n", "albums", count, albums, albumsBefore, albumsBefore / albums);
    }
    return 0;
}
