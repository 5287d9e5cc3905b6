#include "settings/ExtensionSettings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <ostream>

namespace pictrove {

void PrintTo(const ExtensionSettings &v, std::ostream *os)
{
    *os << "{v2 " << int(v.qzoneV2Charset) << ", v3 " << int(v.qzoneV3Charset) << ", name "
        << int(v.qzoneNameMethod) << ", price " << int(v.taobaoPriceInName) << ", adjust "
        << v.taobaoPriceAdjust << ", instagram " << int(v.instagramMode) << ", jd " << int(v.jdMode) << ", endpoints "
        << v.configEndpoints.join(QLatin1Char(' ')).toStdString() << ", weibo interval " << v.weiboPageIntervalMs << "}";
}

namespace {

ExtensionSettings make(uint8_t v2, uint8_t v3, uint8_t name, uint8_t price, int32_t adjust, uint8_t instagram,
                       uint8_t jd)
{
    return ExtensionSettings{v2, v3, name, price, adjust, instagram, jd, {}, 1000};
}

}  // namespace

TEST(readExtensionSettings, ConvertsEachKey)
{
    struct Case {
        const char *name;
        QString ini;
        ExtensionSettings expected;
    };
    const Case cases[] = {
        {"every key set",
         QStringLiteral("[QQ空间]\nV2编码=UTF8-BOM\nV3编码=BIG5\n取原始名方式=3\n"
                        "[淘宝]\n图片名中是否有价格=有价格\n价格增减=-15\n"
                        "[Instagram]\n图片获取方式=2\n[京东]\n图片获取方式=0\n"),
         make(2, 8, 3, 1, -15, 2, 0)},
        {"prefixes are case-sensitive",
         QStringLiteral("[QQ空间]\nV2编码=utf8\nV3编码=AUTO detect\n[淘宝]\n图片名中是否有价格=无\n"),
         make(0, 16, 1, 0, 0, 1, 1)},
        {"ANSI and unknown charsets",
         QStringLiteral("[QQ空间]\nV2编码=ANSI\nV3编码=GBK\n[淘宝]\n图片名中是否有价格= 有\n"),
         make(0, 0, 1, 1, 0, 1, 1)},
        {"empty and non-numeric values",
         QStringLiteral("[QQ空间]\n取原始名方式=\n[淘宝]\n价格增减=abc\n[Instagram]\n图片获取方式=\n"
                        "[京东]\n图片获取方式=x\n"),
         make(0, 0, 1, 0, 0, 1, 0)},
        {"empty price adjustment and one-byte fields",
         QStringLiteral("[淘宝]\n价格增减=\n[QQ空间]\n取原始名方式=258\n[京东]\n图片获取方式=255\n"),
         make(0, 0, 2, 0, 0, 1, 255)},
        {"empty file", QString(), ExtensionSettings()},
        {"configuration endpoints, blanks and empty items dropped",
         QStringLiteral("[来源配置]\n地址= https://a.example/sources.txt || https://b.example/cgi?app=x |  \n"),
         [] {
             ExtensionSettings v;
             v.configEndpoints = {QStringLiteral("https://a.example/sources.txt"),
                                  QStringLiteral("https://b.example/cgi?app=x")};
             return v;
         }()},
        {"Weibo page interval, bounded to a minute",
         QStringLiteral("[新浪微博]\n翻页间隔=250000\n"),
         [] {
             ExtensionSettings v;
             v.weiboPageIntervalMs = 60000;
             return v;
         }()},
        {"Weibo page interval off", QStringLiteral("[新浪微博]\n翻页间隔=0\n"), [] {
             ExtensionSettings v;
             v.weiboPageIntervalMs = 0;
             return v;
         }()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("下载器扩展设置.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.ini.toUtf8());
        file.close();
        EXPECT_EQ(readExtensionSettings(dir.path() + u'/'), c.expected);
    }
}

TEST(readExtensionSettings, MissingFileGivesDefaults)
{
    QTemporaryDir dir;
    EXPECT_EQ(readExtensionSettings(dir.path() + u'/'), make(0, 0, 1, 0, 0, 1, 1));
    EXPECT_EQ(readExtensionSettings(dir.path() + QStringLiteral("/absent/")), ExtensionSettings());
}

}  // namespace pictrove
