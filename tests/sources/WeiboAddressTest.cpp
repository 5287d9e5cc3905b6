// Owner addresses as people copy them today, and the Weibo answers told apart.
#include "support/PrintQt.h"

#include "sources/AddressClassifier.h"
#include "sources/weibo/WeiboAddress.h"
#include "sources/weibo/WeiboApi.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

namespace pictrove {

void PrintTo(const WeiboOwnerRef &ref, std::ostream *os)
{
    *os << int(ref.kind) << " " << ref.value.toStdString();
}

namespace {

using Kind = WeiboOwnerRef::Kind;

TEST(WeiboAddress, EveryFormNamesItsOwner)
{
    const struct {
        const char *address;
        WeiboOwnerRef expected;
    } cases[] = {
        {"https://weibo.com/u/1234567890", {Kind::Uid, "1234567890"}},
        {"https://weibo.com/1234567890", {Kind::Uid, "1234567890"}},
        {"https://www.weibo.com/1234567890?refer_flag=1001030103_", {Kind::Uid, "1234567890"}},
        {"http://weibo.com/p/1005051234567890/photos", {Kind::Uid, "1234567890"}},
        {"https://weibo.com/p/1234561234567890", {Kind::Uid, "1234567890"}},
        {"https://weibo.com/1234567890/profile?topnav=1", {Kind::Uid, "1234567890"}},
        {"https://weibo.com/p/1234567890", {Kind::Uid, "1234567890"}},
        {"https://m.weibo.cn/p/2304131234567890_-_WEIBO_SECOND_PROFILE_WEIBO", {Kind::Uid, "1234567890"}},
        {"https://m.weibo.cn/p/1076031234567890", {Kind::Uid, "1234567890"}},
        {"https://m.weibo.cn/p/1005051234567890?sudaref=1", {Kind::Uid, "1234567890"}},
        {"https://m.weibo.cn/p/index?containerid=2304131234567890_-_WEIBO_SECOND_PROFILE_WEIBO&luicode=10000011",
         {Kind::Uid, "1234567890"}},
        {"https://m.weibo.cn/p/231051_-_followers_-_1234567890", {Kind::Uid, "1234567890"}},
        {"https://m.weibo.cn/u/1234567890?uid=1234567890", {Kind::Uid, "1234567890"}},
        {"https://m.weibo.cn/profile/1234567890", {Kind::Uid, "1234567890"}},
        {"https://photo.weibo.com/1234567890/albums?rd=1", {Kind::Uid, "1234567890"}},
        {"weibo.com/u/1234567890", {Kind::Uid, "1234567890"}},
        {"https://weibo.com/n/%E5%B0%8F%E6%98%8E", {Kind::ScreenName, "小明"}},
        {"https://weibo.com/xiaoming?is_all=1", {Kind::Custom, "xiaoming"}},
        // Not an owner: the site's own pages, other sites, nothing after the host.
        {"https://weibo.com/", {}},
        {"https://weibo.com/u/xiaoming", {}},
        {"https://weibo.com/u/1234567890\n/2", {}},  // a line end is not part of a number
        {"https://weibo.com/login.php", {}},
        {"https://weibo.com/ajax/profile/info?uid=1", {}},
        {"https://m.weibo.cn/status/4900000000000001", {}},
        {"https://m.weibo.cn/p/searchall", {}},
        {"https://weibo.com/p/12345", {}},
        {"https://example.test/1234567890?from=weibo.com", {}},
        {"https://blog.sina.com.cn/u/1234567890", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(weiboOwnerOfAddress(QString::fromUtf8(c.address)), c.expected);
    }
    // The mobile site belongs to the Sina source as well.
    EXPECT_EQ(sourceTypeForAddress(QStringLiteral("https://m.weibo.cn/u/1234567890")),
              sourceTypeForAddress(QStringLiteral("https://weibo.com/u/1234567890")));
}

TEST(WeiboAnswer, LoginPagesRefusalsAndChangesToldApart)
{
    const QString page = QString::fromUtf8(readFixture(QStringLiteral("sources/weibo_login_page.html")));
    const struct {
        const char *what;
        int status;
        QString text;
        WeiboRefusal expected;
    } cases[] = {
        {"photo service album list", 200, QString::fromUtf8(readFixture(QStringLiteral("sources/weibo_albums.json"))),
         WeiboRefusal::None},
        {"web API", 200, QStringLiteral("{\"ok\":1,\"data\":{}}"), WeiboRefusal::None},
        {"login page instead of JSON", 200, page, WeiboRefusal::LoginNeeded},
        {"the newer login page", 200, QStringLiteral("<html><title>登录 - 微博</title></html>"), WeiboRefusal::LoginNeeded},
        {"photo service refuses", 200, QString::fromUtf8(readFixture(QStringLiteral("sources/weibo_photos_refused.json"))),
         WeiboRefusal::LoginNeeded},
        {"web API wants a login", 200, QString::fromUtf8(readFixture(QStringLiteral("sources/weibo_api_login.json"))),
         WeiboRefusal::LoginNeeded},
        {"418", 418, QString(), WeiboRefusal::RateLimited},
        {"432", 432, QStringLiteral("<html></html>"), WeiboRefusal::RateLimited},
        {"too often, in words", 200, QStringLiteral("{\"ok\":0,\"msg\":\"请求过于频繁\"}"), WeiboRefusal::RateLimited},
        {"no such owner", 200, QStringLiteral("{\"ok\":0,\"msg\":\"用户不存在\"}"), WeiboRefusal::NotFound},
        // Today's answers say it in "message", with an error code.
        {"too often, in today's words", 200, QStringLiteral("{\"ok\":0,\"message\":\"请求过于频繁\",\"error_code\":20003}"),
         WeiboRefusal::RateLimited},
        {"no such owner, today", 200, QStringLiteral("{\"ok\":0,\"message\":\"用户不存在\"}"), WeiboRefusal::NotFound},
        {"no such post, by its code", 200, QStringLiteral("{\"ok\":0,\"error_code\":20101}"), WeiboRefusal::NotFound},
        {"a hidden post, today", 200, QStringLiteral("{\"ok\":0,\"message\":\"暂无查看权限\",\"error_code\":20112}"),
         WeiboRefusal::NotPermitted},
        {"a hidden post, in the older words", 200, QStringLiteral("{\"ok\":0,\"msg\":\"微博不存在或暂无查看权限!\"}"),
         WeiboRefusal::NotPermitted},
        {"a login, in words", 200, QStringLiteral("{\"ok\":0,\"message\":\"请先登录\"}"), WeiboRefusal::LoginNeeded},
        {"a good answer with words", 200, QStringLiteral("{\"ok\":1,\"message\":\"登录用户\",\"data\":{}}"),
         WeiboRefusal::None},
        {"busy", 502, QStringLiteral("Bad Gateway"), WeiboRefusal::Unreachable},
        {"no answer", 0, QString(), WeiboRefusal::Unreachable},
        {"HTML of another kind", 200, QStringLiteral("<html><body>维护中</body></html>"), WeiboRefusal::Unexpected},
        {"JSON of another shape", 200, QStringLiteral("{\"status\":\"fine\"}"), WeiboRefusal::Unexpected},
        {"JSON array", 200, QStringLiteral("[1,2]"), WeiboRefusal::Unexpected},
        {"good JSON on an error status", 404, QStringLiteral("{\"ok\":1}"), WeiboRefusal::Unexpected},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readWeiboAnswer(c.status, c.text).refusal, c.expected);
    }
    // The words travel on for the user, from either field.
    EXPECT_EQ(readWeiboAnswer(200, QStringLiteral("{\"ok\":0,\"message\":\"暂无查看权限\"}")).detail,
              QStringLiteral("暂无查看权限"));
    EXPECT_EQ(readWeiboAnswer(200, QStringLiteral("{\"ok\":0,\"msg\":\"用户不存在\"}")).detail, QStringLiteral("用户不存在"));
}

// Listings that share one spacing (a download lists the next album while the last one
// transfers) keep the pace of one: each turn comes an interval after the one before,
// whoever takes it.
TEST(RequestSpacing, ListingsSharingItKeepOnePace)
{
    RequestSpacing spacing;
    EXPECT_EQ(spacing.takeTurn(1000), 0);
    const int second = spacing.takeTurn(1000);
    EXPECT_GT(second, 900);
    EXPECT_LE(second, 1000);
    EXPECT_GT(spacing.takeTurn(1000), second + 900);
    RequestSpacing unpaced;
    EXPECT_EQ(unpaced.takeTurn(0), 0);
    EXPECT_EQ(unpaced.takeTurn(0), 0);
}

// Refusals for speed: the waits grow within one budget for all the session's requests
// until an answer comes; each refusal slows the pace for good, up to 10 s between
// turns, and a wait just waited out is the turn's pause.
TEST(RequestSpacing, RefusalsShareOneBudgetAndSlowThePace)
{
    RequestSpacing spacing;
    EXPECT_EQ(spacing.takeTurn(0), 0);
    EXPECT_EQ(spacing.refused(), 2);
    EXPECT_EQ(spacing.takeTurn(0, true), 0);
    const int slower = spacing.takeTurn(0);
    EXPECT_GT(slower, 900);
    EXPECT_LE(slower, 1000);

    QList<int> waits;
    for (int i = 0; i < 6; ++i)
        waits.append(spacing.refused());
    EXPECT_EQ(waits, (QList<int>{4, 8, 16, 30, 0, 0}));
    // Blocked: no pause before a request that will hear its refusal at once.
    EXPECT_EQ(spacing.takeTurn(0), 0);

    // An answer starts a new budget; the pace stays slow.
    spacing.answered();
    const int slowest = spacing.takeTurn(0);
    EXPECT_GT(slowest, 9900);
    EXPECT_LE(slowest, 10000);
    EXPECT_EQ(spacing.refused(), 2);
    EXPECT_EQ(spacing.refused(), 4);

    // A user's interval slower than that stays as it is.
    RequestSpacing patient;
    patient.takeTurn(15000);
    patient.refused();
    const int own = patient.takeTurn(15000);
    EXPECT_GT(own, 14900);
    EXPECT_LE(own, 15000);
}

}  // namespace

}  // namespace pictrove
