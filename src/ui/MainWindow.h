#pragma once
// The main window. It owns for the whole run what the engine's threads share (the
// settings, the album list, the state bytes: MainWindowState), the configuration
// client, the album list view and the window port through which those threads reach
// the controls. Each control carries its id as objectName ("ctl1004").
//
// Created hidden; initialise() runs the start-up sequence, shows the splash and
// starts the configuration query. The window appears when the query has finished,
// or after three seconds at the latest (the answer is applied when it arrives).

#include "ui/FindDialog.h"
#include "ui/SplashScreen.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class AlbumListView;
class HistoryComboBox;
class AlbumGrid;
class DesktopWindowPort;
class MainWindowState;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class ShellServices;
class SourceConfigService;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    struct StartupOptions {
        QString currentDir;           // empty: the process's current directory
        QString documentsFolder;      // empty: the user's documents folder
        QString tempPath;             // empty: the system's temporary folder
        QStringList configEndpoints;  // empty: the configuration service's own
        int showWithinMs = 3000;      // the window appears by then at the latest
    };

    explicit MainWindow(ShellServices &shell, QWidget *parent = nullptr);
    ~MainWindow() override;

    void initialise(const StartupOptions &options);

    // The control with this id (ControlIds.h), or null.
    QWidget *control(int id) const { return m_controls.value(id); }
    ShellServices &shell() const { return m_shell; }
    MainWindowState &state() const { return *m_state; }
    SourceConfigService &configService() const { return *m_config; }
    DesktopWindowPort &port() const { return *m_port; }
    AlbumListView &albumView() const { return *m_view; }
    AlbumGrid &grid() const { return *m_grid; }
    // Null once the splash has gone.
    SplashScreen *splash() const { return m_splash; }
    // Null until 查找 is first used.
    FindDialog *findDialog() const { return m_find; }

    // The configuration query has finished (or the wait for it ended): the splash
    // goes, the window shows, Get List works.
    void onConfigLoaded();

    // Commands of the buttons and links.
    void onGetList();
    void onDownload();
    void onSetPath();
    void onOpenPath();
    void onFind();
    void onFilter();
    void onExport();

Q_SIGNALS:
    // The window was closed; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void connectControls();
    void addControl(int id, QWidget *widget);
    void startConfigQuery(const QStringList &endpoints);
    void onConfigWaitOver();

    ShellServices &m_shell;
    // Declared in this order so they are destroyed in reverse: the state (which
    // waits for the engine's threads) goes first, while everything those threads
    // may still call is alive.
    std::unique_ptr<DesktopWindowPort> m_port;
    std::unique_ptr<SourceConfigService> m_config;
    std::unique_ptr<AlbumListView> m_view;
    std::unique_ptr<MainWindowState> m_state;

    QHash<int, QWidget *> m_controls;
    AlbumGrid *m_grid = nullptr;
    HistoryComboBox *m_ownerBox = nullptr;
    HistoryComboBox *m_savePathBox = nullptr;
    QComboBox *m_sourceType = nullptr;
    QPointer<SplashScreen> m_splash;
    QPointer<FindDialog> m_find;
    bool m_configLoaded = false;
};
