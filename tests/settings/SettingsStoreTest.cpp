#include "settings/SettingsImage.h"
#include "settings/SettingsStore.h"
#include "settings/SourceType.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>

namespace pictrove {

namespace {

class SettingsStore : public ::testing::Test {
protected:
    QString folder() const { return m_dir.path() + u'/'; }
    QString settingsFile() const { return folder() + QStringLiteral("soft.dat"); }

    void writeFile(const QByteArray &bytes) const
    {
        QFile file(settingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readFile() const
    {
        QFile file(settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Everything in the folder besides "soft.dat": leftovers of a failed save.
    QStringList strayFiles() const
    {
        QStringList names = QDir(folder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.removeAll(QStringLiteral("soft.dat"));
        return names;
    }

    QTemporaryDir m_dir;
};

// The first-start options per source type; every other type gets kOptionOpenFolder only.
void expectFirstStart(const SettingsBlock &block)
{
    for (int i = 0; i < kSourceTypeRecordCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(block.downloadParams[i], (DownloadParams{0, 0, 5, 30}));
        uint16_t flags = 0x0010;
        if (i == 7)
            flags = 0x0092;
        else if (i == 11 || i == 16)
            flags = 0x0012;
        EXPECT_EQ(block.nameRules[i].options, flags);
        EXPECT_EQ(block.nameRules[i].fileBase, i == 8 ? 1 : 0);
        EXPECT_EQ(block.nameRules[i].folderBase, 0);
        EXPECT_EQ(block.nameRules[i].filePrefix, i == 17 ? QStringLiteral("?2) ") : QString());
    }
}

}  // namespace

TEST_F(SettingsStore, FirstStartWithoutUsableFile)
{
    struct Case {
        const char *name;
        bool createEmptyFile;
        SettingsLoadStatus status;
    };
    const Case cases[] = {
        {"missing", false, kSettingsMissing},
        {"empty", true, kSettingsEmpty},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(settingsFile());
        if (c.createEmptyFile)
            writeFile(QByteArray());
        SettingsBlock block;
        block.ownerHistory[0] = QStringLiteral("stale");
        const SettingsLoadResult result = loadSettings(folder(), block);
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.saved);
        expectFirstStart(block);
        EXPECT_TRUE(block.ownerHistory[0].isEmpty());
        EXPECT_EQ(readFile(), toSettingsImage(block));
    }
}

TEST_F(SettingsStore, LimitsApplyToStoredValues)
{
    struct Case {
        DownloadParams stored;
        DownloadParams loaded;
    };
    const Case cases[] = {
        {{0, 0, 0, 30}, {0, 0, 5, 30}},
        {{0, 0, 16, 10}, {0, 0, 5, 10}},
        {{0, 0, 15, 9}, {0, 0, 15, 30}},
        {{0, 0, 1, 0}, {0, 0, 1, 30}},
        {{64, 4464, 65535, 65535}, {64, 4464, 5, 65535}},
    };
    SettingsBlock stored;
    for (int i = 0; i < int(std::size(cases)); ++i)
        stored.downloadParams[i] = cases[i].stored;
    stored.nameRules[settingsIndex(SourceType::Yupoo)].options = 0x0004;
    stored.savePathHistory[0] = QStringLiteral("D:/图片/");
    writeFile(toSettingsImage(stored));

    SettingsBlock block;
    const SettingsLoadResult result = loadSettings(folder(), block);
    EXPECT_EQ(result.status, kSettingsRead);
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(block.downloadParams[i], cases[i].loaded) << "type " << i;
    // A record that was read keeps its own options: no first-start values.
    EXPECT_EQ(block.nameRules[settingsIndex(SourceType::Yupoo)].options, 0x0004);
    EXPECT_EQ(block.nameRules[settingsIndex(SourceType::QqZone)].options, 0);
    EXPECT_EQ(block.nameRules[settingsIndex(SourceType::Instagram)].filePrefix, QString());
    EXPECT_EQ(block.savePathHistory[0], QStringLiteral("D:/图片/"));
    EXPECT_EQ(readFile(), toSettingsImage(block));
}

TEST_F(SettingsStore, ShortFileReadsAsZeroTail)
{
    SettingsBlock stored;
    for (auto &params : stored.downloadParams)
        params = {10, 20, 3, 60};
    const int qqZone = settingsIndex(SourceType::QqZone);  // the first name-rule record
    stored.nameRules[qqZone].filePrefix = QStringLiteral("abcdef");
    stored.nameRules[qqZone].options = 0x0040;
    writeFile(toSettingsImage(stored).left(192 + 6));  // all parameters and QQ Zone's "abc"

    SettingsBlock block;
    EXPECT_EQ(loadSettings(folder(), block).status, kSettingsReadShort);
    for (const DownloadParams &params : block.downloadParams)
        EXPECT_EQ(params, (DownloadParams{10, 20, 3, 60}));
    EXPECT_EQ(block.nameRules[qqZone].filePrefix, QStringLiteral("abc"));
    EXPECT_EQ(block.nameRules[qqZone].options, 0);
    EXPECT_EQ(block.nameRules[settingsIndex(SourceType::Yupoo)].options, 0);
    EXPECT_EQ(readFile().size(), 19808);
}

// A file larger than the record is no record of ours: read as one, any large file gave
// settings (a minimum size that every picture failed). It is not read but moved aside
// as "soft.dat.bad", replacing an older one, and the first-start values are saved.
TEST_F(SettingsStore, FileLargerThanTheRecordIsSetAside)
{
    SettingsBlock stored;
    for (auto &params : stored.downloadParams)
        params = {257, 0, 3, 60};
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"one byte more than the record", toSettingsImage(stored) + '\0'},
        {"megabytes", toSettingsImage(stored).repeated(200)},
    };
    const QString aside = folder() + QStringLiteral("soft.dat.bad");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(c.bytes);
        SettingsBlock block;
        const SettingsLoadResult result = loadSettings(folder(), block);
        EXPECT_EQ(result.status, kSettingsTooLarge);
        EXPECT_EQ(result.setAside, aside);
        EXPECT_TRUE(result.saved);
        expectFirstStart(block);
        EXPECT_EQ(readFile(), toSettingsImage(block));
        QFile bad(aside);
        ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
        EXPECT_TRUE(bad.readAll() == c.bytes);
        EXPECT_EQ(strayFiles(), QStringList{"soft.dat.bad"});
    }
}

// A "soft.dat" that cannot be read (here: a folder of that name, which also cannot be
// replaced) gives the first-start values in memory and reports that nothing was saved.
TEST_F(SettingsStore, UnreadableFileGivesFirstStartValues)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("soft.dat")));
    SettingsBlock block;
    const SettingsLoadResult result = loadSettings(folder(), block);
    EXPECT_EQ(result.status, kSettingsUnreadable);
    EXPECT_FALSE(result.saved);
    expectFirstStart(block);
}

