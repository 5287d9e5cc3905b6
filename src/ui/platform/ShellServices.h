#pragma once
// What the desktop program asks of the desktop around it: message boxes, questions,
// the file and folder choosers, opening an address or folder, ending the process.
// The window goes through this interface only, so tests can answer instead of a
// user (a modal box would stop an offscreen test) and record what was shown.

#include <QString>

class QWidget;

namespace pictrove {

class ShellServices {
public:
    virtual ~ShellServices() = default;

    // An empty caption means the program's name.
    virtual void showMessage(QWidget *parent, const QString &text, const QString &caption) = 0;
    // Yes/No with the caption "提示"; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &text) = 0;
    // A path to save to (overwrite confirmed), empty when cancelled.
    virtual QString chooseSaveFile(QWidget *parent, const QString &filter, const QString &defaultSuffix) = 0;
    // A folder, empty when cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &title) = 0;
    // A folder in the file browser or an address in the web browser. False when the
    // system has no program for it.
    virtual bool open(const QString &target) = 0;
    // Ends the process at once, without waiting for running threads.
    virtual void endProcess(int code) = 0;
};

// The real desktop: Qt's dialogs and QDesktopServices.
class DesktopShell : public ShellServices {
public:
    void showMessage(QWidget *parent, const QString &text, const QString &caption) override;
    bool askYesNo(QWidget *parent, const QString &text) override;
    QString chooseSaveFile(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
    QString chooseFolder(QWidget *parent, const QString &title) override;
    bool open(const QString &target) override;
    void endProcess(int code) override;
};

}  // namespace pictrove
