#include "sources/AddressClassifier.h"

#include <QStringList>

#include <initializer_list>

namespace pictrove {

namespace {

// The host-name fragments of the selector's services, in selector order; the first
// service with a fragment in the address wins, so the broad "qq.com" of QQ Zone also
// takes the Tencent Weibo and QQ group hosts, told apart by the sub-type below.
const struct {
    int index;
    std::initializer_list<const char16_t *> fragments;
} kServices[] = {
    {0, {u"qq.com"}},
    {1, {u"baidu.com"}},
    {2, {u"163.com"}},
    {3, {u"renren.com"}},
    {4, {u"sina.com", u"weibo.com", u"weibo.cn"}},
    {5, {u"56.com"}},
    {6, {u"poco.cn"}},
    {7, {u"yupoo.com"}},
    {8, {u"51.com"}},
    {9, {u"zol.com.cn"}},
    {10, {u"pchome.net"}},
    {11, {u"taobao.com", u"tmall.com", u"1688.com"}},
    {12, {u"moko.cc"}},
    {13, {u"babytree.com"}},
    {14, {u"pconline.com.cn"}},
    {15, {u"hupu.com"}},
    {16, {u"jd.com"}},
    {17, {u"instagram.com"}},
    {18, {u"huaban.com"}},
    {19, {u"lofter.com"}},
    {20, {u"topit.me"}},
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
                return SourceType(service.index);
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
