#pragma once
// The check-mark options of the settings menu (<设置>): which command flips which bit
// of the current source type's NameRules::options, which options exclude each
// other, and for which source types an option is offered at all. The window's menu
// asks these whenever a pop-up opens and after every toggle saves the settings.

#include "settings/SettingsBlock.h"
#include "settings/SourceType.h"

namespace pictrove {

// Command ids of the option entries.
enum OptionCommand : int {
    ID_SKIP_PREVIOUS = 32774,          // 不下载以前下载过的图片
    ID_YUPOO_LARGE = 32776,            // 又拍相册下载大图
    ID_FIX_ORDER = 32799,              // 修正图片顺序
    ID_FIX_FORMAT = 32800,             // 修正图片格式
    ID_THUNDER_LIST_ONLY = 32802,      // 只生成迅雷下载列表
    ID_TITLE_FILE = 32804,             // 生成图片原始名文件
    ID_SHOP_MAIN_PICTURES = 32808,     // 只下载宝贝(商品)主图
    ID_OPEN_FOLDER = 32812,            // 下载完成后打开保存路径
    ID_SHOP_DESCRIPTION_PICTURES = 32814,  // 只下载宝贝(商品)描述里的图片
};


// The bit a command stands for; 0 for a command that is not an option.
uint16_t optionBit(int command);

// Whether the command's entry carries a check mark for these rules.
bool optionChecked(const NameRules &rules, int command);

// Flips the command's bit. The two shop options exclude each other: ticking one
// clears the other. False (nothing changes) for a command that is not an option.
bool toggleOption(NameRules &rules, int command);

// Whether the entry is offered for this source type: the Yupoo option only for
// Yupoo, the shop options only for the shops and JD; every other option always.
bool optionEnabled(int command, SourceType type);

}  // namespace pictrove
