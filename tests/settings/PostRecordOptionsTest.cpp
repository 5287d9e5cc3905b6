// "post.ini": file times from the posts on and the sidecar off until the user says
// otherwise, a file as the user may have edited it read key by key, and a data folder
// of the previous version (no "post.ini") read with the defaults.

#include "settings/PostRecordOptions.h"
#include "support/PrintQt.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

namespace {

TEST(PostRecordOptions, ReadKeyByKeyWithDefaults)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + u'/';
    EXPECT_EQ(readPostRecordOptions(folder), (PostRecordOptions{true, false}));
    EXPECT_EQ(readPostRecordOptions(QString()), (PostRecordOptions{true, false}));

    const struct {
        const char *text;
        PostRecordOptions expected;
    } cases[] = {
        {"[post]\nfile_time_from_post=0\nsidecar=1\n", {false, true}},
        {"[post]\nsidecar=1\n", {true, true}},
        {"[POST]\r\nFile_Time_From_Post = 0\r\n", {false, false}},
        {"[media]\nsidecar=1\n", {true, false}},
        {"", {true, false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        QFile file(folder + QStringLiteral("post.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.text);
        file.close();
        EXPECT_EQ(readPostRecordOptions(folder), c.expected);
    }

    for (const PostRecordOptions options : {PostRecordOptions{false, true}, PostRecordOptions{true, true},
                                            PostRecordOptions{false, false}, PostRecordOptions{}}) {
        ASSERT_TRUE(savePostRecordOptions(folder, options));
        EXPECT_EQ(readPostRecordOptions(folder), options);
    }
}

}  // namespace

}  // namespace pictrove
