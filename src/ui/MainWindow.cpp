#include "ui/MainWindow.h"

#include "download/DownloadDriver.h"
#include "grid/AlbumGrid.h"
#include "settings/SettingsStore.h"
#include "sources/ListAcquisition.h"
#include "sources/MainWindowState.h"
#include "sources/SourceConfigService.h"
#include "text/TextScan.h"
#include "ui/AlbumListView.h"
#include "ui/HistoryComboBox.h"
#include "ui/CsvExport.h"
#include "ui/DesktopWindowPort.h"
#include "ui/FindDialog.h"
#include "ui/MenuCommands.h"
#include "ui/ProgramIcon.h"
#include "ui/ShellServices.h"
#include "ui/SplashScreen.h"
#include "ui/StartupPaths.h"
#include "ui/StoredTexts.h"
#include "ui/WindowDrop.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int kClipboardMaxLength = 199;

}  // namespace

MainWindow::MainWindow(ShellServices &shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
{
    m_port = std::make_unique<DesktopWindowPort>(*this);
    m_state = std::make_unique<MainWindowState>(*m_port);
    buildControls();

    AlbumListView::Controls controls;
    controls.grid = m_grid;
    controls.selectAll = qobject_cast<QCheckBox *>(control(IDC_SELECT_ALL));
    controls.thumbnails = qobject_cast<QCheckBox *>(control(IDC_THUMBNAILS));
    controls.findLink = control(IDC_FIND);
    controls.filterLink = control(IDC_FILTER);
    m_view = std::make_unique<AlbumListView>(*m_state, controls);
    m_view->askYesNo = [this](const QString &text) { return m_shell.askYesNo(this, text); };
    connectControls();
    // The menu's commands and the window's drops, children of the window.
    new MenuCommands(*this);
    new WindowDropHandler(*this);
    resize(860, 620);
}

MainWindow::~MainWindow()
{
    // Threads still running get neutral answers from now on instead of waiting for
    // this thread, so the wait for them below cannot deadlock.
    m_port->shutdown();
    m_state.reset();
}

void MainWindow::initialise(const StartupOptions &options)
{
    setWindowIcon(programIcon());
    setWindowTitle(QStringLiteral("Pictrove"));
    control(IDC_BANNER)->setProperty("text", bannerText());

    m_view->resetGrid();
    m_state->downloadJob.statusWindow = m_port.get();
    m_state->downloadJob.statusControl = IDC_STATUS_DETAIL;

    const QString clipboard = getClipboardText();
    if (!clipboard.isEmpty() && clipboard.size() <= kClipboardMaxLength)
        m_ownerBox->setEditText(clipboard);

    const QString currentDir = options.currentDir.isEmpty() ? QDir::currentPath() : options.currentDir;
    m_state->dataFolder = dataFolderFor(currentDir);
    m_savePathBox->setEditText(m_state->dataFolder);
    const QString tempPath = options.tempPath.isEmpty() ? QDir::tempPath() : options.tempPath;
    if (isTemporaryFolder(m_state->dataFolder, tempPath)) {
        const QString documents = options.documentsFolder.isEmpty()
                                      ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                      : options.documentsFolder;
        const QString saveFolder = perUserSaveFolder(documents);
        // Used even when it cannot be made: the download creates it again.
        QDir().mkpath(saveFolder);
        m_savePathBox->setEditText(saveFolder);
    }

    SettingsBlock settings;
    loadSettings(m_state->dataFolder, settings);
    m_state->updateSettings([&settings](SettingsBlock &block) { block = settings; });
    m_state->setExtensionSettings(readExtensionSettings(m_state->dataFolder));
    m_ownerBox->setHistory(historyEntries(settings, HISTORY_OWNER));
    m_savePathBox->setHistory(historyEntries(settings, HISTORY_SAVE_PATH));
    if (!settings.savePathHistory[0].isEmpty())
        m_savePathBox->setEditText(settings.savePathHistory[0]);

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

void MainWindow::startConfigQuery(const QStringList &endpoints)
{
    m_config = endpoints.isEmpty() ? std::make_unique<SourceConfigService>()
                                   : std::make_unique<SourceConfigService>(endpoints);
    StartupHooks hooks;
    hooks.configLoaded = [this] { m_port->runOnGui([this] { onConfigLoaded(); }); };
    hooks.endProgram = [this] { m_port->runOnGui([this] { m_shell.endProcess(0); }); };
    // The thread holds the objects, not the owning pointers: those are emptied before
    // the objects go, while the state's destructor still waits for this thread.
    MainWindowState *state = m_state.get();
    SourceConfigService *service = m_config.get();
    if (!m_state->startThread([state, service, hooks] { loadSourceConfig(*state, *service, hooks); }))
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
    m_state->readyFlag.store(1);
}

// The query may take a minute on a network that swallows packets; the window must
// not wait for it. The built-in names fill the selector until the answer arrives.
void MainWindow::onConfigWaitOver()
{
    if (m_configLoaded)
        return;
    if (m_sourceType->count() == 0) {
        m_sourceType->addItems(builtInSourceTypeNames());
        m_sourceType->setCurrentIndex(4);
    }
    onConfigLoaded();
}

void MainWindow::onGetList()
{
    MainWindowState &state = *m_state;
    if (state.readyFlag.load() && state.listState.load() == LIST_IDLE) {
        // A new list replaces the old one: its rows, covers and a rebuild in progress.
        if (state.thumbnailState.load() != 0)
            state.thumbnailState.store(2);
        m_view->resetGrid();
        m_view->clearThumbnails();
    }
    GetListCommand(state);
}

void MainWindow::onDownload()
{
    StartDownload(*m_state);
}

void MainWindow::onSetPath()
{
    QString folder = m_shell.chooseFolder(this, QStringLiteral("请选择文件保存目录："));
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_savePathBox->setEditText(folder);
    bool added = false;
    m_state->updateSettings([&](SettingsBlock &block) { added = addHistory(block, HISTORY_SAVE_PATH, folder); });
    if (!added)
        return;
    m_savePathBox->addHistory(folder);
    saveSettings(m_state->dataFolder, m_state->settings());
}

void MainWindow::onOpenPath()
{
    const QString folder = OpenPathFolder(*m_state, m_savePathBox->currentText());
    if (!folder.isEmpty())
        m_shell.open(folder);
}

void MainWindow::onFind()
{
    if (!m_find) {
        m_find = new FindDialog(FindDialog::FindMode, this);
        m_find->showMessage = [this](const QString &text) { m_shell.showMessage(m_find, text, QString()); };
    }
    m_find->attach(m_grid);
}

void MainWindow::onFilter()
{
    FindDialog filter(FindDialog::FilterMode, this);
    if (filter.exec() != QDialog::Accepted)
        return;
    if (m_find && m_find->isVisible())
        m_find->dismiss();
    m_view->applyFilter(filter.keyword());
}

void MainWindow::onExport()
{
    const QString path = m_shell.chooseSaveFile(this, QStringLiteral("导出后，自行调整列宽(*.csv)"),
                                                QStringLiteral("csv"));
    if (!path.isEmpty())
        exportGridCsv(*m_grid, path);  // a file that cannot be written is not reported
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Paints run on this thread, so none can be in progress here; drawing stays off
    // so nothing queued from the engine's threads repaints a closing window.
    m_grid->setRedraw(false);
    event->accept();
    Q_EMIT closed();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
