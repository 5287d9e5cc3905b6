#pragma once
// Values of the hand-edited, read-only "下载器扩展设置.ini" in the data folder that tune
// single services. Read afresh at the start of every list fetch and every download,
// so edits to the file apply without a restart.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace pictrove {

struct ExtensionSettings {
    // getText charset flags for QQ Zone pages: 0 local ANSI, kTextUtf8, kTextBig5, kTextAuto.
    uint8_t qzoneV2Charset = 0;  // [QQ空间] V2编码
    uint8_t qzoneV3Charset = 0;  // [QQ空间] V3编码
    uint8_t qzoneNameMethod = 1;  // [QQ空间] 取原始名方式
    uint8_t taobaoPriceInName = 0;  // [淘宝] 图片名中是否有价格, 0 or 1
    int32_t taobaoPriceAdjust = 0;  // [淘宝] 价格增减
    uint8_t instagramMode = 1;  // [Instagram] 图片获取方式
    uint8_t jdMode = 1;  // [京东] 图片获取方式
    // [来源配置] 地址: the configuration service's endpoints, asked in this order;
    // "|" separates them. None: the program asks no service (docs/config-service.md).
    QStringList configEndpoints;
    // [新浪微博] 翻页间隔: milliseconds at least between two pages of one Weibo listing;
    // the service refuses owners asked too fast.
    int32_t weiboPageIntervalMs = 1000;  // at most 60000

    bool operator==(const ExtensionSettings &) const = default;
};

// The values from `dataFolder` + "下载器扩展设置.ini"; the defaults above when the file
// is missing, and per key when the key is missing. `dataFolder` ends in "/".
ExtensionSettings readExtensionSettings(const QString &dataFolder);

}  // namespace pictrove
