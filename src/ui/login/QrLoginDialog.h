#pragma once
// 扫码登录微博: shows the passport's code, says each state in words, renews an expired
// code once by itself and closes once Weibo names the account. The login runs on a
// thread of its own (runQrLogin); its events come back to the dialog queued onto the
// GUI thread. Closing the dialog stops the poll; the dialog waits for the thread
// before it goes. 重新获取二维码 starts over after a code ran out or a failure.

#include "sources/weibo/WeiboQrLogin.h"

#include <QDialog>

#include <atomic>
#include <thread>

class QLabel;
class QPushButton;

namespace pictrove {

class QrCodeView;

class QrLoginDialog : public QDialog {
    Q_OBJECT
public:
    // `request`'s stop is the dialog's own; tests shorten its poll interval.
    explicit QrLoginDialog(QWidget *parent = nullptr, QrLoginRequest request = {});
    ~QrLoginDialog() override;

    QString stateText() const;
    // The text the code shown encodes; empty before the first code.
    QString codeText() const { return m_codeText; }

    void done(int result) override;

Q_SIGNALS:
    void stateChanged(const QString &text);
    // Weibo named the account; the login is in the cookie store and saved.
    void loggedIn(const QString &name);

private:
    void start();
    void stop();
    void present(const QrLoginEvent &event);

    QrLoginRequest m_request;
    QrCodeView *m_code = nullptr;
    QLabel *m_state = nullptr;
    QPushButton *m_again = nullptr;
    QString m_codeText;
    int m_run = 0;  // GUI thread only
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

}  // namespace pictrove
