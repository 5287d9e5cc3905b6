#pragma once
// The login browser's web view: an embedded browser on the login profile
// (LoginProfile.h), so the cookies of every page it shows reach the engine's fetches.
// The program only ever navigates it.

#include <QWebEngineView>

class QWebEngineProfile;

namespace pictrove {

class LoginWebView : public QWebEngineView {
    Q_OBJECT
public:
    LoginWebView(QWebEngineProfile *profile, QWidget *parent = nullptr);

    // Loads `address` as typed: without a scheme it is taken the way an address bar
    // takes it ("weibo.com" is http://weibo.com).
    void navigate(const QString &address);
};

}  // namespace pictrove
