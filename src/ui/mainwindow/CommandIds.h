#pragma once
// Command ids of the window menu and of the 关于 entry. The menu bar names each
// action "cmd<id>" (MainMenu.h); MenuCommands.h wires the ids to what they do.

#include <cstdint>

namespace pictrove {

enum MenuCommand : int {
    ID_ABOUT_ENTRY = 16,  // 关于, the stand-in for the system-menu entry

    ID_LOGIN_MODE1 = 32796,
    ID_LOGIN_QZONE = 32781,
    ID_LOGIN_TENCENT_WEIBO = 32782,
    ID_LOGIN_BAIDU = 32789,
    ID_LOGIN_NETEASE = 32790,
    ID_LOGIN_RENREN = 32791,
    ID_LOGIN_YUPOO = 32792,
    ID_LOGIN_MOKO = 32793,
    ID_LOGIN_SINA_WEIBO = 32794,
    ID_LOGIN_TAOBAO = 32803,
    ID_LOGIN_56 = 32813,
    ID_LOGIN_HUPU = 32815,
    ID_LOGIN_CUSTOM = 32795,

    ID_DOWNLOAD_SETTINGS = 32778,
    ID_NAME_SETTINGS = 32779,

    ID_IMPORT_AND_DOWNLOAD = 32811,
    ID_EXPORT_DOWNLOAD_FILE = 32809,
    ID_EXPORT_THUNDER_LIST = 32810,

    ID_FILE_PROCESSING = 32807,
    ID_MANUAL = 32806,
    ID_CONSULTATION = 32773,
    ID_FEEDBACK = 32772,
    ID_VERSION_INFO = 32775,

    // The check-mark options of <设置>, one per bit of NameRules::options.
    ID_SKIP_PREVIOUS = 32774,              // 不下载以前下载过的图片
    ID_YUPOO_LARGE = 32776,                // 又拍相册下载大图
    ID_FIX_ORDER = 32799,                  // 修正图片顺序
    ID_FIX_FORMAT = 32800,                 // 修正图片格式
    ID_THUNDER_LIST_ONLY = 32802,          // 只生成迅雷下载列表
    ID_TITLE_FILE = 32804,                 // 生成图片原始名文件
    ID_SHOP_MAIN_PICTURES = 32808,         // 只下载宝贝(商品)主图
    ID_OPEN_FOLDER = 32812,                // 下载完成后打开保存路径
    ID_SHOP_DESCRIPTION_PICTURES = 32814,  // 只下载宝贝(商品)描述里的图片
};

// The option bit (settings/MenuOptions.h) a command stands for; 0 for a command that
// is no option.
uint16_t optionBit(int command);

}  // namespace pictrove
