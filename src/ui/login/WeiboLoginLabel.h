#pragma once
// The main window's line that says who is logged in to Weibo ("微博：NAME"), or that
// nobody is, or that the saved login has run out. refresh() asks the web API on a
// thread of its own when a login is saved (at start, and after the login browser);
// after a scan-to-log-in the name is already known (showLoggedIn). A refresh that
// starts while another asks stops the other first; the label waits for its thread
// before it goes.

#include <QLabel>

#include <atomic>
#include <thread>

namespace pictrove {

class WeiboLoginLabel : public QLabel {
    Q_OBJECT
public:
    explicit WeiboLoginLabel(QWidget *parent = nullptr);
    ~WeiboLoginLabel() override;

    void refresh();
    void showLoggedIn(const QString &name);

private:
    void stop();

    std::atomic<bool> m_stop{false};
    std::thread m_worker;
    int m_run = 0;  // GUI thread only: the answers of an earlier refresh are left out
};

}  // namespace pictrove
