// The window menu and the main window's other commands outside the grid: option
// check marks and their saving, the settings dialogs from the menu, the About box,
// the program's pages, the login entries' addresses, dropping on the window.

#include "ModalHelper.h"
#include "UiTestSupport.h"

#include "settings/MediaOptions.h"
#include "settings/PostRecordOptions.h"
#include "settings/SettingsStore.h"
#include "sources/Session.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/mainwindow/CommandIds.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/dialogs/DownloadSettingsDialog.h"
#include "ui/dialogs/FileNameRulesDialog.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/login/LoginPages.h"
#include "ui/startup/MakerPages.h"
#include "ui/mainwindow/MenuCommands.h"
#include "ui/startup/StoredTexts.h"
#include "ui/mainwindow/WindowDrop.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace pictrove {

namespace {

std::string s(const QString &text) { return text.toStdString(); }

class MenuCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        window = std::make_unique<MainWindow>(shell);
        window->session().setDataFolder(data.path() + u'/');
        window->session().sourceType.store(SourceType::Sina);
        SettingsBlock loaded;
        loadSettings(window->session().dataFolder(), loaded);
        window->session().updateSettings([&](SettingsBlock &block) { block = loaded; });
        commands = window->findChild<MenuCommands *>();
        ASSERT_NE(commands, nullptr);
        ASSERT_NE(window->findChild<WindowDropHandler *>(), nullptr);
    }

    QAction *action(int command) const
    {
        return window->findChild<QAction *>(QStringLiteral("cmd%1").arg(command));
    }
    QMenu *popup(const QString &title) const
    {
        for (QMenu *menu : window->findChild<QMenuBar *>()->findChildren<QMenu *>()) {
            // Titles carry their access key after the caption: "<设置>(&S)".
            if (menu->title().section(QStringLiteral("(&"), 0, 0) == title) {
                EXPECT_TRUE(menu->title().contains(QStringLiteral("(&"))) << title.toStdString();
                return menu;
            }
        }
        return nullptr;
    }
    QMenu *settingsMenu() const { return popup(QStringLiteral("<设置>")); }
    // What opening the pop-up shows.
    void open(QMenu *menu) const { Q_EMIT menu->aboutToShow(); }

    SettingsBlock savedSettings() const
    {
        SettingsBlock block;
        loadSettings(window->session().dataFolder(), block);
        return block;
    }
    QByteArray settingsFile() const
    {
        QFile file(window->session().dataFolder() + QStringLiteral("soft.dat"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    HistoryComboBox *savePath() const { return qobject_cast<HistoryComboBox *>(window->control(kControlSavePath)); }

    QTemporaryDir data;
    RecordingShell shell;
    std::unique_ptr<MainWindow> window;
    MenuCommands *commands = nullptr;
};

TEST_F(MenuCommandsTest, MenuBarHasEveryEntryInOrder)
{
    // Per pop-up: command ids in order, 0 for a separator; negative ids are check items.
    const struct {
        const char *title;
        QList<int> entries;
    } expected[] = {
        {"<登录>",
         {-kCommandLoginMode1, 0, kCommandLoginQqZone, kCommandLoginTencentWeibo, kCommandLoginBaidu,
          kCommandLoginNetEase, kCommandLoginRenren, kCommandLoginYupoo, kCommandLoginMoko, kCommandLoginSinaWeibo,
          kCommandLoginWeiboScan, kCommandLoginTaobao, kCommandLoginSite56, kCommandLoginHupu, kCommandLoginCustom}},
        {"<设置>",
         {kCommandDownloadSettings, kCommandNameSettings, 0, -kCommandThunderListOnly, -kCommandTitleFile, 0,
          -kCommandFixOrder, -kCommandFixFormat, -kCommandSkipPrevious, -kCommandNoArchiveOnce, -kCommandOpenFolder, 0,
          -kCommandShopMainPictures, -kCommandShopDescriptionPictures, -kCommandYupooLarge}},
        {"<导入/导出>", {kCommandImportAndDownload, 0, kCommandExportDownloadFile, kCommandExportThunderList}},
        {"<辅助功能>", {kCommandFileProcessing, 0, kCommandUpdate}},
        {"<帮助>", {kCommandManual, kCommandConsultation, kCommandFeedback, 0, kCommandVersionInfo}},
    };
    QMenuBar *bar = window->findChild<QMenuBar *>();
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction *top : bar->actions())
        titles.append(top->text());
    ASSERT_EQ(titles.size(), 6);
    EXPECT_TRUE(titles[4].trimmed().isEmpty());  // the blank spacer before help
    EXPECT_FALSE(bar->actions()[4]->isEnabled());

    for (int i = 0; i < int(std::size(expected)); ++i) {
        const auto &menu = expected[i];
        SCOPED_TRACE(menu.title);
        // The caption, then its access key for Alt: "<登录>(&L)".
        EXPECT_EQ(s(titles[i < 4 ? i : 5].section(QStringLiteral("(&"), 0, 0)), menu.title);
        EXPECT_TRUE(titles[i < 4 ? i : 5].contains(QStringLiteral("(&")));
        QMenu *popupMenu = popup(QString::fromUtf8(menu.title));
        ASSERT_NE(popupMenu, nullptr);
        QList<int> entries;
        for (QAction *entry : popupMenu->actions()) {
            const int id = entry->objectName().mid(3).toInt();
            entries.append(entry->isSeparator() ? 0 : entry->isCheckable() ? -id : id);
        }
        EXPECT_EQ(entries, menu.entries);
        open(popupMenu);
        popupMenu->popup(QPoint(0, 0));
        saveScreenshot(popupMenu, QStringLiteral("menu-%1").arg(i));
        popupMenu->hide();
    }
}

TEST_F(MenuCommandsTest, EachOptionFlipsItsBitForTheCurrentTypeAndSaves)
{
    const struct {
        int command;
        uint16_t bit;
        SourceType type;  // a source type offering the option
    } options[] = {
        {kCommandThunderListOnly, 0x0008, SourceType::Sina},
        {kCommandTitleFile, 0x0004, SourceType::Sina},
        {kCommandFixOrder, 0x0002, SourceType::Sina},
        {kCommandFixFormat, 0x0001, SourceType::QqZone},
        {kCommandSkipPrevious, 0x0040, SourceType::Sina},
        // The last record the settings keep, which no entry of the selector uses.
        {kCommandOpenFolder, 0x0010, SourceType(kSourceTypeRecordCount - 1)},
        {kCommandShopMainPictures, 0x0020, SourceType::Shops},
        {kCommandShopDescriptionPictures, 0x0100, SourceType::Jd},
        {kCommandYupooLarge, 0x0080, SourceType::Yupoo},
    };
    for (const auto &option : options) {
        SCOPED_TRACE(option.command);
        window->session().sourceType.store(option.type);
        const SettingsBlock before = window->session().settings();
        open(settingsMenu());
        ASSERT_TRUE(action(option.command)->isEnabled());
        const bool wasChecked = action(option.command)->isChecked();

        action(option.command)->trigger();
        SettingsBlock expected = before;
        expected.nameRules[settingsIndex(option.type)].options ^= option.bit;
        EXPECT_EQ(window->session().settings(), expected);
        EXPECT_EQ(savedSettings(), expected);
        open(settingsMenu());
        EXPECT_NE(action(option.command)->isChecked(), wasChecked);

        action(option.command)->trigger();
        EXPECT_EQ(window->session().settings(), before);
        EXPECT_EQ(savedSettings(), before);
        open(settingsMenu());
        EXPECT_EQ(action(option.command)->isChecked(), wasChecked);
    }
}

TEST_F(MenuCommandsTest, ShopOptionsExcludeEachOtherAndAreGreyedForSina)
{
    window->session().sourceType.store(SourceType::Shops);
    open(settingsMenu());
    action(kCommandShopDescriptionPictures)->trigger();
    action(kCommandShopMainPictures)->trigger();
    open(settingsMenu());
    EXPECT_TRUE(action(kCommandShopMainPictures)->isChecked());
    EXPECT_FALSE(action(kCommandShopDescriptionPictures)->isChecked());
    EXPECT_EQ(savedSettings().nameRules[settingsIndex(SourceType::Shops)].options & 0x0120, 0x0020);

    // Sina shows its own marks and greys the shop and Yupoo options; a greyed
    // entry does nothing even when triggered.
    window->session().updateSettings([](SettingsBlock &block) {
        block.nameRules[settingsIndex(SourceType::Sina)].options = kOptionFixFormat | kOptionSkipPrevious | kOptionShopDescriptionPictures;
    });
    window->session().sourceType.store(SourceType::Sina);
    open(settingsMenu());
    for (int command : {kCommandShopMainPictures, kCommandShopDescriptionPictures, kCommandYupooLarge}) {
        EXPECT_FALSE(action(command)->isEnabled()) << command;
        EXPECT_FALSE(action(command)->isVisible()) << command;  // never usable here: hidden
    }
    for (int command : {kCommandThunderListOnly, kCommandTitleFile, kCommandFixOrder, kCommandFixFormat, kCommandSkipPrevious,
                        kCommandOpenFolder}) {
        EXPECT_TRUE(action(command)->isEnabled()) << command;
        EXPECT_EQ(action(command)->isChecked(), command == kCommandFixFormat || command == kCommandSkipPrevious)
            << command;
    }
    EXPECT_FALSE(action(kCommandShopMainPictures)->isChecked());
    EXPECT_TRUE(action(kCommandShopDescriptionPictures)->isChecked());
    action(kCommandShopMainPictures)->trigger();
    EXPECT_EQ(window->session().settings().nameRules[settingsIndex(SourceType::Sina)].options,
              kOptionFixFormat | kOptionSkipPrevious | kOptionShopDescriptionPictures);
}

TEST_F(MenuCommandsTest, LoginMode1StartsOnAndToggles)
{
    QMenu *login = popup(QStringLiteral("<登录>"));
    open(login);
    EXPECT_TRUE(commands->loginMode1());
    EXPECT_TRUE(action(kCommandLoginMode1)->isChecked());
    action(kCommandLoginMode1)->trigger();
    open(login);
    EXPECT_FALSE(commands->loginMode1());
    EXPECT_FALSE(action(kCommandLoginMode1)->isChecked());
    action(kCommandLoginMode1)->trigger();
    EXPECT_TRUE(commands->loginMode1());
}

// 下次下载不使用下载存档 ticks for the next download only and never reaches soft.dat.
TEST_F(MenuCommandsTest, NoArchiveOnceIsForTheNextDownloadAndNeverSaved)
{
    const QByteArray fileBefore = settingsFile();
    open(settingsMenu());
    EXPECT_FALSE(action(kCommandNoArchiveOnce)->isChecked());
    action(kCommandNoArchiveOnce)->trigger();
    open(settingsMenu());
    EXPECT_TRUE(window->noArchiveOnce());
    EXPECT_TRUE(action(kCommandNoArchiveOnce)->isChecked());
    EXPECT_EQ(settingsFile(), fileBefore);
    EXPECT_EQ(optionBit(kCommandNoArchiveOnce), 0);

    action(kCommandNoArchiveOnce)->trigger();
    open(settingsMenu());
    EXPECT_FALSE(window->noArchiveOnce());
    EXPECT_FALSE(action(kCommandNoArchiveOnce)->isChecked());
}

// The media options sit in the download settings and hold for every source type; they
// are kept in "media.ini", never in "soft.dat", and only when OK accepts them.
TEST_F(MenuCommandsTest, MediaOptionsAreChosenInTheDownloadSettings)
{
    const QString dataFolder = window->session().dataFolder();
    const QByteArray fileBefore = settingsFile();
    EXPECT_TRUE(runModal<DownloadSettingsDialog>([&] { action(kCommandDownloadSettings)->trigger(); }, [](DownloadSettingsDialog &dialog) {
        ASSERT_NE(dialog.liveMotionBox(), nullptr);
        EXPECT_TRUE(dialog.liveMotionBox()->isChecked());
        EXPECT_TRUE(dialog.videosBox()->isChecked());
        dialog.liveMotionBox()->setChecked(false);
        dialog.reject();
    }));
    EXPECT_FALSE(QFile::exists(dataFolder + QStringLiteral("media.ini")));
    EXPECT_EQ(readMediaOptions(dataFolder), MediaOptions{});

    EXPECT_TRUE(runModal<DownloadSettingsDialog>([&] { action(kCommandDownloadSettings)->trigger(); }, [](DownloadSettingsDialog &dialog) {
        dialog.liveMotionBox()->setChecked(false);
        dialog.findChild<QAbstractButton *>(QStringLiteral("ctl1023"))->click();
    }));
    EXPECT_EQ(readMediaOptions(dataFolder), (MediaOptions{false, true}));
    EXPECT_EQ(settingsFile(), fileBefore);

    window->session().sourceType.store(SourceType::Site56);
    EXPECT_TRUE(runModal<DownloadSettingsDialog>([&] { action(kCommandDownloadSettings)->trigger(); }, [](DownloadSettingsDialog &dialog) {
        EXPECT_FALSE(dialog.liveMotionBox()->isChecked());
        dialog.videosBox()->setChecked(false);
        dialog.findChild<QAbstractButton *>(QStringLiteral("ctl1023"))->click();
    }));
    EXPECT_EQ(readMediaOptions(dataFolder), (MediaOptions{false, false}));
}

// The post record options sit beside them: file times from the posts on and the
// sidecar off at first, kept in "post.ini" (never in "soft.dat") once OK changes them.
TEST_F(MenuCommandsTest, PostRecordOptionsAreChosenInTheDownloadSettings)
{
    const QString dataFolder = window->session().dataFolder();
    const QByteArray fileBefore = settingsFile();
    EXPECT_TRUE(runModal<DownloadSettingsDialog>([&] { action(kCommandDownloadSettings)->trigger(); }, [](DownloadSettingsDialog &dialog) {
        ASSERT_NE(dialog.postTimeBox(), nullptr);
        EXPECT_TRUE(dialog.postTimeBox()->isChecked());
        EXPECT_FALSE(dialog.sidecarBox()->isChecked());
        EXPECT_FALSE(dialog.postTimeBox()->toolTip().isEmpty());
        dialog.findChild<QAbstractButton *>(QStringLiteral("ctl1023"))->click();
    }));
    EXPECT_FALSE(QFile::exists(dataFolder + QStringLiteral("post.ini")));  // nothing changed

    EXPECT_TRUE(runModal<DownloadSettingsDialog>([&] { action(kCommandDownloadSettings)->trigger(); }, [](DownloadSettingsDialog &dialog) {
        dialog.postTimeBox()->setChecked(false);
        dialog.sidecarBox()->setChecked(true);
        dialog.findChild<QAbstractButton *>(QStringLiteral("ctl1023"))->click();
    }));
    EXPECT_EQ(readPostRecordOptions(dataFolder), (PostRecordOptions{false, true}));
    EXPECT_EQ(settingsFile(), fileBefore);
}

TEST_F(MenuCommandsTest, SettingsDialogsSaveOnOkOnly)
{
    window->session().sourceType.store(SourceType::Site56);
    const SettingsBlock before = window->session().settings();
    const QByteArray fileBefore = settingsFile();

    EXPECT_TRUE(runModal<DownloadSettingsDialog>([&] { action(kCommandDownloadSettings)->trigger(); }, [](DownloadSettingsDialog &dialog) {
        dialog.field(1002)->setText(QStringLiteral("12"));
        dialog.reject();
    }));
    EXPECT_EQ(window->session().settings(), before);
    EXPECT_EQ(settingsFile(), fileBefore);

    // A refused entry is reported through the shell and the dialog stays; then OK.
    EXPECT_TRUE(runModal<DownloadSettingsDialog>([&] { action(kCommandDownloadSettings)->trigger(); }, [](DownloadSettingsDialog &dialog) {
        dialog.field(1002)->setText(QStringLiteral("16"));
        dialog.findChild<QAbstractButton *>(QStringLiteral("ctl1023"))->click();
        if (!dialog.isVisible())
            return;
        dialog.field(1002)->setText(QStringLiteral("12"));
        dialog.field(1003)->setText(QStringLiteral("45"));
        dialog.findChild<QAbstractButton *>(QStringLiteral("ctl1023"))->click();
    }));
    EXPECT_EQ(shell.messages(), QStringList{QStringLiteral(": 参数错误")});
    SettingsBlock expected = before;
    expected.downloadParams[settingsIndex(SourceType::Site56)].threads = 12;
    expected.downloadParams[settingsIndex(SourceType::Site56)].timeoutSeconds = 45;
    EXPECT_EQ(window->session().settings(), expected);
    EXPECT_EQ(savedSettings(), expected);

    EXPECT_TRUE(runModal<FileNameRulesDialog>([&] { action(kCommandNameSettings)->trigger(); }, [](FileNameRulesDialog &dialog) {
        dialog.field(1000)->setText(QStringLiteral("cancelled"));
        dialog.reject();
    }));
    const QByteArray fileAfterOk = settingsFile();
    EXPECT_EQ(savedSettings(), expected);
    EXPECT_TRUE(runModal<FileNameRulesDialog>([&] { action(kCommandNameSettings)->trigger(); }, [](FileNameRulesDialog &dialog) {
        dialog.field(1000)->setText(QString(50, u'x'));
        dialog.findChild<QAbstractButton *>(QStringLiteral("ctl1023"))->click();
    }));
    expected.nameRules[settingsIndex(SourceType::Site56)].filePrefix = QString(38, u'x');
    EXPECT_EQ(window->session().settings(), expected);
    EXPECT_EQ(savedSettings(), expected);
}

TEST_F(MenuCommandsTest, AboutBoxFromHelpMenuAndContextMenu)
{
    for (int command : {kCommandVersionInfo, kCommandAbout}) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(runModal<AboutDialog>([&] { action(command)->trigger(); }, [&](AboutDialog &about) {
            EXPECT_EQ(s(about.windowTitle()), "关于");
            EXPECT_EQ(s(about.findChild<QLabel *>(QStringLiteral("aboutVersion"))->text()), "版本号：15.10.28.01");
            EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("aboutText"))->text(), aboutText());
            saveScreenshot(&about, QStringLiteral("about"));
            about.accept();
        }));
    }
    EXPECT_FALSE(aboutText().isEmpty());
    // 关于 is on the window's own context menu, after a separator.
    EXPECT_EQ(window->contextMenuPolicy(), Qt::ActionsContextMenu);
    const QList<QAction *> entries = window->actions();
    ASSERT_GE(entries.size(), 2);
    EXPECT_TRUE(entries[entries.size() - 2]->isSeparator());
    EXPECT_EQ(s(entries.last()->text()), "关于");
}

