#include "ui/mainwindow/MenuCommands.h"

#include "settings/MediaOptions.h"
#include "settings/PostRecordOptions.h"
#include "settings/MenuOptions.h"
#include "settings/SettingsStore.h"
#include "sources/Session.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/mainwindow/CommandIds.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/dialogs/DownloadSettingsDialog.h"
#include "ui/dialogs/FileNameRulesDialog.h"
#include "ui/login/LoginBrowserDialog.h"
#include "ui/mainwindow/MainWindow.h"
#include "ui/login/LoginPages.h"
#include "ui/login/LoginProfile.h"
#include "ui/login/QrLoginDialog.h"
#include "ui/login/WeiboLoginLabel.h"
#include "ui/startup/MakerPages.h"
#include "ui/platform/ShellServices.h"
#include "ui/startup/StoredTexts.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace pictrove {

namespace {

// The command id of an action named "cmd<id>", 0 for any other action.
int commandOf(const QAction *action)
{
    const QString name = action->objectName();
    return name.startsWith(QLatin1String("cmd")) ? name.mid(3).toInt() : 0;
}

}  // namespace

MenuCommands::MenuCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    if (QMenuBar *bar = window.findChild<QMenuBar *>()) {
        for (QAction *action : bar->findChildren<QAction *>()) {
            if (const int command = commandOf(action))
                connect(action, &QAction::triggered, this, [this, command] { run(command); });
        }
        for (QMenu *popup : bar->findChildren<QMenu *>())
            connect(popup, &QMenu::aboutToShow, this, [this, popup] { updateMenu(popup); });
    }

    auto *separator = new QAction(&window);
    separator->setSeparator(true);
    auto *about = new QAction(QStringLiteral("关于"), &window);
    about->setObjectName(QStringLiteral("cmd%1").arg(kCommandAbout));
    connect(about, &QAction::triggered, this, [this] { run(kCommandAbout); });
    window.addAction(separator);
    window.addAction(about);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
}

int MenuCommands::currentType() const
{
    const int type = settingsIndex(m_window.session().sourceType.load());
    return type >= 0 && type < kSourceTypeRecordCount ? type : -1;
}

void MenuCommands::run(int command)
{
    if (optionBit(command) != 0) {
        toggleOption(command);
        return;
    }
    switch (command) {
    case kCommandLoginMode1:
        m_loginMode1 = !m_loginMode1;
        break;
    case kCommandNoArchiveOnce:
        m_window.setNoArchiveOnce(!m_window.noArchiveOnce());
        break;
    case kCommandUpdate:
        // As the button: greyed while a list or a download runs.
        if (m_window.control(kControlUpdate)->isEnabled())
            m_window.onUpdate();
        break;
    case kCommandLoginQqZone:
        loginQZone();
        break;
    case kCommandLoginTencentWeibo:
    case kCommandLoginBaidu:
    case kCommandLoginNetEase:
    case kCommandLoginRenren:
    case kCommandLoginYupoo:
    case kCommandLoginMoko:
    case kCommandLoginSinaWeibo:
    case kCommandLoginTaobao:
    case kCommandLoginSite56:
    case kCommandLoginHupu:
    case kCommandLoginCustom:
        openLoginBrowser(loginAddress(command));
        break;
    case kCommandLoginWeiboScan:
        openQrLogin();
        break;
    case kCommandDownloadSettings:
        if (const int type = currentType(); type >= 0)
            editDownloadParams(type);
        break;
    case kCommandNameSettings:
        if (const int type = currentType(); type >= 0)
            editNameRules(type);
        break;
    case kCommandFileProcessing:
        openPage(fileProcessingPageAddress());
        break;
    case kCommandManual: {
        const QString manual = manualAddress();
        openPage(manual.isEmpty() ? homePageAddress() : manual);
        break;
    }
    case kCommandConsultation:
        openPage(consultationPageAddress());
        break;
    case kCommandFeedback:
        openPage(feedbackPageAddress());
        break;
    case kCommandVersionInfo:
    case kCommandAbout:
        showAbout();
        break;
    default:
        // 导入下载文件并开始下载, 导出下载文件, 导出迅雷下载列表: offered, no action.
        break;
    }
}

