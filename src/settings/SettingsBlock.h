#pragma once
// Everything the program remembers between runs: per source type the download
// parameters, the file-name rules and the option bits, plus the owner-address and
// save-path histories. A plain value; SettingsImage.h turns it into the raw
// "soft.dat" record and back, SettingsStore.h loads and saves it.


#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace pictrove {

constexpr int kSourceTypeRecordCount = 24;  // records per source type kept, indexed by settingsIndex(SourceType)
constexpr int kHistoryCount = 5;            // entries per history, entry 0 newest
constexpr int kHistoryLength = 400;         // code units per stored history entry, terminator included
constexpr int kNameFieldLength = 40;        // code units per stored name-rule text, terminator included
constexpr int kSettingsBlockSize = 19808;
constexpr int kMaxThreads = 15;
constexpr int kMinTimeoutSeconds = 10;

// Check-mark options, one word per source type (NameRules::options).
enum OptionFlags : uint16_t {
    kOptionFixFormat = 0x0001,                // 修正图片格式
    kOptionFixOrder = 0x0002,                 // 修正图片顺序
    kOptionTitleFile = 0x0004,                // 生成图片原始名文件
    kOptionThunderListOnly = 0x0008,          // 只生成迅雷下载列表
    kOptionOpenFolder = 0x0010,               // 下载完成后打开保存路径
    kOptionShopMainPictures = 0x0020,         // 只下载宝贝(商品)主图; never together with 0x0100
    kOptionSkipPrevious = 0x0040,             // 不下载以前下载过的图片
    kOptionYupooLarge = 0x0080,               // 又拍相册下载大图
    kOptionShopDescriptionPictures = 0x0100,  // 只下载宝贝(商品)描述里的图片
};

// NameRules::fileBase
constexpr uint8_t kFileBaseDescription = 0;
constexpr uint8_t kFileBaseSequence = 1;
constexpr uint8_t kFileBaseAddress = 2;
// NameRules::folderBase
constexpr uint8_t kFolderBaseAlbumName = 0;
constexpr uint8_t kFolderBaseNone = 1;

struct DownloadParams {
    uint16_t minKB = 0;    // smallest picture to keep
    uint16_t maxKB = 0;    // largest picture to keep, 0 = no limit
    uint16_t threads = 0;  // parallel workers, 1..kMaxThreads after loading
    uint16_t timeoutSeconds = 0;  // network time-out in seconds, >= kMinTimeoutSeconds after loading

    bool operator==(const DownloadParams &) const = default;
};

// The texts are stored in kNameFieldLength code units with a terminator, so at most
// kNameFieldLength - 1 of them survive a save; the settings dialog cuts input shorter.
struct NameRules {
    QString filePrefix;
    QString fileSuffix;
    QString findText;       // text to find in the file name
    QString replaceText;    // its replacement (替换为)
    QString folderPrefix;
    QString folderSuffix;
    uint16_t options = 0;  // OptionFlags bits
    uint8_t fileBase = kFileBaseDescription;
    uint8_t folderBase = kFolderBaseAlbumName;

    bool operator==(const NameRules &) const = default;
};

enum HistoryKind : int { kHistoryOwner = 0, kHistorySavePath = 1 };

struct SettingsBlock {
    std::array<DownloadParams, kSourceTypeRecordCount> downloadParams;
    std::array<NameRules, kSourceTypeRecordCount> nameRules;
    // Entry 0 newest; an empty entry is an unused slot.
    std::array<QString, kHistoryCount> ownerHistory;
    std::array<QString, kHistoryCount> savePathHistory;

    bool operator==(const SettingsBlock &) const = default;
};

// Puts `text` first in the history of `kind` (HistoryKind), dropping the oldest entry.
// Refused (false, nothing changes) for an unknown kind, an empty text, a text of
// kHistoryLength or more code units, or one equal to an entry ignoring letter case.
// On true the caller adds the text to the combo box's list and saves the settings.
bool addHistory(SettingsBlock &block, int kind, const QString &text);

// The non-empty entries of a history, newest first: the items of its combo box.
QStringList historyEntries(const SettingsBlock &block, int kind);

}  // namespace pictrove