TEST_F(MenuCommandsTest, PagesOpenInTheDefaultBrowserAndImportExportDoNothing)
{
    const QByteArray fileBefore = settingsFile();
    EXPECT_EQ(s(fileProcessingPageAddress()), "https://pictrove.example/tools/file-processing");
    EXPECT_EQ(s(consultationPageAddress()), "https://pictrove.example/consult");
    EXPECT_EQ(s(feedbackPageAddress()), "https://pictrove.example/feedback");

    for (int command : {kCommandFileProcessing, kCommandManual, kCommandConsultation, kCommandFeedback})
        action(command)->trigger();
    const QStringList opened = shell.opened();
    ASSERT_EQ(opened.size(), 4);
    EXPECT_EQ(opened[0], fileProcessingPageAddress());
    EXPECT_TRUE(opened[1].startsWith(QStringLiteral("file:///"))) << s(opened[1]);
    EXPECT_TRUE(opened[1].endsWith(QStringLiteral("/manual.html"))) << s(opened[1]);
    EXPECT_TRUE(QFile::exists(QUrl(opened[1]).toLocalFile()));
    EXPECT_EQ(opened[2], consultationPageAddress());
    EXPECT_EQ(opened[3], feedbackPageAddress());

    for (int command : {kCommandImportAndDownload, kCommandExportDownloadFile, kCommandExportThunderList}) {
        ASSERT_NE(action(command), nullptr);
        action(command)->trigger();
    }
    EXPECT_EQ(shell.opened().size(), 4);
    EXPECT_TRUE(shell.messages().isEmpty());
    EXPECT_EQ(settingsFile(), fileBefore);
}

