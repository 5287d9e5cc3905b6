#include "ui/StartupAddress.h"

#include "ui/ControlAccess.h"
#include "ui/ControlIds.h"
#include "ui/MainWindow.h"

namespace pictrove {

void listOwnerAtStart(MainWindow &window, const QString &address)
{
    setControlText(window.control(IDC_OWNER_ADDRESS), address);
    window.classifyOwnerAddress();
    window.onGetList();
}

}  // namespace pictrove
