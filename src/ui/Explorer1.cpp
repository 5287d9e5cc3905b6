#include "ui/Explorer1.h"

#include <QUrl>
#include <QWebEnginePage>

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

CExplorer1::CExplorer1(QWebEngineProfile *profile, QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new LoginPage(profile, this));
}

void CExplorer1::Navigate(const QString &address)
{
    setUrl(QUrl::fromUserInput(address));
}