void MenuCommands::updateMenu(QMenu *popup)
{
    const int type = currentType();
    const NameRules rules = type >= 0 ? m_window.session().settings().nameRules[type] : NameRules();
    for (QAction *action : popup->actions()) {
        const int command = commandOf(action);
        if (command == kCommandLoginMode1) {
            action->setChecked(m_loginMode1);
        } else if (command == kCommandNoArchiveOnce) {
            action->setChecked(m_window.noArchiveOnce());
        } else if (optionBit(command) != 0) {
            action->setChecked(optionChecked(rules, optionBit(command)));
            const bool enabled = type >= 0 && optionEnabled(optionBit(command), m_window.session().sourceType.load());
            action->setEnabled(enabled);
            // An option of another service's type cannot be used with this one's
            // albums: hidden, not shown greyed.
            action->setVisible(enabled);
        }
    }
}

void MenuCommands::toggleOption(int command)
{
    const int type = currentType();
    if (type < 0)
        return;
    m_window.session().updateSettings([&](SettingsBlock &block) { pictrove::toggleOption(block.nameRules[type], optionBit(command)); });
    saveSettings();
}

void MenuCommands::editDownloadParams(int type)
{
    DownloadParams params = m_window.session().settings().downloadParams[type];
    const QString dataFolder = m_window.session().dataFolder();
    const MediaOptions mediaBefore = readMediaOptions(dataFolder);
    MediaOptions media = mediaBefore;
    const PostRecordOptions postBefore = readPostRecordOptions(dataFolder);
    PostRecordOptions post = postBefore;
    DownloadSettingsDialog dialog(params, &m_window, &media, &post);
    dialog.showMessage = [this, &dialog](const QString &text) { m_window.shell().showMessage(&dialog, text, QString()); };
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_window.session().updateSettings([&](SettingsBlock &block) { block.downloadParams[type] = params; });
    saveSettings();
    // Written only when changed: an untouched choice leaves no file behind.
    if (media != mediaBefore)
        saveMediaOptions(dataFolder, media);
    if (post != postBefore)
        savePostRecordOptions(dataFolder, post);
}

void MenuCommands::editNameRules(int type)
{
    NameRules rules = m_window.session().settings().nameRules[type];
    FileNameRulesDialog dialog(rules, &m_window);
    dialog.showMessage = [this, &dialog](const QString &text) { m_window.shell().showMessage(&dialog, text, QString()); };
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Only what the dialog edits: an option toggled meanwhile is not undone.
    m_window.session().updateSettings([&](SettingsBlock &block) {
        const uint16_t flags = block.nameRules[type].options;
        block.nameRules[type] = rules;
        block.nameRules[type].options = flags;
    });
    saveSettings();
}

void MenuCommands::loginQZone()
{
    const QString owner = controlText(m_window.control(kControlOwnerAddress));
    const int subType = controlIndex(m_window.control(kControlSubType));
    openLoginBrowser(qZoneLoginAddress(owner, subType));
}

LoginBrowserDialog *MenuCommands::loginBrowser() const
{
    return m_browser;
}

void MenuCommands::openLoginBrowser(const QString &address)
{
    QWebEngineProfile *profile = loginProfile(m_window.session().dataFolder());
    if (m_loginMode1) {
        delete m_browser;
        m_browser = new LoginBrowserDialog(address, profile, &m_window);
        m_browser->setAttribute(Qt::WA_DeleteOnClose);
        // A login made in the browser shows in the window once it closes.
        connect(m_browser, &QObject::destroyed, this, &MenuCommands::refreshWeiboLogin);
        m_browser->show();
        return;
    }
    LoginBrowserDialog browser(address, profile);
    browser.exec();
    refreshWeiboLogin();
}

QrLoginDialog *MenuCommands::qrLogin() const
{
    return m_qrLogin;
}

void MenuCommands::openQrLogin()
{
    if (m_qrLogin) {
        m_qrLogin->raise();
        m_qrLogin->activateWindow();
        return;
    }
    m_qrLogin = new QrLoginDialog(&m_window);
    m_qrLogin->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_qrLogin, &QrLoginDialog::loggedIn, this, [this](const QString &name) {
        if (auto *label = qobject_cast<WeiboLoginLabel *>(m_window.control(kControlWeiboLogin)))
            label->showLoggedIn(name);
    });
    m_qrLogin->show();
}

void MenuCommands::refreshWeiboLogin()
{
    if (auto *label = qobject_cast<WeiboLoginLabel *>(m_window.control(kControlWeiboLogin)))
        label->refresh();
}

void MenuCommands::showAbout()
{
    AboutDialog about(&m_window);
    about.exec();
}

void MenuCommands::openPage(const QString &address)
{
    m_window.openOrOfferCopy(address);
}

void MenuCommands::saveSettings()
{
    pictrove::saveSettings(m_window.session().dataFolder(), m_window.session().settings());
}

}  // namespace pictrove
