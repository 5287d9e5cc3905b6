#include "settings/SettingsImage.h"

#include <QtEndian>

#include <algorithm>

namespace pictrove {

namespace {

// Offsets inside one NameRules record.
constexpr int RULE_FILE_PREFIX = 0;
constexpr int RULE_FILE_SUFFIX = 80;
constexpr int RULE_FIND = 160;
constexpr int RULE_REPLACE = 240;
constexpr int RULE_FOLDER_PREFIX = 320;
constexpr int RULE_FOLDER_SUFFIX = 400;
constexpr int RULE_OPTION_FLAGS = 480;
constexpr int RULE_FILE_BASE = 482;
constexpr int RULE_FOLDER_BASE = 483;

static_assert(IMAGE_NAME_RULES == IMAGE_DOWNLOAD_PARAMS + SOURCE_TYPE_COUNT * DOWNLOAD_PARAMS_SIZE);
static_assert(IMAGE_OWNER_HISTORY == IMAGE_NAME_RULES + SOURCE_TYPE_COUNT * NAME_RULES_SIZE);
static_assert(IMAGE_SAVE_PATH_HISTORY == IMAGE_OWNER_HISTORY + HISTORY_COUNT * HISTORY_LENGTH * 2);
static_assert(SETTINGS_BLOCK_SIZE == IMAGE_SAVE_PATH_HISTORY + HISTORY_COUNT * HISTORY_LENGTH * 2);
static_assert(RULE_OPTION_FLAGS == RULE_FOLDER_SUFFIX + NAME_FIELD_LENGTH * 2);

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
    QByteArray image(SETTINGS_BLOCK_SIZE, '\0');
    char *const base = image.data();
    for (int i = 0; i < SOURCE_TYPE_COUNT; ++i) {
        const DownloadParams &params = block.downloadParams[i];
        char *const p = base + IMAGE_DOWNLOAD_PARAMS + i * DOWNLOAD_PARAMS_SIZE;
        putU16(p + 0, params.minKB);
        putU16(p + 2, params.maxKB);
        putU16(p + 4, params.threads);
        putU16(p + 6, params.timeoutSeconds);

        const NameRules &rules = block.nameRules[i];
        char *const r = base + IMAGE_NAME_RULES + i * NAME_RULES_SIZE;
        putText(r + RULE_FILE_PREFIX, NAME_FIELD_LENGTH, rules.filePrefix);
        putText(r + RULE_FILE_SUFFIX, NAME_FIELD_LENGTH, rules.fileSuffix);
        putText(r + RULE_FIND, NAME_FIELD_LENGTH, rules.findText);
        putText(r + RULE_REPLACE, NAME_FIELD_LENGTH, rules.replaceText);
        putText(r + RULE_FOLDER_PREFIX, NAME_FIELD_LENGTH, rules.folderPrefix);
        putText(r + RULE_FOLDER_SUFFIX, NAME_FIELD_LENGTH, rules.folderSuffix);
        putU16(r + RULE_OPTION_FLAGS, rules.options);
        r[RULE_FILE_BASE] = char(rules.fileBase);
        r[RULE_FOLDER_BASE] = char(rules.folderBase);
    }
    for (int k = 0; k < HISTORY_COUNT; ++k) {
        putText(base + IMAGE_OWNER_HISTORY + k * HISTORY_LENGTH * 2, HISTORY_LENGTH, block.ownerHistory[k]);
        putText(base + IMAGE_SAVE_PATH_HISTORY + k * HISTORY_LENGTH * 2, HISTORY_LENGTH, block.savePathHistory[k]);
    }
    return image;
}

SettingsBlock fromSettingsImage(const QByteArray &image)
{
    QByteArray record = image.left(SETTINGS_BLOCK_SIZE);
    record.append(SETTINGS_BLOCK_SIZE - record.size(), '\0');
    const char *const base = record.constData();

    SettingsBlock block;
    for (int i = 0; i < SOURCE_TYPE_COUNT; ++i) {
        DownloadParams &params = block.downloadParams[i];
        const char *const p = base + IMAGE_DOWNLOAD_PARAMS + i * DOWNLOAD_PARAMS_SIZE;
        params.minKB = getU16(p + 0);
        params.maxKB = getU16(p + 2);
        params.threads = getU16(p + 4);
        params.timeoutSeconds = getU16(p + 6);

        NameRules &rules = block.nameRules[i];
        const char *const r = base + IMAGE_NAME_RULES + i * NAME_RULES_SIZE;
        rules.filePrefix = storedText(r + RULE_FILE_PREFIX, NAME_FIELD_LENGTH);
        rules.fileSuffix = storedText(r + RULE_FILE_SUFFIX, NAME_FIELD_LENGTH);
        rules.findText = storedText(r + RULE_FIND, NAME_FIELD_LENGTH);
        rules.replaceText = storedText(r + RULE_REPLACE, NAME_FIELD_LENGTH);
        rules.folderPrefix = storedText(r + RULE_FOLDER_PREFIX, NAME_FIELD_LENGTH);
        rules.folderSuffix = storedText(r + RULE_FOLDER_SUFFIX, NAME_FIELD_LENGTH);
        rules.options = getU16(r + RULE_OPTION_FLAGS);
        rules.fileBase = uint8_t(r[RULE_FILE_BASE]);
        rules.folderBase = uint8_t(r[RULE_FOLDER_BASE]);
    }
    for (int k = 0; k < HISTORY_COUNT; ++k) {
        block.ownerHistory[k] = storedText(base + IMAGE_OWNER_HISTORY + k * HISTORY_LENGTH * 2, HISTORY_LENGTH);
        block.savePathHistory[k] = storedText(base + IMAGE_SAVE_PATH_HISTORY + k * HISTORY_LENGTH * 2, HISTORY_LENGTH);
    }
    return block;
}

}  // namespace pictrove
