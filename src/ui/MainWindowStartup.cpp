// The main window's start-up: settings, default paths, the splash and the
// configuration query, whose thread reaches the window through StartupWindow.
#include "ui/MainWindow.h"

#include "settings/DataFolder.h"
#include "settings/ExtensionSettings.h"
#include "settings/SettingsStore.h"
#include "sources/Session.h"
#include "sources/SourceConfigService.h"
#include "ui/AlbumListView.h"
#include "ui/Clipboard.h"
#include "ui/ControlAccess.h"
#include "ui/ControlIds.h"
#include "ui/GuiQueue.h"
#include "ui/HistoryComboBox.h"
#include "ui/ProgramIcon.h"
#include "ui/ShellServices.h"
#include "ui/SplashScreen.h"
#include "ui/StoredTexts.h"

#include <QComboBox>
#include <QDir>
#include <QTimer>

namespace pictrove {

namespace {

constexpr int kClipboardMaxLength = 199;

}  // namespace

void MainWindow::initialise(const StartupOptions &options)
{
    setWindowIcon(programIcon());
    setWindowTitle(QStringLiteral("Pictrove"));
    control(IDC_BANNER)->setProperty("text", bannerText());

    m_view->resetGrid();

    const QString clipboard = clipboardText();
    if (!clipboard.isEmpty() && clipboard.size() <= kClipboardMaxLength)
        m_ownerBox->setEditText(clipboard);

    loadStartupSettings(options);

    auto *splash = new SplashScreen(this, SplashScreen::FadeIn | SplashScreen::FadeOut
                                              | SplashScreen::CenterOnScreen,
                                    0);
    splash->setText(splashText());
    connect(splash, &SplashScreen::escapePressed, this, [this] { m_shell.endProcess(0); });
    m_splash = splash;
    splash->showSplash();
    startConfigQuery(options.configEndpoints);

    hide();
    control(IDC_HOME_LINK)->setEnabled(true);
    QTimer::singleShot(options.showWithinMs, this, &MainWindow::onConfigWaitOver);
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
    loadSettings(dataFolder, settings);
    m_session->setSettings(settings);
    m_session->setExtensionSettings(readExtensionSettings(dataFolder));
    m_ownerBox->setHistory(historyEntries(settings, HISTORY_OWNER));
    m_savePathBox->setHistory(historyEntries(settings, HISTORY_SAVE_PATH));
    if (!settings.savePathHistory[0].isEmpty())
        m_savePathBox->setEditText(settings.savePathHistory[0]);
}

void MainWindow::startConfigQuery(const QStringList &endpoints)
{
    m_config = endpoints.isEmpty() ? std::make_unique<SourceConfigService>()
                                   : std::make_unique<SourceConfigService>(endpoints);
    // The thread holds the objects, not the owning pointers: those are emptied before
    // the objects go, while the session's destructor still waits for this thread.
    StartupWindow *window = this;
    SourceConfigService *service = m_config.get();
    if (!m_session->startThread([window, service] { loadSourceConfig(*window, *service); }))
        onConfigWaitOver();
}

void MainWindow::onConfigLoaded()
{
    m_configLoaded = true;
    if (m_splash)
        m_splash->hideSplash();
    m_splash = nullptr;
    if (!isVisible())
        show();
    if (!m_ready) {
        m_ready = true;
        Q_EMIT ready();
    }
}

// The query may take a minute on a network that swallows packets; the window must
// not wait for it. The built-in names fill the selector until the answer arrives.
void MainWindow::onConfigWaitOver()
{
    if (m_configLoaded)
        return;
    if (m_sourceType->count() == 0) {
        m_sourceType->addItems(builtInSourceTypeNames());
        m_sourceType->setCurrentIndex(int(SourceType::Sina));
    }
    onConfigLoaded();
}

void MainWindow::fillSourceTypes(const QStringList &names, SourceType chosen)
{
    setControlItems(m_sourceType, names);
    setControlIndex(m_sourceType, int(chosen));
    classifyOwnerAddress();
    m_ready = true;
    onSourceTypeChanged();
}

void MainWindow::configLoaded()
{
    m_startupQueue->run([this] { onConfigLoaded(); });
}

void MainWindow::setSourceTypes(const QStringList &names, SourceType chosen)
{
    m_startupQueue->run([this, names, chosen] { fillSourceTypes(names, chosen); });
}

void MainWindow::setNotice(const QString &text)
{
    m_startupQueue->run([this, text] { setControlText(control(IDC_NOTICE), text); });
}

void MainWindow::showUpdateLink()
{
    m_startupQueue->run([this] { control(IDC_UPDATE_LINK)->setVisible(true); });
}

void MainWindow::showMessage(const QString &text, const QString &caption)
{
    m_startupQueue->run([this, text, caption] { m_shell.showMessage(this, text, caption); });
}

void MainWindow::open(const QString &address)
{
    m_startupQueue->run([this, address] { m_shell.open(address); });
}

void MainWindow::endProgramAfter(int milliseconds)
{
    m_startupQueue->run([this, milliseconds] {
        QTimer::singleShot(milliseconds, this, [this] { m_shell.endProcess(0); });
    });
}

}  // namespace pictrove
