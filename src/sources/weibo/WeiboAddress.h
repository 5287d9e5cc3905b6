#pragma once
// Which Weibo owner an address names, in the forms people copy from a browser today:
// weibo.com/u/UID, weibo.com/UID, weibo.com/UID/profile, weibo.com/p/100505UID,
// weibo.com/p/UID, weibo.com/n/NAME, weibo.com/CUSTOM (also on www.weibo.com),
// m.weibo.cn/u/UID, m.weibo.cn/profile/UID, the container pages m.weibo.cn/p/...UID...
// (230413UID_-_WEIBO_SECOND_PROFILE_WEIBO and the like) and photo.weibo.com/UID/... A pure function of the address:
// a numeric id is taken from the address itself, never from a page, which may show
// the logged-in viewer rather than the owner.

#include <QString>

namespace pictrove {

struct WeiboOwnerRef {
    enum class Kind {
        None,        // not an owner address we can read
        Uid,         // the numeric user id
        ScreenName,  // the nick name (weibo.com/n/NAME)
        Custom,      // a personal address (weibo.com/CUSTOM)
    };
    Kind kind = Kind::None;
    QString value;

    bool operator==(const WeiboOwnerRef &) const = default;
};

WeiboOwnerRef weiboOwnerOfAddress(const QString &address);

// Whether the address is on one of Weibo's hosts (weibo.com, weibo.cn and their
// subdomains).
bool isWeiboAddress(const QString &address);


}  // namespace pictrove
