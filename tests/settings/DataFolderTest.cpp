// The data folder and default save folder rules, with HOME in a temporary folder so
// the per-user paths are known and the user's own folders stay untouched.

#include "settings/DataFolder.h"
#include "support/TemporaryHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

namespace {

TEST(DataFolder, PortableWhenTheCurrentFolderHoldsSoftDat)
{
    const TemporaryHome home;
    const struct {
        const char *what;
        const char *fileName;  // created in the current folder; null: nothing
        bool asFolder;
        bool portable;
    } cases[] = {
        {"soft.dat file", "soft.dat", false, true},
        {"nothing there", nullptr, false, false},
        {"other settings only", "下载器扩展设置.ini", false, false},
        {"a folder named soft.dat", "soft.dat", true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir current;
        if (c.fileName && c.asFolder) {
            ASSERT_TRUE(QDir(current.path()).mkdir(QString::fromUtf8(c.fileName)));
        } else if (c.fileName) {
            QFile file(current.filePath(QString::fromUtf8(c.fileName)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(defaultDataFolder(current.path()), c.portable ? current.path() + u'/' : home.dataFolder());
    }
}

TEST(DataFolder, PerUserFolderFollowsXdgDataHome)
{
    const TemporaryHome home;
    QTemporaryDir current;
    EXPECT_EQ(perUserDataFolder(), home.dataFolder());
    QTemporaryDir xdg;
    qputenv("XDG_DATA_HOME", xdg.path().toUtf8());  // TemporaryHome unsets it again
    EXPECT_EQ(defaultDataFolder(current.path()), xdg.path() + QStringLiteral("/Pictrove/"));
}

TEST(DataFolder, DefaultSaveFolder)
{
    const TemporaryHome home;
    const QString pictures = home.picturesFolder();
    const QString perUserSave = pictures + QStringLiteral("/Pictrove/");
    EXPECT_EQ(userPicturesFolder(), pictures);

    const struct {
        const char *what;
        QString dataFolder;
        QString saveFolder;
    } cases[] = {
        {"per-user data folder", home.dataFolder(), perUserSave},
        {"portable folder", QStringLiteral("/srv/albums/"), QStringLiteral("/srv/albums/")},
        {"portable folder without the slash", QStringLiteral("/srv/albums"), QStringLiteral("/srv/albums/")},
        {"portable under the temporary folder", QStringLiteral("/scratch/unpacked/"), perUserSave},
        {"portable in a tmp folder of any case", QStringLiteral("/srv/Stuff/TMP/unpacked/"), perUserSave},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(defaultSaveFolder(c.dataFolder, QStringLiteral("/scratch"), pictures), c.saveFolder);
    }
}

}  // namespace

TEST(DataFolder, SavePathsAsTheUserMeansThem)
{
    const QString home = QStringLiteral("/home/anna");
    const struct {
        const char *typed;
        const char *expected;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"~", "/home/anna/"},
        {"~/Pictures/weibo", "/home/anna/Pictures/weibo/"},
        {"Pictures/weibo/", "/home/anna/Pictures/weibo/"},
        {"./a/../b", "/home/anna/b/"},
        {"/srv/photos", "/srv/photos/"},
        {" /srv/photos/ ", "/srv/photos/"},
        {"~anna/x", "/home/anna/~anna/x/"},  // no other users' homes: a folder named so
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(absoluteSavePath(QString::fromUtf8(c.typed), home).toStdString(), std::string(c.expected));
    }
}

}  // namespace pictrove
