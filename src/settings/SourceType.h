#pragma once

namespace pictrove {

// The services of the source-type selector, in selector order. The settings keep one
// record per source type at these positions, so the order is part of "soft.dat".
// Albums are listed and downloaded through the Sina sources only; the other entries
// exist for address recognition, their login pages and their settings.

enum class SourceType : int {
    QqZone = 0,
    Baidu,
    NetEase,
    Renren,
    Sina,
    Site56,
    Poco,
    Yupoo,
    Site51,
    Zol,
    PcHome,
    Shops,  // Taobao, Tmall, 1688
    Moko,
    Babytree,
    PcOnline,
    Hupu,
    Jd,
    Instagram,
    Huaban,
    Lofter,
    Topit,
};

// The position of a source type's records in the settings.
constexpr int settingsIndex(SourceType type)
{
    return int(type);
}

}  // namespace pictrove
