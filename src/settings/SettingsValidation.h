#pragma once
// What the two settings dialogs (下载参数设置, 文件名设置) do with the user's input,
// without the widgets: reading the number fields, the validity rule, the 16-bit and
// 38-character cuts, and the help text of 前后缀说明. The dialogs call these on OK;
// tests call them directly.

#include "settings/SettingsBlock.h"

#include <QString>

#include <optional>

namespace pictrove {

// The four number fields of the download-parameter dialog, as typed.
struct DownloadParamInput {
    QString threads;
    QString timeout;
    QString minKB;
    QString maxKB;
};

// The message shown when the thread count or the time-out is out of range.
inline constexpr char16_t kInvalidParamsMessage[] = u"参数错误";

// A field as a signed decimal integer: blanks around it and one sign allowed, digits
// only otherwise. Anything else (letters, an empty field, a number beyond 32 bits)
// reads as 0.
int readNumberField(const QString &text);

// The record OK stores: each value cut to 16 bits. Empty when the thread count is
// outside 1..15 or the time-out below 10 seconds (both judged after the cut); the
// caller then says kInvalidParamsMessage and keeps the record as it was.
std::optional<DownloadParams> validateDownloadParams(const DownloadParamInput &input);

// The most a name-rule edit keeps: the stored field holds this many code units plus
// the terminator.
constexpr int kMaxNameInputLength = 38;

// `text` cut to kMaxNameInputLength code units. A cut that would split a surrogate pair
// drops its first half too, so no lone half reaches a file name.
QString cutNameInput(const QString &text);

// The file-name dialog's input as read on OK.
struct NameRuleInput {
    QString filePrefix;
    QString fileSuffix;
    QString find;
    QString replace;
    QString folderPrefix;
    QString folderSuffix;
    int fileBase = kFileBaseDescription;  // checked radio of 描述/序号/网址, -1 none
    int folderBase = kFolderBaseAlbumName;  // checked radio of 相册名/无, -1 none
};

// Stores the input into `rules` (texts cut by cutNameInput). The option bits are left
// alone. A radio group without a checked button, which only a stored value out of
// range leaves behind, stores the group's first choice.
void storeNameRuleInput(NameRules &rules, const NameRuleInput &input);

// The text of the link 前后缀说明: sixteen lines joined by single line feeds.
QString prefixSuffixHelpText();

// The text of the link 发布信息转义: the letter escapes of a picture's post (the date,
// time, ids and number within the post), what an absent value gives, and examples.
QString postEscapeHelpText();

}  // namespace pictrove
