#pragma once
// The main window. It owns for the whole run the engine's session (settings, album
// list, list state) and downloader, the events through which the engine's threads
// reach the window, the configuration client and the album list view. Each control
// carries its id as objectName ("ctl1004").
//
// Created hidden; initialise() runs the start-up sequence, fills the selector from
// the names kept from the last answer, shows the splash, shows the window from the
// event loop and starts the configuration query, whose answer is applied whenever it
// arrives. Nothing in the start waits for the network.

#include "ui/dialogs/FailedPicturesDialog.h"
#include "ui/albumview/FindDialog.h"
#include "ui/startup/SplashScreen.h"
#include "ui/startup/StartupConfig.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace pictrove {

class AlbumListView;
class HistoryComboBox;
class AlbumGrid;
class DesktopEngineEvents;
class Downloader;
class GuiQueue;
class MainWindowEvents;
class Session;
class ShellServices;
class SourceConfigService;

class MainWindow : public QWidget, private StartupWindow {
    Q_OBJECT
public:
    struct StartupOptions {
        QString dataFolder;           // ends in "/"; empty: defaultDataFolder(current directory)
        QString picturesFolder;       // empty: the user's pictures folder
        QString tempPath;             // empty: the system's temporary folder
        // Unset: the extension settings' endpoints (none: no service is asked).
        std::optional<QStringList> configEndpoints;
    };

    explicit MainWindow(ShellServices &shell, QWidget *parent = nullptr);
    ~MainWindow() override;

    void initialise(const StartupOptions &options);

    // Opens a folder or an address with the system's program for it; when there is
    // none, says so in the status line and offers to copy it.
    void openOrOfferCopy(const QString &target);

    // The control with this id (ControlIds.h), or null.
    QWidget *control(int id) const { return m_controls.value(id); }
    ShellServices &shell() const { return m_shell; }
    Session &session() const { return *m_session; }
    Downloader &downloader() const { return *m_downloader; }
    SourceConfigService &configService() const { return *m_config; }
    DesktopEngineEvents &events() const { return *m_events; }
    AlbumListView &albumView() const { return *m_view; }
    AlbumGrid &grid() const { return *m_grid; }
    // Null once the splash has gone.
    SplashScreen *splash() const { return m_splash; }
    // Null until 查找 is first used.
    FindDialog *findDialog() const { return m_find; }

    // Start-up has finished: Get List works. The window never waits for the
    // configuration service; its answer renames the selector's entries later.
    bool isReady() const { return m_ready; }

    // Commands of the buttons and links.
    void onGetList();
    void onDownload();
    // 更新: the owner in the address box listed again, then only what is new in the
    // albums the download archive holds something of downloaded. A list or a
    // download is stopped with its own button, as ever.
    void onUpdate();
    void onSetPath();
    void onOpenPath();
    void onFind();
    void onFilter();
    void onExport();
    // 失败列表, and its retry of the pictures that did not arrive.
    void onFailedList();

    // 下次下载不使用下载存档: the next download neither reads nor writes the download
    // archive; cleared when that download starts. Never saved.
    bool noArchiveOnce() const { return m_noArchiveOnce; }
    void setNoArchiveOnce(bool on) { m_noArchiveOnce = on; }

    // The albums of the running (or last) download, in the order it walks them; and
    // the pictures of it that did not arrive, as the events reported them.
    const QList<int> &runAlbums() const { return m_runAlbums; }
    // An update chose its albums only once it had listed them.
    void setRunAlbums(const QList<int> &albums) { m_runAlbums = albums; }
    // The user stopped the running (or last) download.
    bool downloadStopRequested() const { return m_downloadStopRequested; }
    QList<FailedPicture> &failedPictures() { return m_failedPictures; }

    // The owner address decides the source-type selector (an unknown service keeps
    // the selection; text that is no web address changes nothing), then as
    // onSourceTypeChanged.
    void classifyOwnerAddress();
    // Lists run as Sina whatever the selector shows; QQ Zone offers its sub-types.
    void onSourceTypeChanged();

Q_SIGNALS:
    // The window was closed; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    // Shrinks and moves the window into the screen's available area.
    void fitIntoScreen();
    void connectControls();
    void addControl(int id, QWidget *widget);
    // The album rows' own commands: a context menu and double-click (MainWindowAlbumRows).
    void connectAlbumRows();
    // A list or a download is running.
    bool busy() const;
    // While busy: asks whether to stop the task and quit, and stops it on yes.
    bool confirmQuitWhileBusy();
    // The album of a cell of the grid (widget rows, without the title row); -1 none.
    int albumAtCell(int row, int column) const;
    void showAlbumMenu(const QPoint &position);
    void openAlbumFolder(int album);
    void loadStartupSettings(const StartupOptions &options);
    void fillSourceTypes(const QStringList &names);
    void showWhenBuilt();
    void startConfigQuery(const QStringList &endpoints);
    void renameSourceTypes(const QStringList &names);
    void endProgramUnlessBusy();

    // StartupWindow: called on the configuration thread, queued onto this one.
    void setSourceTypes(const QStringList &names) override;
    void setNotice(const QString &text) override;
    void showUpdateLink() override;
    void showMessage(const QString &text, const QString &caption) override;
    void open(const QString &address) override;
    void endProgramAfter(int milliseconds) override;

    ShellServices &m_shell;
    bool m_quitConfirmed = false;
    QList<int> m_runAlbums;
    bool m_downloadStopRequested = false;
    bool m_noArchiveOnce = false;
    QList<FailedPicture> m_failedPictures;
    // Declared in this order so they are destroyed in reverse: the downloader and the
    // session (both wait for the engine's threads) go first, while everything those
    // threads may still call is alive; the destructor shuts the queues first, so
    // nothing those threads hand over is run any more.
    std::unique_ptr<MainWindowEvents> m_windowEvents;
    std::unique_ptr<DesktopEngineEvents> m_events;
    std::unique_ptr<GuiQueue> m_startupQueue;
    std::unique_ptr<SourceConfigService> m_config;
    std::unique_ptr<AlbumListView> m_view;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Downloader> m_downloader;

    QHash<int, QWidget *> m_controls;
    AlbumGrid *m_grid = nullptr;
    HistoryComboBox *m_ownerBox = nullptr;
    HistoryComboBox *m_savePathBox = nullptr;
    QComboBox *m_sourceType = nullptr;
    QComboBox *m_subType = nullptr;
    QPointer<SplashScreen> m_splash;
    QPointer<FindDialog> m_find;
    bool m_ready = false;
};

}  // namespace pictrove
