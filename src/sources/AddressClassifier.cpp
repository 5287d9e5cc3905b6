#include "sources/AddressClassifier.h"

#include <QStringList>

#include <initializer_list>

namespace pictrove {

namespace {

// The host-name fragments of the selector's services, in selector order; the first
// service with a fragment in the address wins, so the broad "qq.com" of QQ Zone also
// takes the Tencent Weibo and QQ group hosts, told apart by the sub-type below.
const struct {
    SourceType type;
    std::initializer_list<const char16_t *> fragments;
} kServices[] = {
    {SourceType::QqZone, {u"qq.com"}},
    {SourceType::Baidu, {u"baidu.com"}},
    {SourceType::NetEase, {u"163.com"}},
    {SourceType::Renren, {u"renren.com"}},
    {SourceType::Sina, {u"sina.com", u"weibo.com", u"weibo.cn"}},
    {SourceType::Site56, {u"56.com"}},
    {SourceType::Poco, {u"poco.cn"}},
    {SourceType::Yupoo, {u"yupoo.com"}},
    {SourceType::Site51, {u"51.com"}},
    {SourceType::Zol, {u"zol.com.cn"}},
    {SourceType::PcHome, {u"pchome.net"}},
    {SourceType::Shops, {u"taobao.com", u"tmall.com", u"1688.com"}},
    {SourceType::Moko, {u"moko.cc"}},
    {SourceType::Babytree, {u"babytree.com"}},
    {SourceType::PcOnline, {u"pconline.com.cn"}},
    {SourceType::Hupu, {u"hupu.com"}},
    {SourceType::Jd, {u"jd.com"}},
    {SourceType::Instagram, {u"instagram.com"}},
    {SourceType::Huaban, {u"huaban.com"}},
    {SourceType::Lofter, {u"lofter.com"}},
    {SourceType::Topit, {u"topit.me"}},
};
constexpr const char16_t *kTencentWeiboFragment = u"t.qq.com";
constexpr const char16_t *kQqGroupFragment = u"qun.qq.com";

// A fragment at the very start is no host: the address begins with its scheme.
bool hasFragment(const QString &address, const char16_t *fragment)
{
    return address.indexOf(QString::fromUtf16(fragment), 1) >= 0;
}

}  // namespace

std::optional<SourceType> sourceTypeForAddress(const QString &address)
{
    if (!address.contains(u"http://") && !address.contains(u"https://"))
        return std::nullopt;
    for (const auto &service : kServices) {
        for (const char16_t *fragment : service.fragments) {
            if (hasFragment(address, fragment))
                return service.type;
        }
    }
    return std::nullopt;
}

std::optional<QqSubType> qqSubTypeForAddress(const QString &address)
{
    if (hasFragment(address, kTencentWeiboFragment))
        return QqSubType::WeiboAlbums;
    if (hasFragment(address, kQqGroupFragment))
        return QqSubType::GroupAlbums;
    return std::nullopt;
}

QStringList qqSubTypeNames()
{
    return {QStringLiteral("QQ空间相册"), QStringLiteral("QQ群相册"), QStringLiteral("腾讯微博相册")};
}

}  // namespace pictrove
