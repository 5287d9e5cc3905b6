#include "ui/mainwindow/MainMenu.h"

#include "ui/mainwindow/CommandIds.h"

#include <QMenuBar>

namespace pictrove {

namespace {

struct MenuEntry {
    int id;  // 0: separator
    const char16_t *caption;
    bool checkable;
};

struct MenuPopup {
    const char16_t *caption;
    char16_t accessKey;  // Alt with this key opens the menu; shown as "(&L)" after the caption
    std::initializer_list<MenuEntry> entries;
};

const MenuPopup kMenus[] = {
    {u"<登录>", u'L',
     {
         {kCommandLoginMode1, u"登录方式1（如果登录失败，可勾选该项后再登录）", true},
         {0, nullptr, false},
         {kCommandLoginQqZone, u"QQ空间/QQ群", false},
         {kCommandLoginTencentWeibo, u"腾讯微博（登录时勾上下次自动登录）", false},
         {kCommandLoginBaidu, u"百度", false},
         {kCommandLoginNetEase, u"网易", false},
         {kCommandLoginRenren, u"人人", false},
         {kCommandLoginYupoo, u"又拍（下载器没弹窗提示你登录，就不要在这里登录）", false},
         {kCommandLoginMoko, u"美空", false},
         {kCommandLoginSinaWeibo, u"新浪微博（登录时勾上下次自动登录）", false},
         {kCommandLoginWeiboScan, u"扫码登录微博", false},
         {kCommandLoginTaobao, u"淘宝（强烈建议用小号登录）", false},
         {kCommandLoginSite56, u"56", false},
         {kCommandLoginHupu, u"虎扑", false},
         {kCommandLoginCustom, u"自定义登录", false},
     }},
    {u"<设置>", u'S',
     {
         {kCommandDownloadSettings, u"下载参数设置", false},
         {kCommandNameSettings, u"文件名设置", false},
         {0, nullptr, false},
         {kCommandThunderListOnly, u"只生成迅雷下载列表", true},
         {kCommandTitleFile, u"生成图片原始名文件", true},
         {0, nullptr, false},
         {kCommandFixOrder, u"修正图片顺序", true},
         {kCommandFixFormat, u"修正图片格式", true},
         {kCommandSkipPrevious, u"不下载以前下载过的图片", true},
         {kCommandNoArchiveOnce, u"下次下载不使用下载存档", true},
         {kCommandOpenFolder, u"下载完成后打开保存路径", true},
         {0, nullptr, false},
         {kCommandShopMainPictures, u"只下载宝贝(商品)主图", true},
         {kCommandShopDescriptionPictures, u"只下载宝贝(商品)描述里的图片", true},
         {kCommandYupooLarge, u"又拍相册下载大图（不勾选为下载原图，下载原图速度更慢）", true},
     }},
    {u"<导入/导出>", u'I',
     {
         {kCommandImportAndDownload, u"导入下载文件并开始下载", false},
         {0, nullptr, false},
         {kCommandExportDownloadFile, u"导出下载文件", false},
         {kCommandExportThunderList, u"导出迅雷下载列表", false},
     }},
    {u"<辅助功能>", u'T', {{kCommandFileProcessing, u"文件处理", false}, {0, nullptr, false}, {kCommandUpdate, u"更新", false}}},
    {u"<帮助>", u'H',
     {
         {kCommandManual, u"使用说明", false},
         {kCommandConsultation, u"软件咨询", false},
         {kCommandFeedback, u"问题反馈", false},
         {0, nullptr, false},
         {kCommandVersionInfo, u"版本信息", false},
     }},
};

}  // namespace

QMenuBar *createMainMenu(QWidget *parent)
{
    auto *bar = new QMenuBar(parent);
    for (const MenuPopup &popup : kMenus) {
        // The spacer sits before the help menu, as a blank inert item.
        if (QString::fromUtf16(popup.caption) == QStringLiteral("<帮助>"))
            bar->addAction(QStringLiteral("        "))->setEnabled(false);
        QMenu *menu = bar->addMenu(QString::fromUtf16(popup.caption) + QStringLiteral("(&") + QChar(popup.accessKey)
                                   + QLatin1Char(')'));
        for (const MenuEntry &entry : popup.entries) {
            if (entry.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(QString::fromUtf16(entry.caption));
            action->setObjectName(QStringLiteral("cmd%1").arg(entry.id));
            action->setCheckable(entry.checkable);
        }
    }
    return bar;
}

}  // namespace pictrove
