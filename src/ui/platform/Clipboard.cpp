#include "ui/platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace pictrove {

QString clipboardText()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return QString();
    QString text = clipboard->text();
    // Text copied from some programs carries a NUL and whatever followed it in their
    // buffer; only what precedes the NUL is text.
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

}  // namespace pictrove
