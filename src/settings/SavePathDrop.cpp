#include "settings/SavePathDrop.h"

#include <QFileInfo>

namespace pictrove {

QString droppedSavePath(const QString &dropped)
{
    if (dropped.isEmpty() || dropped.size() > kMaxDroppedPathLength)
        return QString();
    QString folder = dropped;
    const QFileInfo info(dropped);
    // Asking the file system first keeps a folder such as "2015.10 旅行" from being
    // mistaken for a file by its dot.
    const bool isFile = info.exists() ? !info.isDir()
                                      : dropped.lastIndexOf(u'/') < dropped.lastIndexOf(u'.');
    if (isFile) {
        const qsizetype slash = dropped.lastIndexOf(u'/');
        if (slash < 0)
            return QString();  // a bare file name says nothing about where it lies
        folder = dropped.left(slash);
    }
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

}  // namespace pictrove
