#include "ui/platform/ShellServices.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace pictrove {

void DesktopShell::showMessage(QWidget *parent, const QString &text, const QString &caption)
{
    QMessageBox::information(parent, caption.isEmpty() ? QStringLiteral("Pictrove") : caption, text,
                             QMessageBox::Ok);
}

bool DesktopShell::askYesNo(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, QStringLiteral("提示"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
           == QMessageBox::Yes;
}

QString DesktopShell::chooseSaveFile(QWidget *parent, const QString &filter, const QString &defaultSuffix)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString DesktopShell::chooseFolder(QWidget *parent, const QString &title)
{
    return QFileDialog::getExistingDirectory(parent, title);
}

bool DesktopShell::open(const QString &target)
{
    // A local folder opens in the file browser, anything with a scheme in its handler.
    const bool local = target.startsWith(QLatin1Char('/')) || QDir(target).exists();
    return QDesktopServices::openUrl(local ? QUrl::fromLocalFile(QDir(target).absolutePath()) : QUrl(target));
}

void DesktopShell::endProcess(int code)
{
    // Threads still running are not waited for and must not see the window's state
    // torn down under them: leave without running destructors.
    std::fflush(nullptr);
    std::quick_exit(code);
}

}  // namespace pictrove
