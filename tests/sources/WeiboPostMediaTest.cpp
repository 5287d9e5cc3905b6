// A Weibo post's media as its answers give them: live photos (the still, then its
// moving part), GIFs, a video's largest version, mixed posts in their order, and the
// post's id, time and text on every one of them.

#include "sources/weibo/WeiboPages.h"
#include "support/Fixtures.h"
#include "support/PrintQt.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

namespace pictrove {

namespace {

QJsonObject post(const char *fixture)
{
    return QJsonDocument::fromJson(readFixture(QStringLiteral("sources/") + QString::fromLatin1(fixture))).object();
}

struct Expected {
    MediaKind kind;
    const char *pictureId;
    const char *address;
};

const char *kindName(MediaKind kind)
{
    switch (kind) {
    case MediaKind::Still: return "still";
    case MediaKind::Animated: return "animated";
    case MediaKind::LiveMotion: return "live";
    case MediaKind::Video: return "video";
    }
    return "?";
}

TEST(WeiboPostMediaTest, EveryMediumOfAPostInItsOrder)
{
    const struct {
        const char *fixture;
        std::vector<Expected> media;
    } cases[] = {
        {"weibo_api_status_live.json",
         {{MediaKind::Still, "4a1b2c3dgy1hlive01", "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hlive01.jpg"},
          {MediaKind::LiveMotion, "4a1b2c3dgy1hlive01.mov",
           "https://livephoto.us.sinaimg.cn/000Lv01gx08live01mov0f0f0100abcd0k01.mov?Expires=1709620000&ssig=Zx%2B1q2w3e4"
           "&KID=unistore,video"},
          // A GIF's "video" is no moving part of its own: the GIF is saved alone.
          {MediaKind::Animated, "4a1b2c3dgy1hgif001", "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hgif001.gif"},
          {MediaKind::Still, "4a1b2c3dgy1hpic001", "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hpic001.jpg"}}},
        // The playback list's largest, wherever it stands in the list.
        {"weibo_api_status_video.json",
         {{MediaKind::Video, "4900000000000099",
           "https://f.video.weibocdn.com/o0/v1080.mp4?label=mp4_1080p&Expires=1709620000&ssig=dd&KID=unistore,video"}}},
        // Without a playback list, the best of the named addresses.
        {"weibo_api_status_mixed.json",
         {{MediaKind::Still, "4a1b2c3dgy1hmix001", "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hmix001.jpg"},
          {MediaKind::Video, "4900000000000098",
           "https://f.video.weibocdn.com/o0/m720.mp4?label=mp4_hd&Expires=1709620000&ssig=gg"},
          {MediaKind::Still, "4a1b2c3dgy1hmix002", "https://wx3.sinaimg.cn/large/4a1b2c3dgy1hmix002.jpg"},
          {MediaKind::LiveMotion, "4a1b2c3dgy1hmix002.mov",
           "https://livephoto.us.sinaimg.cn/000Mix02mov.mov?Expires=1709620000&ssig=hh"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fixture);
        const PostMedia media = postMediaOf(post(c.fixture));
        ASSERT_EQ(media.pictures.size(), qsizetype(c.media.size()));
        for (size_t i = 0; i < c.media.size(); ++i) {
            SCOPED_TRACE(i);
            const Picture &found = media.pictures.at(qsizetype(i));
            EXPECT_STREQ(kindName(found.kind), kindName(c.media[i].kind));
            EXPECT_EQ(found.pictureId, QString::fromLatin1(c.media[i].pictureId));
            EXPECT_EQ(found.address, QString::fromLatin1(c.media[i].address));
        }
        EXPECT_FALSE(media.morePictures);
    }
}

// The post's id, time and text travel with each of its pictures; the text is their
// title, as the service gives a post's pictures no caption.
TEST(WeiboPostMediaTest, EveryPictureCarriesItsPost)
{
    const PostMedia live = postMediaOf(post("weibo_api_status_live.json"));
    ASSERT_EQ(live.pictures.size(), 4);
    for (const Picture &picture : live.pictures) {
        EXPECT_EQ(picture.postId, QStringLiteral("4900000000000011"));
        EXPECT_EQ(picture.postTime, 1709613296);  // 2024-03-05 04:34:56 UTC
        EXPECT_EQ(picture.postText, QStringLiteral("春天 @x"));
        EXPECT_EQ(picture.title, QStringLiteral("春天 @x"));
    }
    // No "idstr": the id; neither id: the post's short id. No "text_raw": the text
    // without its tags.
    const PostMedia shortId = postMediaOf(QJsonDocument::fromJson(
        R"({"id":4900000000000021,"text":"a <b>b</b>","pic_ids":["p1"],"pic_infos":{"p1":{"largest":{"url":"https://wx1.sinaimg.cn/large/p1.jpg"}}}})").object());
    ASSERT_EQ(shortId.pictures.size(), 1);
    EXPECT_EQ(shortId.pictures.first().postId, QStringLiteral("4900000000000021"));
    EXPECT_EQ(shortId.pictures.first().title, QStringLiteral("a b"));
    const PostMedia mblog = postMediaOf(QJsonDocument::fromJson(
        R"({"data":{"mblogid":"O5xYz1AbC","pic_ids":["p1"],"pic_num":12,"pic_infos":{"p1":{}}}})").object());
    ASSERT_EQ(mblog.pictures.size(), 1);
    EXPECT_EQ(mblog.pictures.first().postId, QStringLiteral("O5xYz1AbC"));
    // A picture without a size of its own is still fetched by its id.
    EXPECT_EQ(mblog.pictures.first().address, QStringLiteral("https://wx1.sinaimg.cn/large/p1.jpg"));
    // "pic_num" says the list gave only some of the pictures.
    EXPECT_TRUE(mblog.morePictures);
}

TEST(WeiboPostMediaTest, PostTimesAreReadInTheirOwnZone)
{
    const struct {
        const char *text;
        int64_t seconds;
    } cases[] = {
        {"Tue Mar 05 12:34:56 +0800 2024", 1709613296},
        {"Sat Jan 01 00:00:00 +0000 2022", 1640995200},
        {"Thu Feb 29 23:59:59 -0130 2024", 1709256599},
        {"Thu Feb 30 23:59:59 +0800 2024", 0},  // no such day
        {"Tue Mar 05 12:34:56 2024", 0},
        {"Tue Foo 05 12:34:56 +0800 2024", 0},
        {"Tue Mar 05 25:34:56 +0800 2024", 0},
        {"Tue Mar 05 12:34:56 +08x0 2024", 0},
        {"2024-03-05 12:34:56", 0},
        {"", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(weiboPostTime(QString::fromLatin1(c.text)), c.seconds);
    }
}

}  // namespace

}  // namespace pictrove
