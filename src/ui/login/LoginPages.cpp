#include "ui/login/LoginPages.h"

#include "ui/mainwindow/CommandIds.h"
#include "ui/startup/StoredTexts.h"

#include <QUrl>

namespace pictrove {

namespace {

// Each service's login (or home) page on its own host. The paths and query keys are
// what the services expect; the hosts may move, so they are all here.
struct LoginPage {
    int command;
    const char *address;
};

constexpr LoginPage kLoginPages[] = {
    {ID_LOGIN_TENCENT_WEIBO, "http://t.qq.com/"},
    {ID_LOGIN_BAIDU, "https://passport.baidu.com/v2/?login"},
    {ID_LOGIN_NETEASE, "https://reg.163.com/"},
    {ID_LOGIN_RENREN, "http://www.renren.com/"},
    {ID_LOGIN_YUPOO, "https://www.yupoo.com/account/login/"},
    // Followed by the escaped address of Moko's home page (kMokoHomePage).
    {ID_LOGIN_MOKO, "http://www.moko.cc/jsps/common/login.jsp?tourl="},
    {ID_LOGIN_SINA_WEIBO, "https://weibo.com/login.php"},
    {ID_LOGIN_TAOBAO, "https://login.taobao.com/member/login.jhtml"},
    {ID_LOGIN_56, "https://www.56.com/login/"},
    {ID_LOGIN_HUPU, "https://passport.hupu.com/login"},
};

constexpr char kMokoHomePage[] = "http://www.moko.cc/";
constexpr char kQZoneUserPage[] = "https://user.qzone.qq.com/";

}  // namespace

QString loginAddress(int command)
{
    if (command == ID_LOGIN_CUSTOM)
        return homePageAddress();
    for (const LoginPage &page : kLoginPages) {
        if (page.command != command)
            continue;
        QString address = QString::fromLatin1(page.address);
        if (command == ID_LOGIN_MOKO)
            address += QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(kMokoHomePage)));
        return address;
    }
    return QString();
}

QString qZoneLoginAddress(const QString &ownerText, int subTypeIndex)
{
    const QString number = ownerText.trimmed();
    bool digitsOnly = true;
    for (QChar c : number)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    const QString userPage = QString::fromLatin1(kQZoneUserPage);
    return subTypeIndex == 0 && digitsOnly ? userPage + number : userPage;
}

}  // namespace pictrove
