#pragma once
// The login browser's web view: an embedded browser on the login profile
// (LoginProfile.h), so the cookies of every page it shows reach the engine's fetches.
// The program only ever navigates it.

#include <QWebEngineView>

class QWebEngineProfile;

class CExplorer1 : public QWebEngineView {
    Q_OBJECT
public:
    CExplorer1(QWebEngineProfile *profile, QWidget *parent = nullptr);

    // Loads `address` as typed: without a scheme it is taken the way an address bar
    // takes it ("weibo.com" is http://weibo.com).
    void Navigate(const QString &address);
};
