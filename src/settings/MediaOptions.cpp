#include "settings/MediaOptions.h"

#include "net/AtomicFile.h"
#include "settings/IniReader.h"

#include <QFileInfo>

namespace pictrove {

namespace {

const QString kSection = QStringLiteral("media");
const QString kLiveMotionKey = QStringLiteral("live_motion");
const QString kVideosKey = QStringLiteral("videos");

QString pathIn(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("media.ini");
}

}  // namespace

MediaOptions readMediaOptions(const QString &dataFolder)
{
    MediaOptions options;
    const QString path = pathIn(dataFolder);
    if (dataFolder.isEmpty() || !QFileInfo::exists(path))
        return options;
    const IniReader ini(path);
    options.liveMotion = ini.GetInt(kSection, kLiveMotionKey, 1) != 0;
    options.videos = ini.GetInt(kSection, kVideosKey, 1) != 0;
    return options;
}

bool saveMediaOptions(const QString &dataFolder, const MediaOptions &options)
{
    const QString text = QStringLiteral("[%1]\n%2=%3\n%4=%5\n")
                             .arg(kSection, kLiveMotionKey, options.liveMotion ? QStringLiteral("1") : QStringLiteral("0"),
                                  kVideosKey, options.videos ? QStringLiteral("1") : QStringLiteral("0"));
    return writeFileAtomically(pathIn(dataFolder), text.toUtf8());
}

}  // namespace pictrove
