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
         {ID_LOGIN_MODE1, u"登录方式1（如果登录失败，可勾选该项后再登录）", true},
         {0, nullptr, false},
         {ID_LOGIN_QZONE, u"QQ空间/QQ群", false},
         {ID_LOGIN_TENCENT_WEIBO, u"腾讯微博（登录时勾上下次自动登录）", false},
         {ID_LOGIN_BAIDU, u"百度", false},
         {ID_LOGIN_NETEASE, u"网易", false},
         {ID_LOGIN_RENREN, u"人人", false},
         {ID_LOGIN_YUPOO, u"又拍（下载器没弹窗提示你登录，就不要在这里登录）", false},
         {ID_LOGIN_MOKO, u"美空", false},
         {ID_LOGIN_SINA_WEIBO, u"新浪微博（登录时勾上下次自动登录）", false},
         {ID_LOGIN_TAOBAO, u"淘宝（强烈建议用小号登录）", false},
         {ID_LOGIN_56, u"56", false},
         {ID_LOGIN_HUPU, u"虎扑", false},
         {ID_LOGIN_CUSTOM, u"自定义登录", false},
     }},
    {u"<设置>", u'S',
     {
         {ID_DOWNLOAD_SETTINGS, u"下载参数设置", false},
         {ID_NAME_SETTINGS, u"文件名设置", false},
         {0, nullptr, false},
         {ID_THUNDER_LIST_ONLY, u"只生成迅雷下载列表", true},
         {ID_TITLE_FILE, u"生成图片原始名文件", true},
         {0, nullptr, false},
         {ID_FIX_ORDER, u"修正图片顺序", true},
         {ID_FIX_FORMAT, u"修正图片格式", true},
         {ID_SKIP_PREVIOUS, u"不下载以前下载过的图片", true},
         {ID_OPEN_FOLDER, u"下载完成后打开保存路径", true},
         {0, nullptr, false},
         {ID_SHOP_MAIN_PICTURES, u"只下载宝贝(商品)主图", true},
         {ID_SHOP_DESCRIPTION_PICTURES, u"只下载宝贝(商品)描述里的图片", true},
         {ID_YUPOO_LARGE, u"又拍相册下载大图（不勾选为下载原图，下载原图速度更慢）", true},
     }},
    {u"<导入/导出>", u'I',
     {
         {ID_IMPORT_AND_DOWNLOAD, u"导入下载文件并开始下载", false},
         {0, nullptr, false},
         {ID_EXPORT_DOWNLOAD_FILE, u"导出下载文件", false},
         {ID_EXPORT_THUNDER_LIST, u"导出迅雷下载列表", false},
     }},
    {u"<辅助功能>", u'T', {{ID_FILE_PROCESSING, u"文件处理", false}}},
    {u"<帮助>", u'H',
     {
         {ID_MANUAL, u"使用说明", false},
         {ID_CONSULTATION, u"软件咨询", false},
         {ID_FEEDBACK, u"问题反馈", false},
         {0, nullptr, false},
         {ID_VERSION_INFO, u"版本信息", false},
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
