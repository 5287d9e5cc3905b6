#pragma once

namespace pictrove {

// Ids of the main window's controls. Every widget carries the matching objectName
// ("ctl1004"), so the window's own code and its tests find controls by id.

enum ControlId : int {
    IDC_SAVE_PATH = 1000,       // save-path history combo
    IDC_OWNER_ADDRESS = 1001,   // owner-address history combo
    IDC_SOURCE_TYPE = 1002,     // source-type selector
    IDC_ALBUM_GRID = 1003,
    IDC_GET_LIST = 1004,        // 获取相册 / 终止获取
    IDC_DOWNLOAD = 1005,        // 下载 / 终止下载
    IDC_STATUS_DETAIL = 1006,   // second status line: progress detail
    IDC_SET_PATH = 1007,
    IDC_OPEN_PATH = 1008,
    IDC_STATUS = 1009,          // first status line: short state
    IDC_LIST_FRAME = 1011,      // group box around the grid
    IDC_SELECT_ALL = 1012,
    IDC_BANNER = 1013,
    IDC_THUMBNAILS = 1014,
    IDC_PRAISE_LINK1 = 1027,    // hidden links, only enabled and disabled
    IDC_PRAISE_LINK2 = 1028,
    IDC_PRAISE_LINK3 = 1029,
    IDC_UPDATE_LINK = 1030,
    IDC_NOTICE = 1031,
    IDC_HOME_LINK = 1032,
    IDC_FIND = 1034,
    IDC_SUB_TYPE = 1035,
    IDC_FILTER = 1036,
    IDC_EXPORT = 1037,
    IDC_PROGRESS = 1040,        // the download's progress bar, shown while it runs
    IDC_FAILED_LIST = 1041,     // 失败列表: shown when the last download missed pictures
};

}  // namespace pictrove
