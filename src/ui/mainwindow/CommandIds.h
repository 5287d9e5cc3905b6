#pragma once
// Command ids of the window menu and of the 关于 entry. The menu bar names each
// action "cmd<id>" (MainMenu.h); MenuCommands.h wires the ids to what they do.

#include <cstdint>

namespace pictrove {

enum MenuCommand : int {
    kCommandAbout = 16,  // 关于, the stand-in for the system-menu entry

    kCommandLoginMode1 = 32796,
    kCommandLoginQqZone = 32781,
    kCommandLoginTencentWeibo = 32782,
    kCommandLoginBaidu = 32789,
    kCommandLoginNetEase = 32790,
    kCommandLoginRenren = 32791,
    kCommandLoginYupoo = 32792,
    kCommandLoginMoko = 32793,
    kCommandLoginSinaWeibo = 32794,
    kCommandLoginTaobao = 32803,
    kCommandLoginSite56 = 32813,
    kCommandLoginHupu = 32815,
    kCommandLoginCustom = 32795,
    kCommandLoginWeiboScan = 32832,  // 扫码登录微博

    kCommandDownloadSettings = 32778,
    kCommandNameSettings = 32779,

    kCommandImportAndDownload = 32811,
    kCommandExportDownloadFile = 32809,
    kCommandExportThunderList = 32810,

    kCommandFileProcessing = 32807,
    kCommandManual = 32806,
    kCommandConsultation = 32773,
    kCommandFeedback = 32772,
    kCommandVersionInfo = 32775,

    // The check-mark options of <设置>, one per bit of NameRules::options.
    kCommandSkipPrevious = 32774,             // 不下载以前下载过的图片
    kCommandYupooLarge = 32776,               // 又拍相册下载大图
    kCommandFixOrder = 32799,                 // 修正图片顺序
    kCommandFixFormat = 32800,                // 修正图片格式
    kCommandThunderListOnly = 32802,          // 只生成迅雷下载列表
    kCommandTitleFile = 32804,                // 生成图片原始名文件
    kCommandShopMainPictures = 32808,         // 只下载宝贝(商品)主图
    kCommandOpenFolder = 32812,               // 下载完成后打开保存路径
    kCommandShopDescriptionPictures = 32814,  // 只下载宝贝(商品)描述里的图片

    // A check-mark entry of <设置> that is no option bit: it lives in the window for
    // one download and is never saved, so "soft.dat" keeps its size and layout.
    kCommandNoArchiveOnce = 32830,  // 下次下载不使用下载存档

    kCommandUpdate = 32831,  // 更新: the owner listed again, only what is new in its archived albums downloaded
};

// The option bit (settings/MenuOptions.h) a command stands for; 0 for a command that
// is no option.
uint16_t optionBit(int command);

}  // namespace pictrove
