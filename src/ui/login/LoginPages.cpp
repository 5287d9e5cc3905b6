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
    {kCommandLoginTencentWeibo, "http://t.qq.com/"},
    {kCommandLoginBaidu, "https://passport.baidu.com/v2/?login"},
    {kCommandLoginNetEase, "https://reg.163.com/"},
    {kCommandLoginRenren, "http://www.renren.com/"},
    {kCommandLoginYupoo, "https://www.yupoo.com/account/login/"},
    // Followed by the escaped address of Moko's home page (kMokoHomePage).
    {kCommandLoginMoko, "http://www.moko.cc/jsps/common/login.jsp?tourl="},
    {kCommandLoginSinaWeibo, "https://weibo.com/login.php"},
    {kCommandLoginTaobao, "https://login.taobao.com/member/login.jhtml"},
    {kCommandLoginSite56, "https://www.56.com/login/"},
    {kCommandLoginHupu, "https://passport.hupu.com/login"},
};

constexpr char kMokoHomePage[] = "http://www.moko.cc/";
constexpr char kQZoneUserPage[] = "https://user.qzone.qq.com/";

}  // namespace

QString loginAddress(int command)
{
    if (command == kCommandLoginCustom)
        return homePageAddress();
    for (const LoginPage &page : kLoginPages) {
        if (page.command != command)
            continue;
        QString address = QString::fromLatin1(page.address);
        if (command == kCommandLoginMoko)
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
