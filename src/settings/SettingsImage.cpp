#include "settings/SettingsImage.h"

#include <QtEndian>

#include <algorithm>

namespace pictrove {

namespace {

// Offsets inside one NameRules record.
constexpr int kFilePrefixOffset = 0;
constexpr int kFileSuffixOffset = 80;
constexpr int kFindTextOffset = 160;
constexpr int kReplaceTextOffset = 240;
constexpr int kFolderPrefixOffset = 320;
constexpr int kFolderSuffixOffset = 400;
constexpr int kOptionFlagsOffset = 480;
constexpr int kFileBaseOffset = 482;
constexpr int kFolderBaseOffset = 483;

static_assert(kNameRulesOffset == kDownloadParamsOffset + kSourceTypeRecordCount * kDownloadParamsSize);
static_assert(kOwnerHistoryOffset == kNameRulesOffset + kSourceTypeRecordCount * kNameRulesSize);
static_assert(kSavePathHistoryOffset == kOwnerHistoryOffset + kHistoryCount * kHistoryLength * 2);
static_assert(kSettingsBlockSize == kSavePathHistoryOffset + kHistoryCount * kHistoryLength * 2);
static_assert(kOptionFlagsOffset == kFolderSuffixOffset + kNameFieldLength * 2);

void putU16(char *at, uint16_t value)
{
    qToLittleEndian<quint16>(value, at);
}

uint16_t getU16(const char *at)
{
    return qFromLittleEndian<quint16>(at);
}

void putText(char *at, int capacity, const QString &text)
{
    qsizetype length = std::min<qsizetype>(text.size(), capacity - 1);
    if (length < text.size() && length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    for (qsizetype i = 0; i < length; ++i)
        putU16(at + 2 * i, text.at(i).unicode());
}

QString storedText(const char *at, int capacity)
{
    QString text;
    for (int i = 0; i < capacity; ++i) {
        const uint16_t unit = getU16(at + 2 * i);
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

}  // namespace

QByteArray toSettingsImage(const SettingsBlock &block)
{
    QByteArray image(kSettingsBlockSize, '\0');
    char *const base = image.data();
    for (int i = 0; i < kSourceTypeRecordCount; ++i) {
        const DownloadParams &params = block.downloadParams[i];
        char *const p = base + kDownloadParamsOffset + i * kDownloadParamsSize;
        putU16(p + 0, params.minKB);
        putU16(p + 2, params.maxKB);
        putU16(p + 4, params.threads);
        putU16(p + 6, params.timeoutSeconds);

        const NameRules &rules = block.nameRules[i];
        char *const r = base + kNameRulesOffset + i * kNameRulesSize;
        putText(r + kFilePrefixOffset, kNameFieldLength, rules.filePrefix);
        putText(r + kFileSuffixOffset, kNameFieldLength, rules.fileSuffix);
        putText(r + kFindTextOffset, kNameFieldLength, rules.findText);
        putText(r + kReplaceTextOffset, kNameFieldLength, rules.replaceText);
        putText(r + kFolderPrefixOffset, kNameFieldLength, rules.folderPrefix);
        putText(r + kFolderSuffixOffset, kNameFieldLength, rules.folderSuffix);
        putU16(r + kOptionFlagsOffset, rules.options);
        r[kFileBaseOffset] = char(rules.fileBase);
        r[kFolderBaseOffset] = char(rules.folderBase);
    }
    for (int k = 0; k < kHistoryCount; ++k) {
        putText(base + kOwnerHistoryOffset + k * kHistoryLength * 2, kHistoryLength, block.ownerHistory[k]);
        putText(base + kSavePathHistoryOffset + k * kHistoryLength * 2, kHistoryLength, block.savePathHistory[k]);
    }
    return image;
}

SettingsBlock fromSettingsImage(const QByteArray &image)
{
    QByteArray record = image.left(kSettingsBlockSize);
    record.append(kSettingsBlockSize - record.size(), '\0');
    const char *const base = record.constData();

    SettingsBlock block;
    for (int i = 0; i < kSourceTypeRecordCount; ++i) {
        DownloadParams &params = block.downloadParams[i];
        const char *const p = base + kDownloadParamsOffset + i * kDownloadParamsSize;
        params.minKB = getU16(p + 0);
        params.maxKB = getU16(p + 2);
        params.threads = getU16(p + 4);
        params.timeoutSeconds = getU16(p + 6);

        NameRules &rules = block.nameRules[i];
        const char *const r = base + kNameRulesOffset + i * kNameRulesSize;
        rules.filePrefix = storedText(r + kFilePrefixOffset, kNameFieldLength);
        rules.fileSuffix = storedText(r + kFileSuffixOffset, kNameFieldLength);
        rules.findText = storedText(r + kFindTextOffset, kNameFieldLength);
        rules.replaceText = storedText(r + kReplaceTextOffset, kNameFieldLength);
        rules.folderPrefix = storedText(r + kFolderPrefixOffset, kNameFieldLength);
        rules.folderSuffix = storedText(r + kFolderSuffixOffset, kNameFieldLength);
        rules.options = getU16(r + kOptionFlagsOffset);
        rules.fileBase = uint8_t(r[kFileBaseOffset]);
        rules.folderBase = uint8_t(r[kFolderBaseOffset]);
    }
    for (int k = 0; k < kHistoryCount; ++k) {
        block.ownerHistory[k] = storedText(base + kOwnerHistoryOffset + k * kHistoryLength * 2, kHistoryLength);
        block.savePathHistory[k] = storedText(base + kSavePathHistoryOffset + k * kHistoryLength * 2, kHistoryLength);
    }
    return block;
}

}  // namespace pictrove
