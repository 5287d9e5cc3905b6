// The two settings dialogs on their own: what 确 定 stores, what it refuses, what
// cancelling keeps, and the help text of 前后缀说明.

#include "UiTestSupport.h"

#include "settings/SettingsBlock.h"
#include "settings/SettingsValidation.h"
#include "ui/dialogs/DownloadSettingsDialog.h"
#include "ui/dialogs/FileNameRulesDialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace pictrove {

namespace {

std::string s(const QString &text) { return text.toStdString(); }

QAbstractButton *button(QWidget &dialog, int id)
{
    return dialog.findChild<QAbstractButton *>(QStringLiteral("ctl%1").arg(id));
}

}  // namespace

TEST(DownloadSettingsDialogTest, StoresValidInputAndRefusesTheRest)
{
    const DownloadParams before{1, 2, 5, 30};  // min, max, threads, time-out
    const struct {
        const char *threads, *timeout, *minKB, *maxKB;
        bool accepted;
        DownloadParams after;
    } cases[] = {
        {"15", "10", "0", "0", true, {0, 0, 15, 10}},
        {"1", "60", "70000", "500", true, {4464, 500, 1, 60}},
        {"16", "30", "1", "2", false, before},
        {"0", "30", "1", "2", false, before},
        {"5", "9", "1", "2", false, before},
        {"five", "30", "1", "2", false, before},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.threads + std::string("/") + c.timeout);
        DownloadParams record = before;
        QStringList messages;
        DownloadSettingsDialog dialog(record);
        dialog.showMessage = [&](const QString &text) { messages.append(text); };
        dialog.show();
        EXPECT_EQ(s(dialog.field(1002)->text()), "5");
        EXPECT_EQ(s(dialog.field(1003)->text()), "30");
        EXPECT_EQ(s(dialog.field(1000)->text()), "1");
        EXPECT_EQ(s(dialog.field(1001)->text()), "2");

        dialog.field(1002)->setText(QString::fromUtf8(c.threads));
        dialog.field(1003)->setText(QString::fromUtf8(c.timeout));
        dialog.field(1000)->setText(QString::fromUtf8(c.minKB));
        dialog.field(1001)->setText(QString::fromUtf8(c.maxKB));
        button(dialog, 1023)->click();
        if (c.accepted) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(messages.isEmpty());
        } else {
            // Refused: the dialog stays open; closing it now is a cancel.
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(messages, QStringList{QStringLiteral("参数错误")});
            dialog.reject();
        }
        EXPECT_EQ(record, c.after);
    }

    DownloadParams record = before;
    DownloadSettingsDialog dialog(record);
    EXPECT_EQ(s(dialog.windowTitle()), "设置");
    dialog.show();
    saveScreenshot(&dialog, QStringLiteral("settings-download"));
}

TEST(FileNameRulesDialogTest, OpensOnTheRecordAndStoresCutTexts)
{
    NameRules record;
    record.filePrefix = QStringLiteral("?1_");
    record.fileSuffix = QStringLiteral("_com");
    record.findText = QStringLiteral("a|b");
    record.replaceText = QStringLiteral("c|d");
    record.folderPrefix = QStringLiteral("?9_");
    record.folderSuffix = QStringLiteral("");
    record.fileBase = kFileBaseSequence;
    record.folderBase = kFolderBaseNone;
    record.options = kOptionFixOrder;
    const NameRules before = record;

    {
        FileNameRulesDialog dialog(record);
        EXPECT_EQ(s(dialog.windowTitle()), "设置");
        const struct {
            int id;
            QString text;
        } shown[] = {{1000, "?1_"}, {1001, "_com"}, {1021, "a|b"}, {1022, "c|d"}, {1002, "?9_"}, {1003, ""}};
        for (const auto &field : shown)
            EXPECT_EQ(s(dialog.field(field.id)->text()), s(field.text)) << field.id;
        for (int id : {1016, 1017, 1018, 1019, 1020})
            EXPECT_EQ(button(dialog, id)->isChecked(), id == 1017 || id == 1020) << id;
        dialog.show();
        saveScreenshot(&dialog, QStringLiteral("settings-names"));

        // Cancel keeps everything, whatever was typed.
        dialog.field(1000)->setText(QStringLiteral("changed"));
        button(dialog, 1016)->click();
        dialog.reject();
    }
    EXPECT_EQ(record, before);

    FileNameRulesDialog dialog(record);
    dialog.field(1000)->setText(QString(50, u'p'));
    dialog.field(1003)->setText(QStringLiteral("_相册"));
    button(dialog, 1018)->click();
    button(dialog, 1019)->click();
    button(dialog, 1023)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(s(record.filePrefix), s(QString(38, u'p')));
    EXPECT_EQ(s(record.folderSuffix), "_相册");
    EXPECT_EQ(record.fileBase, kFileBaseAddress);
    EXPECT_EQ(record.folderBase, kFolderBaseAlbumName);
    EXPECT_EQ(record.options, kOptionFixOrder);
}

