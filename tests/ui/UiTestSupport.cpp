#include "UiTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPixmap>
#include <QThread>
#include <QWidget>

namespace pictrove {

void RecordingShell::showMessage(QWidget *, const QString &text, const QString &caption)
{
    std::lock_guard lock(m_mutex);
    m_messages.append(caption + QStringLiteral(": ") + text);
}

bool RecordingShell::askYesNo(QWidget *, const QString &text)
{
    std::lock_guard lock(m_mutex);
    m_questions.append(text);
    return answer;
}

QString RecordingShell::chooseSaveFile(QWidget *, const QString &, const QString &)
{
    return saveFile;
}

QString RecordingShell::chooseFolder(QWidget *, const QString &)
{
    return folder;
}

bool RecordingShell::open(const QString &target)
{
    std::lock_guard lock(m_mutex);
    m_opened.append(target);
    return opens;
}

void RecordingShell::endProcess(int)
{
    ++m_ends;
}

QStringList RecordingShell::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

QStringList RecordingShell::questions() const
{
    std::lock_guard lock(m_mutex);
    return m_questions;
}

QStringList RecordingShell::opened() const
{
    std::lock_guard lock(m_mutex);
    return m_opened;
}

bool waitUntil(const std::function<bool()> &done, int limitMs)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

QString saveScreenshot(QWidget *widget, const QString &name)
{
    const QString folder = QStringLiteral(PICTROVE_TEST_OUTPUT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    // A text set just now has asked for a new layout that has not run yet.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    widget->grab().save(path);
    return path;
}

}  // namespace pictrove