TEST(LoginPagesTest, EveryLoginEntryHasItsPage)
{
    const struct {
        int command;
        const char *address;
    } pages[] = {
        {kCommandLoginTencentWeibo, "http://t.qq.com/"},
        {kCommandLoginBaidu, "https://passport.baidu.com/v2/?login"},
        {kCommandLoginNetEase, "https://reg.163.com/"},
        {kCommandLoginRenren, "http://www.renren.com/"},
        {kCommandLoginYupoo, "https://www.yupoo.com/account/login/"},
        {kCommandLoginMoko, "http://www.moko.cc/jsps/common/login.jsp?tourl=http%3A%2F%2Fwww.moko.cc%2F"},
        {kCommandLoginSinaWeibo, "https://weibo.com/login.php"},
        {kCommandLoginTaobao, "https://login.taobao.com/member/login.jhtml"},
        {kCommandLoginSite56, "https://www.56.com/login/"},
        {kCommandLoginHupu, "https://passport.hupu.com/login"},
        {kCommandLoginCustom, "https://pictrove.example/"},
        {kCommandLoginQqZone, ""},
        {kCommandDownloadSettings, ""},
    };
    for (const auto &page : pages)
        EXPECT_EQ(s(loginAddress(page.command)), page.address) << page.command;

    const struct {
        const char *owner;
        int subType;
        const char *address;
    } qzone[] = {
        {" 123456 ", 0, "https://user.qzone.qq.com/123456"},
        {"123456", 1, "https://user.qzone.qq.com/"},
        {"123456", -1, "https://user.qzone.qq.com/"},
        {"12a456", 0, "https://user.qzone.qq.com/"},
        {"https://user.qzone.qq.com/123456", 0, "https://user.qzone.qq.com/"},
        {"", 0, "https://user.qzone.qq.com/"},
    };
    for (const auto &row : qzone)
        EXPECT_EQ(s(qZoneLoginAddress(QString::fromUtf8(row.owner), row.subType)), row.address) << row.owner;
}

