#include "ui/login/LoginWebView.h"

#include <QUrl>
#include <QWebEnginePage>

namespace pictrove {

namespace {

// Login pages like to open their next step in a new window; here it opens in place,
// where the user sees it and its cookies land in the same profile.
class LoginPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage *createWindow(WebWindowType) override { return this; }
};

}  // namespace

LoginWebView::LoginWebView(QWebEngineProfile *profile, QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new LoginPage(profile, this));
}

void LoginWebView::navigate(const QString &address)
{
    setUrl(QUrl::fromUserInput(address));
}

}  // namespace pictrove
