#pragma once
// Helpers for the desktop program's suites: a shell that records instead of showing
// dialogs, waiting on the event loop for a condition, and screenshots.

#include "ui/platform/ShellServices.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

class QWidget;

namespace pictrove {

class RecordingShell : public ShellServices {
public:
    void showMessage(QWidget *parent, const QString &text, const QString &caption) override;
    bool askYesNo(QWidget *parent, const QString &text) override;
    QString chooseSaveFile(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
    QString chooseFolder(QWidget *parent, const QString &title) override;
    bool open(const QString &target) override;
    void endProcess(int code) override;

    QStringList messages() const;  // "caption: text"
    QStringList questions() const;
    QStringList opened() const;
    int endCount() const { return m_ends.load(); }

    bool answer = false;
    bool opens = true;  // what open() answers: whether the system had a program for it
    QString saveFile;
    QString folder;

private:
    mutable std::mutex m_mutex;
    QStringList m_messages;
    QStringList m_questions;
    QStringList m_opened;
    std::atomic<int> m_ends{0};
};

// Runs the event loop until `done` holds; false when it still does not after
// `limitMs` (a safety net against a hang, not a timing assertion).
bool waitUntil(const std::function<bool()> &done, int limitMs = 20000);

// Saves `widget` as <test output folder>/<name>.png and returns the path.
QString saveScreenshot(QWidget *widget, const QString &name);

}  // namespace pictrove
