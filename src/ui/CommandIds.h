#pragma once
// Command ids of the window menu and of the 关于 entry. The menu bar names each
// action "cmd<id>" (MainMenu.h); MenuCommands.h wires the ids to what they do. The
// option entries' ids live with their bits in settings/MenuOptions.h.

#include "settings/MenuOptions.h"

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
};

}  // namespace pictrove
