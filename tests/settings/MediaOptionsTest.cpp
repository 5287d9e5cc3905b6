// "media.ini": both options on until the user turns one off, and a file as the user
// may have edited it read key by key.

#include "settings/MediaOptions.h"
#include "support/PrintQt.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

namespace {

TEST(MediaOptions, ReadKeyByKeyWithBothOnByDefault)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + u'/';
    EXPECT_EQ(readMediaOptions(folder), MediaOptions{});

    const struct {
        const char *text;
        MediaOptions expected;
    } cases[] = {
        {"[media]\nlive_motion=0\nvideos=1\n", {false, true}},
        {"[media]\nvideos=0\n", {true, false}},
        {"[MEDIA]\r\nLive_Motion = 0\r\nVideos = 0\r\n", {false, false}},
        {"[other]\nlive_motion=0\n", {true, true}},
        {"", {true, true}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        QFile file(folder + QStringLiteral("media.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.text);
        file.close();
        EXPECT_EQ(readMediaOptions(folder), c.expected);
    }

    for (const MediaOptions options : {MediaOptions{false, true}, MediaOptions{true, false}, MediaOptions{}}) {
        ASSERT_TRUE(saveMediaOptions(folder, options));
        EXPECT_EQ(readMediaOptions(folder), options);
    }
}

}  // namespace

}  // namespace pictrove
