// The main window's start-up: settings, default paths, the selector from the last
// known names, the splash, and the configuration query, which runs after the window
// shows and reaches it through StartupWindow.
#include "ui/mainwindow/MainWindow.h"

#include "download/Downloader.h"
#include "settings/DataFolder.h"
#include "settings/ExtensionSettings.h"
#include "settings/SettingsStore.h"
#include "sources/Session.h"
#include "sources/SourceConfigService.h"
#include "ui/albumview/AlbumListView.h"
#include "ui/platform/Clipboard.h"
#include "ui/login/WeiboLoginLabel.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/GuiQueue.h"
#include "ui/mainwindow/HistoryComboBox.h"
#include "ui/startup/ProgramIcon.h"
#include "ui/platform/ShellServices.h"
#include "ui/startup/SplashScreen.h"
#include "ui/startup/StoredTexts.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>
#include <QTimer>

namespace pictrove {

namespace {

constexpr int kClipboardMaxLength = 199;

}  // namespace

void MainWindow::initialise(const StartupOptions &options)
{
    setWindowIcon(programIcon());
    setWindowTitle(QStringLiteral("Pictrove"));
    control(kControlBanner)->setProperty("text", bannerText());

    m_view->resetGrid();

    const QString clipboard = clipboardText();
    if (!clipboard.isEmpty() && clipboard.size() <= kClipboardMaxLength)
        m_ownerBox->setEditText(clipboard);

    loadStartupSettings(options);
    // Who is logged in to Weibo, asked in the background when a login is saved.
    if (auto *login = qobject_cast<WeiboLoginLabel *>(control(kControlWeiboLogin)))
        login->refresh();

    // The last answer the service gave, or the built-in names on a first start: the
    // window never waits for the network to have a usable selector.
    QStringList names = rememberedSourceTypeNames(configAnswerFile(m_session->dataFolder()));
    if (names.isEmpty())
        names = builtInSourceTypeNames();
    fillSourceTypes(names);

    auto *splash = new SplashScreen(this, SplashScreen::FadeIn | SplashScreen::FadeOut
                                              | SplashScreen::CenterOnScreen,
                                    0);
    splash->setText(splashText());
    connect(splash, &SplashScreen::escapePressed, this, [this] { m_shell.endProcess(0); });
    m_splash = splash;
    splash->showSplash();

    control(kControlHomeLink)->setEnabled(true);
    // Shown from the event loop, so the splash is painted while the window is laid out.
    QTimer::singleShot(0, this, &MainWindow::showWhenBuilt);

    startConfigQuery(options.configEndpoints ? *options.configEndpoints
                                             : m_session->extensionSettings().configEndpoints);
}

void MainWindow::loadStartupSettings(const StartupOptions &options)
{
    const QString dataFolder =
        options.dataFolder.isEmpty() ? defaultDataFolder(QDir::currentPath()) : options.dataFolder;
    m_session->setDataFolder(dataFolder);
    const QString tempPath = options.tempPath.isEmpty() ? QDir::tempPath() : options.tempPath;
    const QString pictures = options.picturesFolder.isEmpty() ? userPicturesFolder() : options.picturesFolder;
    const QString saveFolder = defaultSaveFolder(dataFolder, tempPath, pictures);
    // Used even when it cannot be made: the download creates it again.
    QDir().mkpath(saveFolder);
    m_savePathBox->setEditText(saveFolder);

    SettingsBlock settings;
    const SettingsLoadResult loaded = loadSettings(dataFolder, settings);
    if (loaded.status == kSettingsTooLarge) {
        QString text = QStringLiteral("设置文件 %1 过大，不是本程序的设置。\n本次使用默认设置。")
                           .arg(QDir::toNativeSeparators(dataFolder + QStringLiteral("soft.dat")));
        if (!loaded.setAside.isEmpty())
            text += QStringLiteral("\n原文件已改名为 %1。").arg(QDir::toNativeSeparators(loaded.setAside));
        // Over the window once it shows, as the other start-up warnings are.
        QTimer::singleShot(0, this, [this, text] { m_shell.showMessage(this, text, QStringLiteral("提示")); });
    }
    m_session->setSettings(settings);
    m_session->setExtensionSettings(readExtensionSettings(dataFolder));
    m_ownerBox->setHistory(historyEntries(settings, kHistoryOwner));
    m_savePathBox->setHistory(historyEntries(settings, kHistorySavePath));
    if (!settings.savePathHistory[0].isEmpty())
        m_savePathBox->setEditText(settings.savePathHistory[0]);
}

void MainWindow::fillSourceTypes(const QStringList &names)
{
    setControlItems(m_sourceType, names);
    setControlIndex(m_sourceType, int(SourceType::Sina));
    classifyOwnerAddress();
    m_ready = true;
    onSourceTypeChanged();
}

void MainWindow::showWhenBuilt()
{
    if (m_splash)
        m_splash->hideSplash();
    m_splash = nullptr;
    fitIntoScreen();
    show();
}

void MainWindow::startConfigQuery(const QStringList &endpoints)
{
    m_config = std::make_unique<SourceConfigService>(endpoints, configAnswerFile(m_session->dataFolder()));
    if (endpoints.isEmpty())
        return;  // no service hosted: nothing to ask, and nothing to say about it
    // The thread holds the objects, not the owning pointers: those are emptied before
    // the objects go, while the session's destructor still waits for this thread.
    StartupWindow *window = this;
    SourceConfigService *service = m_config.get();
    m_session->startThread([window, service] { loadSourceConfig(*window, *service); });
}

// The answer may come while the user is typing an address or has chosen another
// source type: the entries are renamed in place, so the choice and the QQ sub-type
// stay as they are.
void MainWindow::renameSourceTypes(const QStringList &names)
{
    const int chosen = m_sourceType->currentIndex();
    const QSignalBlocker quiet(m_sourceType);
    for (int i = 0; i < names.size(); ++i) {
        if (i < m_sourceType->count())
            m_sourceType->setItemText(i, names.at(i));
        else
            m_sourceType->addItem(names.at(i));
    }
    while (m_sourceType->count() > names.size())
        m_sourceType->removeItem(m_sourceType->count() - 1);
    if (chosen >= m_sourceType->count()) {
        setControlIndex(m_sourceType, int(SourceType::Sina));
        onSourceTypeChanged();
    }
}

// An update notice must not throw away a list or a download in progress: the
// program then stays, and the link 程序有更新 remains for later.
void MainWindow::endProgramUnlessBusy()
{
    if (m_session->listState.load() != ListState::Idle || m_downloader->state() != DownloadState::Idle)
        return;
    m_shell.endProcess(0);
}

void MainWindow::setSourceTypes(const QStringList &names)
{
    m_startupQueue->run([this, names] { renameSourceTypes(names); });
}

void MainWindow::setNotice(const QString &text)
{
    m_startupQueue->run([this, text] { setControlText(control(kControlNotice), text); });
}

void MainWindow::showUpdateLink()
{
    m_startupQueue->run([this] { control(kControlUpdateLink)->setVisible(true); });
}

void MainWindow::showMessage(const QString &text, const QString &caption)
{
    m_startupQueue->run([this, text, caption] { m_shell.showMessage(this, text, caption); });
}

void MainWindow::open(const QString &address)
{
    m_startupQueue->run([this, address] { openOrOfferCopy(address); });
}

void MainWindow::endProgramAfter(int milliseconds)
{
    m_startupQueue->run([this, milliseconds] {
        QTimer::singleShot(milliseconds, this, &MainWindow::endProgramUnlessBusy);
    });
}

}  // namespace pictrove
