#include "settings/MenuOptions.h"
#include "settings/SavePathDrop.h"
#include "settings/SettingsValidation.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace pictrove {

namespace {

std::string s(const QString &text) { return text.toStdString(); }

}  // namespace

TEST(DownloadParamsInput, RangeChecksAndSixteenBitCuts)
{
    struct Case {
        const char *name;
        DownloadParamInput input;
        bool valid;
        DownloadParams stored;  // minKB, maxKB, threads, timeoutSeconds
    };
    const Case cases[] = {
        {"upper thread bound and lowest time-out", {"15", "10", "0", "0"}, true, {0, 0, 15, 10}},
        {"one thread", {"1", "30", "5", "900"}, true, {5, 900, 1, 30}},
        {"sixteen threads", {"16", "30", "0", "0"}, false, {}},
        {"no threads", {"0", "30", "0", "0"}, false, {}},
        {"time-out nine", {"5", "9", "0", "0"}, false, {}},
        {"threads typed as letters", {"abc", "30", "0", "0"}, false, {}},
        {"digits then letters", {"5x", "30", "0", "0"}, false, {}},
        {"empty time-out", {"5", "", "0", "0"}, false, {}},
        {"minimum cut to sixteen bits", {"5", "30", "70000", "0"}, true, {4464, 0, 5, 30}},
        {"negative sizes wrap", {"5", "30", "-1", "-2"}, true, {65535, 65534, 5, 30}},
        {"blanks and a plus sign", {" 3 ", "+12", " 1", "2 "}, true, {1, 2, 3, 12}},
        {"threads judged after the cut", {"65537", "30", "0", "0"}, true, {0, 0, 1, 30}},
        {"negative time-out wraps above the limit", {"5", "-1", "0", "0"}, true, {0, 0, 5, 65535}},
        {"beyond 32 bits reads as 0", {"5", "30", "99999999999", "0"}, true, {0, 0, 5, 30}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<DownloadParams> result = validateDownloadParams(c.input);
        ASSERT_EQ(result.has_value(), c.valid);
        if (c.valid) {
            EXPECT_EQ(*result, c.stored);
        }
    }
}

TEST(NameRuleInput, CutsEveryTextTo38AndStoresTheRadios)
{
    const QString fifty(50, u'p');
    // A surrogate pair straddling the cut loses both halves.
    const QString straddling = QString(37, u'a') + QString::fromUtf16(u"\U0001F600") + u'b';

    NameRules rules;
    rules.options = kOptionFixFormat | kOptionSkipPrevious;
    NameRuleInput input;
    input.filePrefix = fifty;
    input.fileSuffix = QString(38, u's');
    input.find = straddling;
    input.replace = QStringLiteral("替换");
    input.folderPrefix = QStringLiteral("?1_");
    input.folderSuffix = QString(39, u'f');
    input.fileBase = kFileBaseAddress;
    input.folderBase = kFolderBaseNone;
    storeNameRuleInput(rules, input);

    EXPECT_EQ(s(rules.filePrefix), s(fifty.left(38)));
    EXPECT_EQ(s(rules.fileSuffix), s(QString(38, u's')));
    EXPECT_EQ(s(rules.findText), s(QString(37, u'a')));
    EXPECT_EQ(s(rules.replaceText), "替换");
    EXPECT_EQ(s(rules.folderPrefix), "?1_");
    EXPECT_EQ(s(rules.folderSuffix), s(QString(38, u'f')));
    EXPECT_EQ(rules.fileBase, kFileBaseAddress);
    EXPECT_EQ(rules.folderBase, kFolderBaseNone);
    EXPECT_EQ(rules.options, kOptionFixFormat | kOptionSkipPrevious);

    input.fileBase = -1;
    input.folderBase = -1;
    storeNameRuleInput(rules, input);
    EXPECT_EQ(rules.fileBase, kFileBaseDescription);
    EXPECT_EQ(rules.folderBase, kFolderBaseAlbumName);
}

TEST(NameRuleInput, HelpTextHasSixteenLinesWithoutTrailingLineFeed)
{
    const QString help = prefixSuffixHelpText();
    const QStringList lines = help.split(u'\n');
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(s(lines.first()), "设置前后缀，可以在图片本来的文件名前后加上指定的字符");
    EXPECT_EQ(s(lines[7]), "转义字符如下（问号为英文的问号，相册名的转义字符只支持?1,?3,?9）：");
    EXPECT_EQ(s(lines.last()), "?9:相册在列表中的序号(格式为：0001,0002,0003...)");
    EXPECT_FALSE(help.contains(u'\r'));
}

TEST(MenuOptions, EachToggleFlipsItsOwnBitOnly)
{
    for (const uint16_t bit : {0x0008, 0x0004, 0x0002, 0x0001, 0x0040, 0x0010, 0x0020, 0x0100, 0x0080}) {
        SCOPED_TRACE(bit);
        NameRules rules;
        rules.options = 0x0200;  // a bit no option owns stays put
        EXPECT_FALSE(optionChecked(rules, bit));
        ASSERT_TRUE(toggleOption(rules, bit));
        EXPECT_EQ(rules.options, 0x0200 | bit);
        EXPECT_TRUE(optionChecked(rules, bit));
        ASSERT_TRUE(toggleOption(rules, bit));
        EXPECT_EQ(rules.options, 0x0200);
    }
    NameRules rules;
    EXPECT_FALSE(toggleOption(rules, 0x0200));
    EXPECT_EQ(rules.options, 0);
}

TEST(MenuOptions, ShopOptionsExcludeEachOther)
{
    NameRules rules;
    rules.options = kOptionShopDescriptionPictures | kOptionFixFormat;
    toggleOption(rules, kOptionShopMainPictures);
    EXPECT_EQ(rules.options, kOptionShopMainPictures | kOptionFixFormat);
    toggleOption(rules, kOptionShopDescriptionPictures);
    EXPECT_EQ(rules.options, kOptionShopDescriptionPictures | kOptionFixFormat);
    toggleOption(rules, kOptionShopDescriptionPictures);
    EXPECT_EQ(rules.options, kOptionFixFormat);
}

TEST(MenuOptions, ShopAndYupooEntriesOfferedOnlyForTheirSourceTypes)
{
    for (int index = 0; index <= int(SourceType::Topit); ++index) {
        SCOPED_TRACE(index);
        const SourceType type = SourceType(index);
        const bool shop = type == SourceType::Shops || type == SourceType::Jd;
        EXPECT_EQ(optionEnabled(kOptionShopMainPictures, type), shop);
        EXPECT_EQ(optionEnabled(kOptionShopDescriptionPictures, type), shop);
        EXPECT_EQ(optionEnabled(kOptionYupooLarge, type), type == SourceType::Yupoo);
        for (const uint16_t option : {kOptionThunderListOnly, kOptionTitleFile, kOptionFixOrder, kOptionFixFormat,
                                      kOptionSkipPrevious, kOptionOpenFolder})
            EXPECT_TRUE(optionEnabled(option, type));
    }
}

TEST(SavePathDrop, FilesGiveTheirFolderAndFoldersThemselves)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("2015.10 旅行")));
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("plain")));
    for (const char *name : {"plain/a.jpg", "plain/README"}) {
        QFile file(root + u'/' + QString::fromUtf8(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    const struct {
        QString dropped;
        QString folder;
    } cases[] = {
        {root + "/plain/a.jpg", root + "/plain/"},
        {root + "/plain/README", root + "/plain/"},
        {root + "/2015.10 旅行", root + "/2015.10 旅行/"},
        {root + "/2015.10 旅行/", root + "/2015.10 旅行/"},
        {root + "/plain", root + "/plain/"},
        // Paths the file system cannot see are judged by their dot.
        {"/nowhere/x.y/pic.png", "/nowhere/x.y/"},
        {"/nowhere/x.y/pics", "/nowhere/x.y/pics/"},
        {"/pic.png", "/"},
        {"pic.png", ""},
        {"", ""},
        {"/" + QString(kMaxDroppedPathLength - 1, u'd'), "/" + QString(kMaxDroppedPathLength - 1, u'd') + "/"},
        {"/" + QString(kMaxDroppedPathLength, u'd'), ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(s(c.dropped));
        EXPECT_EQ(s(droppedSavePath(c.dropped)), s(c.folder));
    }
}

}  // namespace pictrove
