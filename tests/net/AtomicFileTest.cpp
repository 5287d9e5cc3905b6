// What a save killed between writing and renaming leaves behind: its temporary file
// is removed at a later start once it is clearly stale, and nothing else is.
#include "net/AtomicFile.h"
#include "support/PrintQt.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

TEST(AtomicFile, OnlyStaleTemporariesOfTheSavesAreRemoved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + u'/';
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds - 60);
    const struct {
        const char *name;
        bool old;
        bool removed;
    } cases[] = {
        {"soft.dat.tmp-Ab12Cd", true, true},
        {"cookies.txt.tmp-x9Y8z7", true, true},
        // Another process's save in progress: too recent to tell from a dead one.
        {"cookies.txt.tmp-Qw3Er4", false, false},
        {"soft.dat.tmp-Zz0Yy1", false, false},
        // The files themselves, the lock, files of the user's, other programs'.
        {"soft.dat", true, false},
        {"cookies.txt", true, false},
        {"cookies.txt.lock", true, false},
        {"soft.dat.bad", true, false},
        {"soft.dat.backup", true, false},
        {"soft.dat.tmp-backup1", true, false},
        {"soft.dat.tmp-ab.def", true, false},
        {"cookies.txt.tmp-", true, false},
        {"my-soft.dat.tmp-Ab12Cd", true, false},
        {"other.txt.tmp-Ab12Cd", true, false},
    };
    QStringList kept;
    for (const auto &c : cases) {
        QFile file(folder + QLatin1String(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << c.name;
        ASSERT_TRUE(file.write("x") == 1 && file.flush());  // before the time is set
        if (c.old) {
            ASSERT_TRUE(file.setFileTime(stale, QFileDevice::FileModificationTime)) << c.name;
        }
        if (!c.removed)
            kept.append(QLatin1String(c.name));
    }
    // A folder named like a temporary is none of ours.
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("soft.dat.tmp-Dir123")));

    EXPECT_EQ(removeStaleTemporaries(folder, {QStringLiteral("soft.dat"), QStringLiteral("cookies.txt")}), 2);
    kept.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
    EXPECT_TRUE(QDir(folder + QStringLiteral("soft.dat.tmp-Dir123")).exists());
}

}  // namespace pictrove
