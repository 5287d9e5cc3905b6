#include "settings/ExtensionSettings.h"

#include "settings/IniReader.h"
#include "net/PageText.h"

#include <QFileInfo>

#include <algorithm>

namespace pictrove {

namespace {

// Prefix tests, case-sensitive: "UTF8-BOM" is UTF-8, "utf8" is not.
uint8_t charsetOf(const QString &value)
{
    if (value.startsWith(QStringLiteral("UTF8")))
        return kTextUtf8;
    if (value.startsWith(QStringLiteral("AUTO")))
        return kTextAuto;
    if (value.startsWith(QStringLiteral("BIG5")))
        return kTextBig5;
    return 0;  // "ANSI" and anything else: the local code page
}

}  // namespace

ExtensionSettings readExtensionSettings(const QString &dataFolder)
{
    ExtensionSettings values;
    const QString path = dataFolder + QStringLiteral("下载器扩展设置.ini");
    if (!QFileInfo::exists(path))
        return values;

    const IniReader ini(path);
    const QString qzone = QStringLiteral("QQ空间");
    const QString taobao = QStringLiteral("淘宝");
    const QString fetchMode = QStringLiteral("图片获取方式");
    values.qzoneV2Charset = charsetOf(ini.getString(qzone, QStringLiteral("V2编码"), QStringLiteral("ANSI")));
    values.qzoneV3Charset = charsetOf(ini.getString(qzone, QStringLiteral("V3编码"), QStringLiteral("ANSI")));
    values.qzoneNameMethod = uint8_t(ini.GetInt(qzone, QStringLiteral("取原始名方式"), 1));
    values.taobaoPriceInName =
        ini.getString(taobao, QStringLiteral("图片名中是否有价格"), QStringLiteral("无")).startsWith(u'有') ? 1 : 0;
    values.taobaoPriceAdjust = int32_t(ini.GetInt(taobao, QStringLiteral("价格增减"), 0));
    values.instagramMode = uint8_t(ini.GetInt(QStringLiteral("Instagram"), fetchMode, 1));
    values.jdMode = uint8_t(ini.GetInt(QStringLiteral("京东"), fetchMode, 1));
    values.weiboPageIntervalMs = int32_t(
        std::min<uint32_t>(ini.GetInt(QStringLiteral("新浪微博"), QStringLiteral("翻页间隔"), 1000), 60000));
    const QString endpoints = ini.getString(QStringLiteral("来源配置"), QStringLiteral("地址"), QString());
    for (const QString &endpoint : endpoints.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        if (!endpoint.trimmed().isEmpty())
            values.configEndpoints.append(endpoint.trimmed());
    }
    return values;
}

}  // namespace pictrove
