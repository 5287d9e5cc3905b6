#include "ui/startup/StartupAddress.h"

#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/MainWindow.h"

namespace pictrove {

void listOwnerAtStart(MainWindow &window, const QString &address)
{
    setControlText(window.control(kControlOwnerAddress), address);
    window.classifyOwnerAddress();
    window.onGetList();
}

}  // namespace pictrove
