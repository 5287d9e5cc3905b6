#include "settings/SettingsStore.h"

#include "net/AtomicFile.h"
#include "settings/SettingsImage.h"
#include "settings/SourceType.h"

#include <QFile>

#include <cstdio>

namespace pictrove {

namespace {

constexpr uint16_t kDefaultThreads = 5;
constexpr uint16_t kDefaultTimeoutSeconds = 30;

QString settingsPath(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("soft.dat");
}

SettingsLoadStatus readRecord(const QString &path, SettingsBlock &block)
{
    QFile file(path);
    if (!file.exists())
        return kSettingsMissing;
    if (!file.open(QIODevice::ReadOnly))
        return kSettingsUnreadable;
    // One byte more than the record tells a larger file without trusting its size
    // (a device or a pipe has none).
    const QByteArray bytes = file.read(kSettingsBlockSize + 1);
    if (file.error() != QFileDevice::NoError)
        return kSettingsUnreadable;
    if (bytes.size() > kSettingsBlockSize)
        return kSettingsTooLarge;
    // A zero-length file is what an interrupted in-place write leaves behind; it holds
    // no settings, so it starts the program like a missing one.
    if (bytes.isEmpty())
        return kSettingsEmpty;
    block = fromSettingsImage(bytes);
    return bytes.size() < kSettingsBlockSize ? kSettingsReadShort : kSettingsRead;
}

// The options a source type starts with before the user has changed anything.
void applyFirstStart(SourceType type, NameRules &rules)
{
    rules.options |= kOptionOpenFolder;
    switch (type) {
    case SourceType::Yupoo: rules.options |= kOptionYupooLarge | kOptionFixOrder; break;
    case SourceType::Shops:
    case SourceType::Jd: rules.options |= kOptionFixOrder; break;
    case SourceType::Site51: rules.fileBase = kFileBaseSequence; break;
    case SourceType::Instagram: rules.filePrefix = QStringLiteral("?2) "); break;
    default: break;
    }
}

}  // namespace

SettingsLoadResult loadSettings(const QString &dataFolder, SettingsBlock &block)
{
    block = SettingsBlock();
    SettingsLoadResult result;
    result.status = readRecord(settingsPath(dataFolder), block);
    if (result.status == kSettingsTooLarge) {
        // rename(2), unlike QFile::rename, replaces an older "soft.dat.bad".
        const QString aside = settingsPath(dataFolder) + QStringLiteral(".bad");
        if (std::rename(QFile::encodeName(settingsPath(dataFolder)).constData(), QFile::encodeName(aside).constData()) == 0)
            result.setAside = aside;
    }
    const bool fileRead = result.status == kSettingsRead || result.status == kSettingsReadShort;

    for (int i = 0; i < kSourceTypeRecordCount; ++i) {
        DownloadParams &params = block.downloadParams[i];
        if (params.threads == 0 || params.threads > kMaxThreads)
            params.threads = kDefaultThreads;
        if (params.timeoutSeconds < kMinTimeoutSeconds)
            params.timeoutSeconds = kDefaultTimeoutSeconds;
        if (!fileRead)
            applyFirstStart(SourceType(i), block.nameRules[i]);
    }
    result.saved = saveSettings(dataFolder, block);
    return result;
}

bool saveSettings(const QString &dataFolder, const SettingsBlock &block)
{
    // Truncating "soft.dat" and writing it in place, as the record was once stored,
    // loses every setting when the disk fills or the program dies in between.
    return writeFileAtomically(settingsPath(dataFolder), toSettingsImage(block));
}

}  // namespace pictrove
