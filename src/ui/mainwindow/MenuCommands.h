#pragma once
// What the window menu's entries do: the login entries (login mode 1, the service
// login pages, the one modeless login browser, the scan-to-log-in dialog), the two settings dialogs, the option
// check marks with their greying, the import/export entries (offered, no action), the
// program's own pages, and the About box, also reachable as 关于 from the window's
// context menu, which stands in for the system menu of other desktops.
//
// Create one for the main window after its menu bar exists; it is parented to the
// window. Check marks and greying are refreshed each time a pop-up opens.

#include <QObject>
#include <QPointer>

class QMenu;

namespace pictrove {

class LoginBrowserDialog;
class QrLoginDialog;
class MainWindow;

class MenuCommands : public QObject {
    Q_OBJECT
public:
    explicit MenuCommands(MainWindow &window);

    // Runs a command as if its entry had been chosen.
    void run(int command);
    // Ticks and greys `popup`'s entries from the current source type's settings.
    void updateMenu(QMenu *popup);

    // 登录方式1: on at every start, not saved. On: the login browser is modeless
    // and the program keeps running; off: it is modal.
    bool loginMode1() const { return m_loginMode1; }
    // The modeless login browser while it is open, else null.
    LoginBrowserDialog *loginBrowser() const;
    void openLoginBrowser(const QString &address);
    // 扫码登录微博: the one scan-to-log-in dialog, raised when it is open already.
    void openQrLogin();
    // The scan-to-log-in dialog while it is open, else null.
    QrLoginDialog *qrLogin() const;

private:
    int currentType() const;
    void toggleOption(int command);
    void editDownloadParams(int type);
    void editNameRules(int type);
    void loginQZone();
    void showAbout();
    void openPage(const QString &address);
    void saveSettings();
    // The window's line of who is logged in to Weibo asks again.
    void refreshWeiboLogin();

    MainWindow &m_window;
    bool m_loginMode1 = true;
    QPointer<LoginBrowserDialog> m_browser;
    QPointer<QrLoginDialog> m_qrLogin;
};

}  // namespace pictrove
