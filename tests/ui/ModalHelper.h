#pragma once
// Driving a modal dialog from a test: `open` starts it (exec() blocks), `inside` runs
// on the dialog once it shows and must close it; a dialog left open is rejected so the
// test cannot hang. Returns whether a dialog of that type showed up.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

namespace pictrove {

template <typename Dialog>
bool runModal(const std::function<void()> &open, const std::function<void(Dialog &)> &inside)
{
    bool seen = false;
    QTimer::singleShot(0, qApp, [&] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        inside(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    open();
    QApplication::processEvents();  // the timer of a dialog that never showed
    return seen;
}

}  // namespace pictrove
