#include "ui/login/LoginBrowserDialog.h"

#include "net/CookieStore.h"
#include "ui/platform/Clipboard.h"
#include "ui/login/LoginWebView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace pictrove {

namespace {

constexpr int kMargin = 7;
constexpr int kRowHeight = 24;
constexpr int kBrowserTop = kMargin + kRowHeight + kMargin;
constexpr int kButtonWidth = 75;
constexpr int kEditGap = 5;  // between the address edit and 打开

}  // namespace

LoginBrowserDialog::LoginBrowserDialog(const QString &address, QWebEngineProfile *profile, QWidget *owner)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                         | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("登录成功后手动关闭对话框"));
    setSizeGripEnabled(true);

    m_label = new QLabel(QStringLiteral("网址："), this);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("ctl1001"));
    m_open = new QPushButton(QStringLiteral("打开"), this);
    m_open->setObjectName(QStringLiteral("ctl1026"));
    // Default button: Enter in the address edit navigates too.
    m_open->setDefault(true);
    connect(m_open, &QPushButton::clicked, this, &LoginBrowserDialog::onOpen);
    m_browser = new LoginWebView(profile, this);
    m_browser->setObjectName(QStringLiteral("ctl1025"));

    // The row's fixed parts are placed once; resizing moves only what the rules say.
    m_label->adjustSize();
    m_label->move(kMargin, kMargin + (kRowHeight - m_label->height()) / 2);
    const int editLeft = m_label->geometry().right() + 1 + kEditGap;
    m_address->setGeometry(editLeft, kMargin, 100, kRowHeight);
    m_open->setGeometry(0, kMargin, kButtonWidth, kRowHeight);
    m_browser->move(0, kBrowserTop);
    resize(705, 619);
    placeControls(width(), height());

    if (!address.isEmpty()) {
        m_address->setText(address);
        m_browser->navigate(address);
    } else {
        m_address->setText(clipboardText());
    }
}

LoginBrowserDialog::~LoginBrowserDialog()
{
    // The login is in the cookie store already; writing it out now keeps it even if
    // the program is killed before it saves at exit.
    CookieStore::process().save();
}

void LoginBrowserDialog::onOpen()
{
    m_browser->navigate(m_address->text());
}

void LoginBrowserDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeControls(event->size().width(), event->size().height());
}

// The browser keeps its top-left corner and reaches the right and bottom edges; 打开
// keeps its size and height and moves to the right edge; the address edit keeps its
// left edge and ends 5 pixels before the button.
void LoginBrowserDialog::placeControls(int width, int height)
{
    const QPoint browserTopLeft = m_browser->pos();
    m_browser->setGeometry(browserTopLeft.x(), browserTopLeft.y(), qMax(0, width - browserTopLeft.x()),
                           qMax(0, height - browserTopLeft.y()));
    m_open->move(width - m_open->width(), m_open->y());
    const QRect edit = m_address->geometry();
    m_address->setGeometry(edit.left(), edit.top(), qMax(0, m_open->x() - kEditGap - edit.left()), edit.height());
}

}  // namespace pictrove
