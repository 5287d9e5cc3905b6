#include "settings/MediaOptions.h"

#include "settings/FlagFile.h"

namespace pictrove {

namespace {

const QString kSection = QStringLiteral("media");
const QString kLiveMotionKey = QStringLiteral("live_motion");
const QString kVideosKey = QStringLiteral("videos");

QString pathIn(const QString &dataFolder) {
  return dataFolder + QStringLiteral("media.ini");
}

} // namespace

MediaOptions readMediaOptions(const QString &dataFolder) {
  MediaOptions options;
  if (!dataFolder.isEmpty())
    readFlagFile(
        pathIn(dataFolder), kSection,
        {{kLiveMotionKey, &options.liveMotion}, {kVideosKey, &options.videos}});
  return options;
}

bool saveMediaOptions(const QString &dataFolder, const MediaOptions &options) {
  return writeFlagFile(
      pathIn(dataFolder), kSection,
      {{kLiveMotionKey, options.liveMotion}, {kVideosKey, options.videos}});
}

} // namespace pictrove
