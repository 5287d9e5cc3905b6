#include "ui/login/WeiboLoginLabel.h"

#include "sources/weibo/WeiboViewer.h"

namespace pictrove {

namespace {

QString textOf(const WeiboViewer &viewer)
{
    switch (viewer.state) {
    case WeiboViewer::State::LoggedIn:
        return QStringLiteral("微博：") + viewer.name;
    case WeiboViewer::State::NotLoggedIn:
        return QStringLiteral("微博登录已失效：请重新登录");
    case WeiboViewer::State::Unknown:
        break;
    }
    return QStringLiteral("微博：无法确认登录");
}

}  // namespace

WeiboLoginLabel::WeiboLoginLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(QStringLiteral("微博：未登录"));
}

WeiboLoginLabel::~WeiboLoginLabel()
{
    stop();
}

void WeiboLoginLabel::stop()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void WeiboLoginLabel::refresh()
{
    stop();
    const int run = ++m_run;
    if (!hasSavedWeiboLogin()) {
        setText(QStringLiteral("微博：未登录"));
        return;
    }
    setText(QStringLiteral("微博：正在确认登录……"));
    m_stop = false;
    m_worker = std::thread([this, run] {
        const WeiboViewer viewer = askWeiboViewer([this] { return m_stop.load(); });
        const QString text = textOf(viewer);
        QMetaObject::invokeMethod(
            this,
            [this, run, text] {
                if (run == m_run)
                    setText(text);
            },
            Qt::QueuedConnection);
    });
}

void WeiboLoginLabel::showLoggedIn(const QString &name)
{
    stop();
    ++m_run;
    setText(QStringLiteral("微博：") + name);
}

}  // namespace pictrove
