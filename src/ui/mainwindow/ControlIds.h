#pragma once

namespace pictrove {

// Ids of the main window's controls. Every widget carries the matching objectName
// ("ctl1004"), so the window's own code and its tests find controls by id.

enum ControlId : int {
    kControlSavePath = 1000,      // save-path history combo
    kControlOwnerAddress = 1001,  // owner-address history combo
    kControlSourceType = 1002,    // source-type selector
    kControlAlbumGrid = 1003,
    kControlGetList = 1004,       // 获取相册 / 终止获取
    kControlDownload = 1005,      // 下载 / 终止下载
    kControlStatusDetail = 1006,  // second status line: progress detail
    kControlSetPath = 1007,
    kControlOpenPath = 1008,
    kControlStatus = 1009,        // first status line: short state
    kControlListFrame = 1011,     // group box around the grid
    kControlSelectAll = 1012,
    kControlBanner = 1013,
    kControlThumbnails = 1014,
    kControlPraiseLink1 = 1027,   // hidden links, only enabled and disabled
    kControlPraiseLink2 = 1028,
    kControlPraiseLink3 = 1029,
    kControlUpdateLink = 1030,
    kControlNotice = 1031,
    kControlHomeLink = 1032,
    kControlFind = 1034,
    kControlSubType = 1035,
    kControlFilter = 1036,
    kControlExport = 1037,
    kControlProgress = 1040,      // the download's progress bar, shown while it runs
    kControlFailedList = 1041,    // 失败列表: shown when the last download missed pictures
    kControlUpdate = 1042,        // 更新: list the owner again, download what is new in its archived albums
    kControlWeiboLogin = 1043,    // who is logged in to Weibo (WeiboLoginLabel)
};

}  // namespace pictrove
