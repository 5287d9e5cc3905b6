#pragma once
// The login browser (登录成功后手动关闭对话框): a resizable window with an address row
// (网址：, the address edit, 打开) over an embedded browser. The user logs in to a
// service in it and closes it; the login cookies have by then reached the engine's
// cookie store through the login profile. Opened modeless (login mode 1) or modal by
// the <登录> menu; see MenuCommands.h.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineProfile;

namespace pictrove {

class LoginWebView;

class LoginBrowserDialog : public QDialog {
    Q_OBJECT
public:
    // With an address: shows it and loads it. Without: shows the clipboard's text in
    // the address edit and loads nothing until 打开.
    LoginBrowserDialog(const QString &address, QWebEngineProfile *profile, QWidget *owner = nullptr);
    ~LoginBrowserDialog() override;

    QLineEdit *addressEdit() const { return m_address; }
    QPushButton *openButton() const { return m_open; }
    LoginWebView *browser() const { return m_browser; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void onOpen();
    void placeControls(int width, int height);

    QLabel *m_label = nullptr;
    QLineEdit *m_address = nullptr;
    QPushButton *m_open = nullptr;
    LoginWebView *m_browser = nullptr;
};

}  // namespace pictrove
