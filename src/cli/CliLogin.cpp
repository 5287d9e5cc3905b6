#include "cli/CliLogin.h"

#include "cli/ExitStatus.h"
#include "cli/TerminalQrCode.h"
#include "net/CookieStore.h"
#include "sources/weibo/WeiboQrLogin.h"
#include "sources/weibo/WeiboViewer.h"

#include <cstdio>

namespace pictrove {

namespace {

void out(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void err(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

// Prints the code and each state change; nothing of the login itself.
class TerminalQrLogin : public QrLoginEvents {
public:
    void report(const QrLoginEvent &event) override
    {
        if (const auto *code = std::get_if<event::QrCodeReady>(&event))
            out(QStringLiteral("\n") + terminalQrCode(code->matrix) + QStringLiteral("\n"));
        const auto *finished = std::get_if<event::QrLoginFinished>(&event);
        if (finished && finished->result != QrLoginResult::LoggedIn)
            err(qrLoginText(event));
        else
            out(qrLoginText(event) + QStringLiteral("\n"));
    }
};

int exitCodeOf(QrLoginResult result)
{
    switch (result) {
    case QrLoginResult::LoggedIn:
        return kExitDone;
    case QrLoginResult::Expired:
    case QrLoginResult::Refused:
    case QrLoginResult::NoLogin:
        return kExitLoginNeeded;
    case QrLoginResult::Stopped:
        return kExitInterrupted;
    case QrLoginResult::Unreachable:
    case QrLoginResult::ServiceChanged:
        break;
    }
    return kExitLoginUnanswered;
}

}  // namespace

int loginCommand(const std::atomic<bool> &interrupted)
{
    QrLoginRequest request;
    request.stopRequested = [&interrupted] { return interrupted.load(); };
    TerminalQrLogin events;
    const QrLoginResult result = runQrLogin(request, events);
    CookieStore::process().save();
    return exitCodeOf(result);
}

int whoamiCommand()
{
    if (!hasSavedWeiboLogin()) {
        err(QStringLiteral("没有保存的微博登录：请用 pictrove-cli login 登录"));
        return kExitLoginNeeded;
    }
    const WeiboViewer viewer = askWeiboViewer();
    switch (viewer.state) {
    case WeiboViewer::State::LoggedIn:
        out(QStringLiteral("%1 (uid %2)\n").arg(viewer.name, viewer.uid));
        return kExitDone;
    case WeiboViewer::State::NotLoggedIn:
        err(QString::fromUtf16(kLoginRunOutHint));
        return kExitLoginNeeded;
    case WeiboViewer::State::Unknown:
        break;
    }
    err(QStringLiteral("微博没有回答是谁登录了：%1").arg(viewer.detail.isEmpty() ? QStringLiteral("no answer") : viewer.detail));
    return kExitLoginUnanswered;
}

int logoutCommand()
{
    const int forgotten = forgetWeiboLogin();
    if (!CookieStore::process().save()) {
        err(QStringLiteral("无法写入登录信息文件：微博登录只在本次运行中退出"));
        return kExitSaveFolder;
    }
    out(forgotten > 0 ? QStringLiteral("已退出微博登录\n") : QStringLiteral("没有保存的微博登录\n"));
    return kExitDone;
}

}  // namespace pictrove
