#include "ui/QtClipboardSource.h"

#include <QClipboard>
#include <QGuiApplication>

QString QtClipboardSource::text()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}