TEST(FileNameRulesDialogTest, HelpLinkShowsTheSixteenLines)
{
    NameRules record;
    FileNameRulesDialog dialog(record);
    QStringList messages;
    dialog.showMessage = [&](const QString &text) { messages.append(text); };
    dialog.show();
    auto *link = dialog.findChild<QWidget *>(QStringLiteral("ctl1010"));
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.first(), prefixSuffixHelpText());
    EXPECT_EQ(messages.first().count(u'\n'), 15);
    EXPECT_EQ(dialog.result(), 0);  // the dialog is still open
}

// The example under the fields follows every edit, before anything is stored.
TEST(FileNameRulesDialogTest, LiveExampleFollowsTheFields)
{
    NameRules record;
    record.fileBase = kFileBaseSequence;
    record.folderBase = kFolderBaseAlbumName;
    FileNameRulesDialog dialog(record);
    dialog.show();
    auto *example = dialog.findChild<QLabel *>(QStringLiteral("ctl1025"));
    ASSERT_NE(example, nullptr);
    const struct {
        int field;
        const char16_t *text;
        const char16_t *expected;
    } steps[] = {
        {0, u"", u"旅行/5.jpg"},
        {1000, u"?d_?p_", u"旅行/20240131_4999999999999999_5.jpg"},
        {1001, u"_?t_?n_?i_?o", u"旅行/20240131_4999999999999999_5_235959_2_006abc_1234567890.jpg"},
        {1002, u"?9_", u"0003_旅行/20240131_4999999999999999_5_235959_2_006abc_1234567890.jpg"},
        {1001, u"", u"0003_旅行/20240131_4999999999999999_5.jpg"},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.field);
        if (step.field != 0)
            dialog.field(step.field)->setText(QString::fromUtf16(step.text));
        EXPECT_EQ(s(dialog.exampleName()), s(QString::fromUtf16(step.expected)));
        EXPECT_EQ(s(example->text()), s(QStringLiteral("示例：") + QString::fromUtf16(step.expected)));
    }
    button(dialog, 1018)->click();  // named by address
    EXPECT_EQ(s(dialog.exampleName()), "0003_旅行/20240131_4999999999999999_006abc.jpg");
    EXPECT_EQ(record.filePrefix, QString());  // nothing stored before 确 定
    if (const QByteArray shot = qgetenv("PICTROVE_SCREENSHOT_DIR"); !shot.isEmpty())
        dialog.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("/file-name-dialog.png"));
}

TEST(FileNameRulesDialogTest, PostEscapeLinkShowsTheLetterTable)
{
    NameRules record;
    FileNameRulesDialog dialog(record);
    QStringList messages;
    dialog.showMessage = [&](const QString &text) { messages.append(text); };
    dialog.show();
    auto *link = dialog.findChild<QWidget *>(QStringLiteral("ctl1024"));
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.first(), postEscapeHelpText());
    for (const char *escape : {"?d:", "?t:", "?p:", "?i:", "?n:", "?o:"})
        EXPECT_TRUE(messages.first().contains(QLatin1StringView(escape))) << escape;
}

}  // namespace pictrove
