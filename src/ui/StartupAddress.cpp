#include "ui/StartupAddress.h"

#include "ui/ControlAccess.h"
#include "ui/ControlIds.h"
#include "ui/MainWindow.h"

namespace pictrove {

void listOwnerWhenReady(MainWindow &window, const QString &address)
{
    setControlText(window.control(IDC_OWNER_ADDRESS), address);
    if (window.isReady()) {
        // Before then the selector is empty; start-up classifies the address itself.
        window.classifyOwnerAddress();
        window.onGetList();
        return;
    }
    QObject::connect(&window, &MainWindow::ready, &window, [&window] { window.onGetList(); },
                     Qt::SingleShotConnection);
}

}  // namespace pictrove
