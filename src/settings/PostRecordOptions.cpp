#include "settings/PostRecordOptions.h"

#include "settings/FlagFile.h"

namespace pictrove {

namespace {

const QString kSection = QStringLiteral("post");
const QString kFileTimeKey = QStringLiteral("file_time_from_post");
const QString kSidecarKey = QStringLiteral("sidecar");

QString pathIn(const QString &dataFolder) {
  return dataFolder + QStringLiteral("post.ini");
}

} // namespace

PostRecordOptions readPostRecordOptions(const QString &dataFolder) {
  PostRecordOptions options;
  if (!dataFolder.isEmpty())
    readFlagFile(pathIn(dataFolder), kSection,
                 {{kFileTimeKey, &options.postTimeAsFileTime},
                  {kSidecarKey, &options.sidecar}});
  return options;
}

bool savePostRecordOptions(const QString &dataFolder,
                           const PostRecordOptions &options) {
  return writeFlagFile(pathIn(dataFolder), kSection,
                       {{kFileTimeKey, options.postTimeAsFileTime},
                        {kSidecarKey, options.sidecar}});
}

} // namespace pictrove
