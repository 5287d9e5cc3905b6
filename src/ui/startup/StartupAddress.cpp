#include "ui/startup/StartupAddress.h"

#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/ControlIds.h"
#include "ui/mainwindow/MainWindow.h"

namespace pictrove {

void listOwnerAtStart(MainWindow &window, const QString &address)
{
    setControlText(window.control(IDC_OWNER_ADDRESS), address);
    window.classifyOwnerAddress();
    window.onGetList();
}

}  // namespace pictrove
