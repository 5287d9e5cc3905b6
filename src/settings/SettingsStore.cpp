#include "settings/SettingsStore.h"

#include "net/AtomicFile.h"
#include "settings/SettingsImage.h"
#include "settings/SourceType.h"

#include <QFile>

#include <cstdio>

namespace pictrove {

namespace {

constexpr uint16_t DEFAULT_THREADS = 5;
constexpr uint16_t DEFAULT_TIMEOUT = 30;  // seconds

QString settingsPath(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("soft.dat");
}

SettingsLoadStatus readRecord(const QString &path, SettingsBlock &block)
{
    QFile file(path);
    if (!file.exists())
        return SETTINGS_MISSING;
    if (!file.open(QIODevice::ReadOnly))
        return SETTINGS_UNREADABLE;
    // One byte more than the record tells a larger file without trusting its size
    // (a device or a pipe has none).
    const QByteArray bytes = file.read(SETTINGS_BLOCK_SIZE + 1);
    if (file.error() != QFileDevice::NoError)
        return SETTINGS_UNREADABLE;
    if (bytes.size() > SETTINGS_BLOCK_SIZE)
        return SETTINGS_TOO_LARGE;
    // A zero-length file is what an interrupted in-place write leaves behind; it holds
    // no settings, so it starts the program like a missing one.
    if (bytes.isEmpty())
        return SETTINGS_EMPTY;
    block = fromSettingsImage(bytes);
    return bytes.size() < SETTINGS_BLOCK_SIZE ? SETTINGS_READ_SHORT : SETTINGS_READ;
}

// The options a source type starts with before the user has changed anything.
void applyFirstStart(SourceType type, NameRules &rules)
{
    rules.options |= OPT_OPEN_FOLDER;
    switch (type) {
    case SourceType::Yupoo: rules.options |= OPT_YUPOO_LARGE | OPT_FIX_ORDER; break;
    case SourceType::Shops:
    case SourceType::Jd: rules.options |= OPT_FIX_ORDER; break;
    case SourceType::Site51: rules.fileBase = FILE_BASE_SEQUENCE; break;
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
    if (result.status == SETTINGS_TOO_LARGE) {
        // rename(2), unlike QFile::rename, replaces an older "soft.dat.bad".
        const QString aside = settingsPath(dataFolder) + QStringLiteral(".bad");
        if (std::rename(QFile::encodeName(settingsPath(dataFolder)).constData(), QFile::encodeName(aside).constData()) == 0)
            result.setAside = aside;
    }
    const bool fileRead = result.status == SETTINGS_READ || result.status == SETTINGS_READ_SHORT;

    for (int i = 0; i < SOURCE_TYPE_COUNT; ++i) {
        DownloadParams &params = block.downloadParams[i];
        if (params.threads == 0 || params.threads > THREADS_MAX)
            params.threads = DEFAULT_THREADS;
        if (params.timeoutSeconds < TIMEOUT_MIN)
            params.timeoutSeconds = DEFAULT_TIMEOUT;
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
