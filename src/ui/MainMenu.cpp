#include "ui/MainMenu.h"

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
         {32796, u"登录方式1（如果登录失败，可勾选该项后再登录）", true},
         {0, nullptr, false},
         {32781, u"QQ空间/QQ群", false},
         {32782, u"腾讯微博（登录时勾上下次自动登录）", false},
         {32789, u"百度", false},
         {32790, u"网易", false},
         {32791, u"人人", false},
         {32792, u"又拍（下载器没弹窗提示你登录，就不要在这里登录）", false},
         {32793, u"美空", false},
         {32794, u"新浪微博（登录时勾上下次自动登录）", false},
         {32803, u"淘宝（强烈建议用小号登录）", false},
         {32813, u"56", false},
         {32815, u"虎扑", false},
         {32795, u"自定义登录", false},
     }},
    {u"<设置>", u'S',
     {
         {32778, u"下载参数设置", false},
         {32779, u"文件名设置", false},
         {0, nullptr, false},
         {32802, u"只生成迅雷下载列表", true},
         {32804, u"生成图片原始名文件", true},
         {0, nullptr, false},
         {32799, u"修正图片顺序", true},
         {32800, u"修正图片格式", true},
         {32774, u"不下载以前下载过的图片", true},
         {32812, u"下载完成后打开保存路径", true},
         {0, nullptr, false},
         {32808, u"只下载宝贝(商品)主图", true},
         {32814, u"只下载宝贝(商品)描述里的图片", true},
         {32776, u"又拍相册下载大图（不勾选为下载原图，下载原图速度更慢）", true},
     }},
    {u"<导入/导出>", u'I',
     {
         {32811, u"导入下载文件并开始下载", false},
         {0, nullptr, false},
         {32809, u"导出下载文件", false},
         {32810, u"导出迅雷下载列表", false},
     }},
    {u"<辅助功能>", u'T', {{32807, u"文件处理", false}}},
    {u"<帮助>", u'H',
     {
         {32806, u"使用说明", false},
         {32773, u"软件咨询", false},
         {32772, u"问题反馈", false},
         {0, nullptr, false},
         {32775, u"版本信息", false},
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
