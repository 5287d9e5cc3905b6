#include "ui/startup/ProgramIcon.h"

#include "ui/startup/ProgramIconArt.h"

#include <QPixmap>

namespace pictrove {

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 128})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

}  // namespace pictrove