TEST_F(SettingsStore, SaveThenLoadRoundTrips)
{
    SettingsBlock block;
    loadSettings(folder(), block);
    const int sina = settingsIndex(SourceType::Sina);
    block.downloadParams[sina] = {1, 2000, 15, 10};
    block.nameRules[sina].folderPrefix = QStringLiteral("?9_");
    block.nameRules[sina].options = 0x004F;
    ASSERT_TRUE(addHistory(block, kHistoryOwner, QStringLiteral("http://weibo.com/u/123")));
    ASSERT_TRUE(saveSettings(folder(), block));

    SettingsBlock loaded;
    EXPECT_EQ(loadSettings(folder(), loaded).status, kSettingsRead);
    EXPECT_EQ(loaded, block);
    EXPECT_TRUE(strayFiles().isEmpty()) << strayFiles().join(u' ').toStdString();

    EXPECT_FALSE(saveSettings(folder() + QStringLiteral("no-such-folder/"), block));
}

// A full disk: writes beyond a small file-size limit fail with EFBIG, as they would
// with no space left. Writing "soft.dat" in place would leave it cut short.
TEST_F(SettingsStore, FullDiskKeepsThePreviousFile)
{
    SettingsBlock block;
    loadSettings(folder(), block);
    const QByteArray previous = readFile();
    ASSERT_EQ(previous.size(), 19808);
    block.downloadParams[settingsIndex(SourceType::Sina)].threads = 9;

    bool saved = false;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        saved = saveSettings(folder(), block);
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile(), previous);
    EXPECT_TRUE(strayFiles().isEmpty()) << strayFiles().join(u' ').toStdString();
}

TEST_F(SettingsStore, UnwritableFolderKeepsThePreviousFile)
{
    SettingsBlock block;
    loadSettings(folder(), block);
    const QByteArray previous = readFile();
    block.downloadParams[settingsIndex(SourceType::Sina)].threads = 9;

    QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(folder() + QStringLiteral("probe"));
    const bool folderWritable = probe.open(QIODevice::WriteOnly);
    probe.remove();
    const bool saved = !folderWritable && saveSettings(folder(), block);
    QFile::setPermissions(folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (folderWritable)
        GTEST_SKIP() << "folder permissions do not bind this user (root)";

    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile(), previous);
}

}  // namespace pictrove
