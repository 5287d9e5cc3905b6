#include "settings/PostRecordOptions.h"

#include "net/AtomicFile.h"
#include "settings/IniReader.h"

#include <QFileInfo>

namespace pictrove {

namespace {

const QString kSection = QStringLiteral("post");
const QString kFileTimeKey = QStringLiteral("file_time_from_post");
const QString kSidecarKey = QStringLiteral("sidecar");

QString pathIn(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("post.ini");
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

PostRecordOptions readPostRecordOptions(const QString &dataFolder)
{
    PostRecordOptions options;
    const QString path = pathIn(dataFolder);
    if (dataFolder.isEmpty() || !QFileInfo::exists(path))
        return options;
    const IniReader ini(path);
    options.postTimeAsFileTime = ini.GetInt(kSection, kFileTimeKey, options.postTimeAsFileTime ? 1 : 0) != 0;
    options.sidecar = ini.GetInt(kSection, kSidecarKey, options.sidecar ? 1 : 0) != 0;
    return options;
}

bool savePostRecordOptions(const QString &dataFolder, const PostRecordOptions &options)
{
    const QString text = QStringLiteral("[%1]\n%2=%3\n%4=%5\n")
                             .arg(kSection, kFileTimeKey, flag(options.postTimeAsFileTime), kSidecarKey,
                                  flag(options.sidecar));
    return writeFileAtomically(pathIn(dataFolder), text.toUtf8());
}

}  // namespace pictrove