TEST_F(MenuCommandsTest, DroppingAFileOrFolderSetsTheSavePath)
{
    const QString root = data.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("pics")));
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("v1.2 相册")));
    QFile picture(root + QStringLiteral("/pics/a.jpg"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();

    const struct {
        QString dropped;
        QString savePath;
        QStringList history;  // newest first, as saved
    } drops[] = {
        {root + "/pics/a.jpg", root + "/pics/", {root + "/pics/"}},
        {root + "/v1.2 相册", root + "/v1.2 相册/", {root + "/v1.2 相册/", root + "/pics/"}},
        // Already in the history (letter case aside): the box changes, the history not.
        {root + "/PICS/b.jpg", root + "/PICS/", {root + "/v1.2 相册/", root + "/pics/"}},
    };
    for (const auto &drop : drops) {
        SCOPED_TRACE(s(drop.dropped));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(drop.dropped)});
        // As a real drag arrives: entering makes the window the drop target.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        EXPECT_EQ(s(savePath()->currentText()), s(drop.savePath));
        EXPECT_EQ(savePath()->history(), drop.history);
        EXPECT_EQ(historyEntries(savedSettings(), kHistorySavePath), drop.history);
    }
    EXPECT_TRUE(window->acceptDrops());
}

// Each option entry of <设置> stands for its bit of the rules' options; other commands
// for none.
TEST(CommandIds, OptionEntriesStandForTheirBits)
{
    const struct {
        int command;
        uint16_t bit;
    } table[] = {
        {kCommandThunderListOnly, 0x0008}, {kCommandTitleFile, 0x0004}, {kCommandFixOrder, 0x0002},
        {kCommandFixFormat, 0x0001}, {kCommandSkipPrevious, 0x0040}, {kCommandOpenFolder, 0x0010},
        {kCommandShopMainPictures, 0x0020}, {kCommandShopDescriptionPictures, 0x0100}, {kCommandYupooLarge, 0x0080},
    };
    for (const auto &row : table)
        EXPECT_EQ(optionBit(row.command), row.bit) << row.command;
    EXPECT_EQ(optionBit(kCommandDownloadSettings), 0);
}

}  // namespace

}  // namespace pictrove
